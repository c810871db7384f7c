#include "face/month_calendar.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace hv {
namespace {

// The filled slots 1.. up to the terminating 0.
std::vector<int> Days(const MonthCalendar& calendar) {
    std::vector<int> days;
    for (int slot = 1; slot < kHolidaySlots && calendar.Holidays[slot] != 0; ++slot)
        days.push_back(calendar.Holidays[slot]);
    return days;
}

TEST(MonthCalendar, OneRecordPerMonth) {
    using V = std::vector<int>;
    struct Case {
        Date date;
        int daysInMonth, firstWeekday, todayWeekday;
        V holidays;
    };
    for (const Case& c : {
             Case{{2000, 1, 1}, 31, 7, 7, V{1, 10}},       // second Monday: the 1st a Saturday
             Case{{2000, 2, 10}, 29, 3, 5, V{11}},         // leap February
             Case{{1900, 2, 10}, 28, 5, 7, V{}},           // no leap day in 1900, no holidays before the Act
             Case{{2019, 5, 5}, 31, 4, 1, V{1, 2, 3, 4, 5, 6}},  // the fullest month
             Case{{1986, 5, 5}, 31, 5, 2, V{3, 5}},        // 5/4 a Sunday
             Case{{2024, 2, 29}, 29, 5, 5, V{11, 12, 23}},
             Case{{2026, 9, 5}, 30, 3, 7, V{21, 22, 23}},
             Case{{2026, 12, 31}, 31, 3, 5, V{}},
             Case{{2023, 10, 10}, 31, 1, 3, V{9}},
         }) {
        const MonthCalendar calendar = ComputeMonthCalendar(c.date);
        const std::string at = std::to_string(c.date.year) + '-' + std::to_string(c.date.month);
        EXPECT_EQ(calendar.DaysInMonth, c.daysInMonth) << at;
        EXPECT_EQ(calendar.FirstWeekday, c.firstWeekday) << at;
        EXPECT_EQ(calendar.Today, c.date.day) << at;
        EXPECT_EQ(calendar.TodayWeekday, c.todayWeekday) << at;
        EXPECT_EQ(Days(calendar), c.holidays) << at;
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

TEST(MonthCalendar, InvalidDateGivesAnEmptyRecord) {
    for (const Date& date : {Date{2001, 2, 29}, Date{2001, 0, 1}, Date{2001, 13, 1}, Date{2001, 1, 32}}) {
        const MonthCalendar calendar = ComputeMonthCalendar(date);
        EXPECT_EQ(calendar.FirstWeekday + calendar.DaysInMonth + calendar.Today + calendar.TodayWeekday, 0);
        EXPECT_EQ(calendar.Holidays[1], 0);
    }
}

}  // namespace
}  // namespace hv
