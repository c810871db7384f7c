#include "face/month_calendar.h"

#include "face/holidays.h"

namespace hv {

MonthCalendar ComputeMonthCalendar(const Date& date) {
    MonthCalendar calendar;
    if (!IsValidDate(date)) return calendar;
    calendar.FirstWeekday = static_cast<std::int16_t>(WeekdayOf(Date{date.year, date.month, 1}));
    calendar.DaysInMonth = static_cast<std::int16_t>(DaysInMonthOf(date.year, date.month));
    calendar.Today = static_cast<std::int16_t>(date.day);
    calendar.TodayWeekday = static_cast<std::int16_t>(WeekdayOf(date));
    int slot = 1;
    for (const Holiday& holiday : HolidaysOfMonth(date.year, date.month)) {
        // The table is sized for the fullest month the rules produce; the guard keeps the
        // terminating 0 even if a future rule overfills it.
        if (slot > kMaxMonthHolidays) break;
        calendar.Holidays[slot++] = static_cast<std::int16_t>(holiday.date.day);
    }
    return calendar;
}

}  // namespace hv
