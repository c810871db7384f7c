#include "face/month_calendar.h"

#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace hv {
namespace {

TEST(MonthCalendar, OneRecordPerMonth) {
    struct Case {
        Date date;
        int daysInMonth, firstWeekday, todayWeekday;
        std::vector<int> holidays;
    };
    for (const Case& c : {
             Case{{2000, 1, 1}, 31, 7, 7, {1, 10}},         // second Monday: the 1st a Saturday
             {{2000, 2, 10}, 29, 3, 5, {11}},               // leap February
             {{1900, 2, 10}, 28, 5, 7, {}},                 // no leap day in 1900, no holidays before the Act
             {{2019, 5, 5}, 31, 4, 1, {1, 2, 3, 4, 5, 6}},  // the fullest month
             {{1986, 5, 5}, 31, 5, 2, {3, 5}},              // 5/4 a Sunday
             {{2024, 2, 29}, 29, 5, 5, {11, 12, 23}},
             {{2026, 9, 5}, 30, 3, 7, {21, 22, 23}},
             {{2026, 12, 31}, 31, 3, 5, {}},
             {{2023, 10, 10}, 31, 1, 3, {9}},
             {{2001, 2, 29}, 0, 0, 0, {}}, {{2001, 13, 1}, 0, 0, 0, {}},  // invalid: an empty record
             {{2001, 0, 1}, 0, 0, 0, {}}, {{2001, 1, 32}, 0, 0, 0, {}},
         }) {
        const MonthCalendar calendar = ComputeMonthCalendar(c.date);
        std::vector<int> holidays;  // the filled slots 1.. up to the terminating 0
        for (int slot = 1; slot < kHolidaySlots && calendar.Holidays[slot] != 0; ++slot) {
            holidays.push_back(calendar.Holidays[slot]);
        }
        EXPECT_EQ(std::tuple(calendar.DaysInMonth, calendar.FirstWeekday, calendar.TodayWeekday, holidays),
                  std::tuple(c.daysInMonth, c.firstWeekday, c.todayWeekday, c.holidays))
            << c.date.year << '-' << c.date.month;
        EXPECT_EQ(calendar.Today, c.daysInMonth ? c.date.day : 0);
    }
}

TEST(MonthCalendar, SlotTableInvariantsInEveryMonth) {
    // Slot 0 unused, ascending days within the month, then zeros to the end.
    for (int year = 1948; year <= 2099; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const MonthCalendar calendar = ComputeMonthCalendar(Date{year, month, 1});
            ASSERT_EQ(calendar.Holidays[0], 0);
            const std::vector<Holiday> expected = HolidaysOfMonth(year, month);
            ASSERT_LE(expected.size(), static_cast<size_t>(kMaxMonthHolidays)) << year << '-' << month;
            for (int slot = 1; slot < kHolidaySlots; ++slot) {
                const size_t i = static_cast<size_t>(slot - 1);
                ASSERT_EQ(calendar.Holidays[slot], i < expected.size() ? expected[i].date.day : 0)
                    << year << '-' << month << " slot " << slot;
            }
        }
    }
}

}  // namespace
}  // namespace hv
