#include "face/month_calendar.h"

#include <vector>

#include <gtest/gtest.h>

namespace hv {
namespace {

// The filled slots 1.. up to the terminating 0.
std::vector<int> Days(const MonthCalendar& calendar) {
    std::vector<int> days;
    for (int slot = 1; slot < kHolidaySlots && calendar.Holidays[slot] != 0; ++slot) {
        days.push_back(calendar.Holidays[slot]);
    }
    return days;
}

using V = std::vector<int>;

TEST(MonthCalendar, HolidaySlotsOfSampleMonths) {
    struct Case { Date date; V holidays; };
    for (const Case& c : {
             Case{{2000, 1, 5}, V{1, 10}},   // second Monday: the 1st a Saturday
             Case{{1999, 1, 5}, V{1, 15}},
             Case{{1999, 10, 5}, V{10, 11}},  // 10/10 a Sunday
             Case{{2000, 10, 5}, V{9}},      // the 1st a Sunday
             Case{{2024, 9, 5}, V{16, 22, 23}},
             Case{{2024, 3, 5}, V{20}},
             Case{{2026, 9, 5}, V{21, 22, 23}},
             Case{{2019, 5, 5}, V{1, 2, 3, 4, 5, 6}},  // the fullest month
             Case{{2019, 4, 5}, V{29, 30}},
             Case{{1986, 5, 5}, V{3, 5}},    // 5/4 a Sunday
             Case{{2008, 5, 5}, V{3, 4, 5, 6}},
             Case{{2026, 6, 5}, V{}},
             Case{{1993, 6, 5}, V{9}},
             Case{{2015, 8, 5}, V{}},
             Case{{2016, 8, 5}, V{11}},
             Case{{2018, 12, 5}, V{23, 24}},
             Case{{2019, 12, 5}, V{}},
         }) {
        const MonthCalendar calendar = ComputeMonthCalendar(c.date);
        EXPECT_EQ(Days(calendar), c.holidays) << c.date.year << '-' << c.date.month;
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

TEST(MonthCalendar, LengthAndFirstWeekday) {
    struct Case { Date date; int daysInMonth, firstWeekday; };
    for (const Case& c : {
             Case{{2000, 2, 10}, 29, 3},  // leap February, the 1st a Tuesday
             Case{{2001, 2, 10}, 28, 5},  // common February, Thursday
             Case{{1900, 2, 10}, 28, 5},  // no leap day in 1900
             Case{{2023, 1, 10}, 31, 1},  // the months of 2023 start on every weekday
             Case{{2023, 5, 10}, 31, 2},
             Case{{2023, 8, 10}, 31, 3},
             Case{{2023, 2, 10}, 28, 4},
             Case{{2023, 6, 10}, 30, 5},
             Case{{2023, 9, 10}, 30, 6},
             Case{{2023, 4, 10}, 30, 7},
             Case{{2023, 12, 10}, 31, 6},
         }) {
        const MonthCalendar calendar = ComputeMonthCalendar(c.date);
        EXPECT_EQ(calendar.DaysInMonth, c.daysInMonth) << c.date.year << '-' << c.date.month;
        EXPECT_EQ(calendar.FirstWeekday, c.firstWeekday) << c.date.year << '-' << c.date.month;
    }
}

TEST(MonthCalendar, TodayAndItsWeekday) {
    MonthCalendar calendar = ComputeMonthCalendar(Date{2026, 12, 31});
    EXPECT_EQ(calendar.Today, 31);
    EXPECT_EQ(calendar.TodayWeekday, 5);  // Thursday
    EXPECT_EQ(calendar.FirstWeekday, 3);
    calendar = ComputeMonthCalendar(Date{2000, 1, 1});
    EXPECT_EQ(calendar.Today, 1);
    EXPECT_EQ(calendar.TodayWeekday, 7);
    EXPECT_EQ(calendar.FirstWeekday, 7);
    calendar = ComputeMonthCalendar(Date{2024, 2, 29});
    EXPECT_EQ(calendar.Today, 29);
    EXPECT_EQ(calendar.TodayWeekday, 5);
}

TEST(MonthCalendar, InvalidDateGivesAnEmptyRecord) {
    for (const Date& date : {Date{2001, 2, 29}, Date{2001, 0, 1}, Date{2001, 13, 1}, Date{2001, 1, 32}}) {
        const MonthCalendar calendar = ComputeMonthCalendar(date);
        EXPECT_EQ(calendar.FirstWeekday, 0);
        EXPECT_EQ(calendar.DaysInMonth, 0);
        EXPECT_EQ(calendar.Today, 0);
        EXPECT_EQ(calendar.TodayWeekday, 0);
        EXPECT_EQ(calendar.Holidays[1], 0);
    }
}

}  // namespace
}  // namespace hv
