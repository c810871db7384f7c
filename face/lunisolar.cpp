#include "face/lunisolar.h"

#include <array>
#include <cmath>

#include "face/astronomy.h"

namespace hv {

namespace {

constexpr double kJapanOffsetDays = 9.0 / 24.0;  // UTC+9

// floor(a / b) for b > 0.
long long FloorDiv(long long a, long long b) { return a / b - (a % b != 0 && a < 0 ? 1 : 0); }

// The Japan-time day that holds the instant `jd` (UT).
long long JapanDayOf(double jd) {
    return static_cast<long long>(std::floor(jd + kJapanOffsetDays - kJulianDayOfUnixEpoch));
}

// The instant (JDE) at which Japan-time day `day` begins.
double JdeOfJapanMidnight(long long day) {
    return JdeFromJd(kJulianDayOfUnixEpoch + static_cast<double>(day) - kJapanOffsetDays);
}

long long NewMoonDay(long long lunation) { return JapanDayOf(JdFromJde(NewMoonJde(lunation))); }

// The lunation whose month holds `day`: its new moon falls on `day` or before, the next one after.
long long LunationOfDay(long long day) {
    long long lunation = LunationAtOrBefore(JdeOfJapanMidnight(day + 1));
    while (NewMoonDay(lunation) > day) --lunation;
    while (NewMoonDay(lunation + 1) <= day) ++lunation;
    return lunation;
}

// The start of one month: its first day and the number of 中気 passed before that day
// (floor of the Sun's continuous longitude / 30 at Japan midnight).
struct MonthStart {
    long long day = 0;
    long long terms = 0;
};

// The winter solstice is the 中気 at 270 degrees: term number 9 of each turn of 12.
constexpr long long kWinterSolsticeTerm = 9;

// The month starts of lunations first..first + count - 1 (the last one only ends the month before it).
class MonthStarts {
public:
    MonthStarts(long long first, long long count) : first_(first) {
        starts_.reserve(static_cast<std::size_t>(count));
        for (long long k = first; k < first + count; ++k) {
            const long long day = NewMoonDay(k);
            const double longitude = SunApparentLongitude(JdeOfJapanMidnight(day));
            starts_.push_back({day, static_cast<long long>(std::floor(longitude / 30.0))});
        }
    }
    const MonthStart& operator[](long long lunation) const {
        return starts_[static_cast<std::size_t>(lunation - first_)];
    }
    long long first() const { return first_; }
    long long last() const { return first_ + static_cast<long long>(starts_.size()) - 1; }

    // How many 中気 the month of `lunation` holds (0, 1 or 2).
    long long TermsIn(long long lunation) const { return (*this)[lunation + 1].terms - (*this)[lunation].terms; }
    // Whether that month holds the winter solstice, and so is an 11th month.
    bool HoldsWinterSolstice(long long lunation) const {
        return FloorDiv((*this)[lunation + 1].terms - kWinterSolsticeTerm, 12) >
               FloorDiv((*this)[lunation].terms - kWinterSolsticeTerm, 12);
    }

private:
    long long first_;
    std::vector<MonthStart> starts_;
};

bool InLunarYears(long long day) {
    return day >= DayNumber({kFirstLunarYear, 1, 1}) && day <= DayNumber({kLastLunarYear, 12, 31});
}

}  // namespace

std::vector<LunarMonth> LunarMonthsCovering(long long firstDay, long long lastDay) {
    std::vector<LunarMonth> months;
    if (lastDay < firstDay || !InLunarYears(firstDay) || !InLunarYears(lastDay)) return months;
    const long long firstLunation = LunationOfDay(firstDay);
    const long long lastLunation = LunationOfDay(lastDay);
    // An 11th month lies at most 12 months back from any month and at most 13 ahead; the
    // month after the last one is needed to close it.
    const MonthStarts starts(firstLunation - 12, lastLunation - firstLunation + 12 + 13 + 2);

    long long anchor = firstLunation;
    while (!starts.HoldsWinterSolstice(anchor)) --anchor;
    while (anchor <= lastLunation) {
        long long next = anchor + 1;
        while (!starts.HoldsWinterSolstice(next)) ++next;
        // One turn of months from an 11th month to the next: 12, or 13 with a leap month.
        bool leapToCome = next - anchor == 13;
        int year = DateFromDayNumber(starts[anchor].day).year;  // the solstice's year
        int number = 11;
        for (long long k = anchor; k < next; ++k) {
            bool leap = false;
            if (k != anchor) {
                if (leapToCome && starts.TermsIn(k) == 0) {
                    leap = true;
                    leapToCome = false;
                } else {
                    number = number % 12 + 1;
                    if (number == 1) ++year;
                }
            }
            if (k < firstLunation || k > lastLunation) continue;
            months.push_back({starts[k].day, static_cast<int>(starts[k + 1].day - starts[k].day), year, number, leap});
        }
        anchor = next;
    }
    return months;
}

std::optional<LunarDate> LunarDateOf(const Date& date) {
    if (!IsValidDate(date)) return std::nullopt;
    const long long day = DayNumber(date);
    const std::vector<LunarMonth> months = LunarMonthsCovering(day, day);
    if (months.empty()) return std::nullopt;
    const LunarMonth& month = months.front();
    return LunarDate{month.year, month.month, month.leap, static_cast<int>(day - month.firstDay + 1)};
}

std::vector<LunarDate> LunarDatesOfMonth(int year, int month) {
    std::vector<LunarDate> dates;
    const int length = DaysInMonthOf(year, month);
    if (length == 0) return dates;
    const long long first = DayNumber({year, month, 1});
    const std::vector<LunarMonth> months = LunarMonthsCovering(first, first + length - 1);
    if (months.empty()) return dates;
    std::size_t index = 0;
    for (long long day = first; day < first + length; ++day) {
        while (day >= months[index].firstDay + months[index].days) ++index;
        const LunarMonth& m = months[index];
        dates.push_back({m.year, m.month, m.leap, static_cast<int>(day - m.firstDay + 1)});
    }
    return dates;
}

Rokuyo RokuyoOf(const LunarDate& date) { return static_cast<Rokuyo>((date.month + date.day) % kRokuyoCount); }

std::u16string_view RokuyoName(Rokuyo rokuyo) {
    static constexpr std::array<std::u16string_view, kRokuyoCount> kNames{u"大安", u"赤口", u"先勝",
                                                                          u"友引", u"先負", u"仏滅"};
    const auto index = static_cast<std::size_t>(rokuyo);
    return index < kNames.size() ? kNames[index] : std::u16string_view();
}

}  // namespace hv
