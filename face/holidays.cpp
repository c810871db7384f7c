#include "face/holidays.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace hv {
namespace {

constexpr std::u16string_view kSubstituteHoliday = u"振替休日";
constexpr std::u16string_view kCitizensHoliday = u"国民の休日";

// The substitute holiday exists from the amendment of 1973-04-12; from 2007 it moves on
// past further holidays instead of only to the Monday.
constexpr Date kSubstituteStart{1973, 4, 12};
// A day between two holidays of the Act is a holiday from the amendment of 1985-12-27.
constexpr Date kCitizensStart{1985, 12, 27};
constexpr int kRulesOf2007 = 2007;

// Days that separate laws made holidays once (imperial ceremonies). The 2019 law also
// counts its two days as holidays of the Act, so they frame 2019-04-30 and 2019-05-02;
// the earlier ones frame nothing, so treating them alike changes nothing for them.
struct OneOffDay {
    Date date;
    std::u16string_view name;
};
constexpr std::array<OneOffDay, 6> kOneOffDays{{
    {{1959, 4, 10}, u"皇太子明仁親王の結婚の儀"},
    {{1989, 2, 24}, u"昭和天皇の大喪の礼"},
    {{1990, 11, 12}, u"即位礼正殿の儀"},
    {{1993, 6, 9}, u"皇太子徳仁親王の結婚の儀"},
    {{2019, 5, 1}, u"天皇の即位の日"},
    {{2019, 10, 22}, u"即位礼正殿の儀"},
}};

// Equinox days by the usual approximation of the National Astronomical Observatory's
// announcements, valid 1900..2099 once the count of four-year periods rounds down for
// years before 1980.
int EquinoxDay(int year, double base) {
    if (year < kFirstHolidayDate.year || year > kLastHolidayDate.year) return 0;
    const int d = year - 1980;
    const int q = d >= 0 ? d / 4 : -((-d + 3) / 4);  // floor(d / 4)
    return static_cast<int>(std::floor(base + 0.242194 * d - q));
}

// The holidays of the Act itself (and the one-off days) of a year, unsorted: the days the
// substitute and in-between rules look at.
std::vector<Holiday> ActHolidays(int year) {
    std::vector<Holiday> days;
    auto add = [&](int month, int day, std::u16string_view name) {
        const Date date{year, month, day};
        if (kFirstHolidayDate <= date) days.push_back({date, name});
    };
    auto monday = [&](int month, int n) { return NthWeekdayOfMonth(year, month, kMonday, n); };

    add(1, 1, u"元日");
    add(1, year <= 1999 ? 15 : monday(1, 2), u"成人の日");
    if (year >= 1967) add(2, 11, u"建国記念の日");
    if (year >= 2020) add(2, 23, u"天皇誕生日");
    add(3, VernalEquinoxDay(year), u"春分の日");
    if (year <= 1988) {
        add(4, 29, u"天皇誕生日");
    } else if (year <= 2006) {
        add(4, 29, u"みどりの日");
    } else {
        add(4, 29, u"昭和の日");
    }
    add(5, 3, u"憲法記念日");
    if (year >= 2007) add(5, 4, u"みどりの日");
    add(5, 5, u"こどもの日");

    // The Olympic Games of Tokyo moved three days in 2020 and, postponed, in 2021.
    if (year == 2020) {
        add(7, 23, u"海の日");
        add(7, 24, u"スポーツの日");
        add(8, 10, u"山の日");
    } else if (year == 2021) {
        add(7, 22, u"海の日");
        add(7, 23, u"スポーツの日");
        add(8, 8, u"山の日");
    } else {
        if (year >= 1996) add(7, year <= 2002 ? 20 : monday(7, 3), u"海の日");
        if (year >= 2016) add(8, 11, u"山の日");
        if (year >= 1966) {
            if (year <= 1999) {
                add(10, 10, u"体育の日");
            } else {
                add(10, monday(10, 2), year <= 2019 ? u"体育の日" : u"スポーツの日");
            }
        }
    }
    if (year >= 1966) add(9, year <= 2002 ? 15 : monday(9, 3), u"敬老の日");
    add(9, AutumnalEquinoxDay(year), u"秋分の日");
    add(11, 3, u"文化の日");
    add(11, 23, u"勤労感謝の日");
    if (year >= 1989 && year <= 2018) add(12, 23, u"天皇誕生日");

    for (const OneOffDay& oneOff : kOneOffDays) {
        if (oneOff.date.year == year) days.push_back({oneOff.date, oneOff.name});
    }
    return days;
}

}  // namespace

int VernalEquinoxDay(int year) { return EquinoxDay(year, 20.8431); }
int AutumnalEquinoxDay(int year) { return EquinoxDay(year, 23.2488); }

std::vector<Holiday> HolidaysOfYear(int year) {
    if (year < kFirstHolidayDate.year || year > kLastHolidayDate.year) return {};

    // One name slot per day of the year (index 0 = January 1st, one spare day after
    // December 31st so the rules can look one day ahead).
    const long long firstDay = DayNumber(Date{year, 1, 1});
    const int daysInYear = IsLeapYear(year) ? 366 : 365;
    std::array<std::u16string_view, 367> names{};
    std::array<bool, 367> isActDay{};
    auto index = [&](const Date& date) { return static_cast<int>(DayNumber(date) - firstDay); };
    auto dateAt = [&](int i) { return DateFromDayNumber(firstDay + i); };

    for (const Holiday& holiday : ActHolidays(year)) {
        const int i = index(holiday.date);
        names[i] = holiday.name;
        isActDay[i] = true;
    }

    // A holiday of the Act on a Sunday gives a substitute holiday: until 2006 the Monday
    // (which was never itself a holiday then), from 2007 the first day after it that is
    // not a holiday. No holiday falls on December 31st, so it never leaves the year.
    for (int i = 0; i < daysInYear; ++i) {
        const Date date = dateAt(i);
        if (!isActDay[i] || date < kSubstituteStart || WeekdayOf(date) != kSunday) continue;
        int next = i + 1;
        if (year >= kRulesOf2007) {
            while (next < daysInYear && !names[next].empty()) ++next;
        }
        if (next < daysInYear && names[next].empty()) names[next] = kSubstituteHoliday;
    }

    // A day between two holidays of the Act becomes a holiday; until 2006 not if it is a
    // Sunday or already a substitute holiday (1986-05-04, a Sunday, stayed a plain day).
    for (int i = 1; i + 1 < daysInYear; ++i) {
        const Date date = dateAt(i);
        if (date < kCitizensStart || isActDay[i] || !isActDay[i - 1] || !isActDay[i + 1]) continue;
        if (!names[i].empty()) continue;  // already a substitute holiday
        if (year < kRulesOf2007 && WeekdayOf(date) == kSunday) continue;
        names[i] = kCitizensHoliday;
    }

    std::vector<Holiday> holidays;
    for (int i = 0; i < daysInYear; ++i) {
        if (!names[i].empty()) holidays.push_back({dateAt(i), names[i]});
    }
    return holidays;
}

std::vector<Holiday> HolidaysOfMonth(int year, int month) {
    std::vector<Holiday> holidays = HolidaysOfYear(year);
    std::erase_if(holidays, [month](const Holiday& holiday) { return holiday.date.month != month; });
    return holidays;
}

std::u16string_view HolidayName(const Date& date) {
    if (!IsValidDate(date)) return {};
    for (const Holiday& holiday : HolidaysOfMonth(date.year, date.month)) {
        if (holiday.date.day == date.day) return holiday.name;
    }
    return {};
}

}  // namespace hv
