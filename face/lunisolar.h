// The lunisolar calendar (旧暦) as Japan's calendars compute it today, and the 六曜 printed
// from it. Portable: no Windows header.
//
// The rules:
// - A month begins on the day, in Japan time (UTC+9), that holds the instant of a new moon.
// - 中気 are the instants at which the Sun's apparent longitude is a multiple of 30 degrees.
//   The month holding the winter solstice (270 degrees) is the 11th.
// - From one 11th month to the next there are 12 months, or 13; in a run of 13 the first month
//   that holds no 中気 is the leap month (閏月) and takes the number of the month before it.
//   Every other month takes the next number after the one before it.
// The older rule also tied the months of the equinoxes and of the summer solstice to the 2nd,
// 5th and 8th; in 2033-2034 no numbering satisfies it (the "2033 problem"). The published
// calendars resolved it with a leap 11th month in 2033, which is what the rule above gives;
// in every other year from 1900 to 2199 both rules name the months alike.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "face/civil_date.h"

namespace hv {

// The years for which the calendar is computed (the new moons and the Sun are good for
// centuries more; Japan has counted its months this way since 1873, and ΔT beyond 2150 is a
// guess).
inline constexpr int kFirstLunarYear = 1900;
inline constexpr int kLastLunarYear = 2199;

struct LunarDate {
    int year = 0;      // the Gregorian year in which the lunisolar year's 1st month begins
    int month = 0;     // 1..12
    bool leap = false; // a leap month (閏), numbered as the month before it
    int day = 0;       // 1..30

    friend bool operator==(const LunarDate&, const LunarDate&) = default;
};

// One lunisolar month: its first day (a DayNumber) and length.
struct LunarMonth {
    long long firstDay = 0;
    int days = 0;  // 29 or 30
    int year = 0;
    int month = 0;
    bool leap = false;
};

// The months that cover the days firstDay..lastDay (DayNumbers), in order: the first one
// holds firstDay, the last one lastDay. Empty when either day lies outside the years
// kFirstLunarYear..kLastLunarYear or lastDay < firstDay.
std::vector<LunarMonth> LunarMonthsCovering(long long firstDay, long long lastDay);

// The lunisolar date of a day, none outside kFirstLunarYear..kLastLunarYear.
std::optional<LunarDate> LunarDateOf(const Date& date);

// The lunisolar dates of every day of a Gregorian month, day 1 first; empty outside the years.
std::vector<LunarDate> LunarDatesOfMonth(int year, int month);

// 六曜, numbered as (lunar month + lunar day) mod 6 gives them.
enum class Rokuyo : int {
    Taian = 0,       // 大安
    Shakku = 1,      // 赤口
    Sensho = 2,      // 先勝
    Tomobiki = 3,    // 友引
    Senbu = 4,       // 先負
    Butsumetsu = 5,  // 仏滅
};
inline constexpr int kRokuyoCount = 6;

// The 六曜 of a day: a leap month counts as the month whose number it carries.
Rokuyo RokuyoOf(const LunarDate& date);

// "大安", "赤口", "先勝", "友引", "先負", "仏滅". The views point at static storage followed by a NUL.
std::u16string_view RokuyoName(Rokuyo rokuyo);

}  // namespace hv
