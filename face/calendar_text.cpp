#include "face/calendar_text.h"

#include <array>

#include "face/holidays.h"
#include "face/lunisolar.h"

namespace hv {

namespace {

struct Era {
    std::u16string_view name;
    Date firstDay;
};
// Newest first.
constexpr std::array<Era, 4> kEras{{
    {u"令和", {2019, 5, 1}},
    {u"平成", {1989, 1, 8}},
    {u"昭和", {1926, 12, 25}},
    {u"大正", {1912, 7, 30}},
}};

constexpr std::array<std::u16string_view, 7> kWeekdayNames{u"日曜日", u"月曜日", u"火曜日", u"水曜日",
                                                           u"木曜日", u"金曜日", u"土曜日"};

std::u16string Number(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::optional<EraYear> EraYearOf(const Date& date) {
    if (!IsValidDate(date)) return std::nullopt;
    for (const Era& era : kEras) {
        if (era.firstDay <= date) return EraYear{era.name, date.year - era.firstDay.year + 1};
    }
    return std::nullopt;
}

std::u16string EraYearText(const EraYear& year) {
    return std::u16string(year.era) + (year.year == 1 ? u"元" : Number(year.year)) + u"年";
}

std::u16string MonthHeading(int year, int month, HeadingForm form) {
    if (month < 1 || month > 12) return {};
    const std::u16string monthText = Number(month) + u"月";
    const std::optional<EraYear> first = EraYearOf({year, month, 1});
    if (form == HeadingForm::Western || !first) return Number(year) + u"年" + monthText;
    std::u16string text = EraYearText(*first);
    const std::optional<EraYear> last = EraYearOf({year, month, DaysInMonthOf(year, month)});
    if (last && last->era != first->era) text.append(u"・").append(EraYearText(*last));
    return text.append(monthText);
}

std::u16string DescribeDay(const Date& date, const Date& today, bool withRokuyo, bool withYear) {
    if (!IsValidDate(date)) return {};
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a literal added to a temporary.
    std::u16string text;
    if (withYear) text.append(Number(date.year)).append(u"年");
    text.append(Number(date.month)).append(u"月").append(Number(date.day)).append(u"日 ");
    text.append(kWeekdayNames[static_cast<std::size_t>(WeekdayOf(date) - 1)]);
    if (date == today) text.append(u"、今日");
    if (const std::u16string_view holiday = HolidayName(date); !holiday.empty()) text.append(u"、").append(holiday);
    if (withRokuyo) {
        if (const std::optional<LunarDate> lunar = LunarDateOf(date))
            text.append(u"、").append(RokuyoName(RokuyoOf(*lunar)));
    }
    return text;
}

}  // namespace hv
