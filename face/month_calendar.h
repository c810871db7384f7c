// What the face needs to lay out and colour one month: the weekday the month starts on,
// its length, today's day and weekday, and its holidays (their names: HolidayName in
// face/holidays.h). Portable: no Windows header.
#pragma once

#include <array>
#include <cstdint>

#include "face/civil_date.h"
#include "face/holidays.h"

namespace hv {

// Slot 0 unused, holidays from slot 1 in ascending order of day, ended by 0. The most any
// month has is six (May 2019: 1 to 6), so slots 1..6 plus the terminating slot 7.
inline constexpr int kMaxMonthHolidays = 6;
inline constexpr int kHolidaySlots = kMaxMonthHolidays + 2;

struct MonthCalendar {
    std::int16_t FirstWeekday = 0;  // weekday of the 1st, 1 = Sunday ... 7 = Saturday
    std::int16_t DaysInMonth = 0;   // 28..31
    std::int16_t Today = 0;         // day of the month of the date computed for, 1..31
    std::int16_t TodayWeekday = 0;  // its weekday, 1 = Sunday ... 7 = Saturday
    std::array<std::int16_t, kHolidaySlots> Holidays{};
};

// The calendar of the month that contains `date` (a valid date; an invalid one yields an
// all-zero record). The program computes it for today and again when the date changes.
MonthCalendar ComputeMonthCalendar(const Date& date);

}  // namespace hv
