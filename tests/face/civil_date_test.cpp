#include "face/civil_date.h"

#include <utility>

#include <gtest/gtest.h>

namespace hv {
namespace {

TEST(CivilDate, MonthLengthsFollowTheGregorianLeapRule) {
    const int cases[][3] = {{2000, 2, 29}, {1900, 2, 28}, {2100, 2, 28}, {2024, 2, 29}, {2001, 2, 28},
                            {2001, 4, 30}, {2001, 12, 31}, {2001, 0, 0},  {2001, 13, 0}};
    for (const auto& [year, month, days] : cases) EXPECT_EQ(DaysInMonthOf(year, month), days) << year << '-' << month;
    EXPECT_FALSE(IsValidDate({2001, 2, 29}) || IsValidDate({2000, 1, 0}));
    EXPECT_TRUE(IsValidDate({2000, 2, 29}));
}

TEST(CivilDate, WeekdaysAndNthWeekdaysOfKnownMonths) {
    // 1 = Sunday; 2000-03-01 follows a February 29, 1900-03-01 none.
    for (const auto& [date, weekday] : {std::pair{Date{1970, 1, 1}, 5}, {{1948, 7, 20}, 3}, {{2000, 10, 1}, 1},
                                        {{2000, 3, 1}, 4}, {{2099, 12, 31}, 5}, {{1900, 3, 1}, 5}}) {
        EXPECT_EQ(WeekdayOf(date), weekday) << date.year << '-' << date.month;
    }
    // Second Mondays of months starting on a Saturday, a Sunday and a Monday; May 2024 has four Mondays.
    const int mondays[][4] = {{2000, 1, 2, 10}, {2000, 10, 2, 9}, {2024, 1, 2, 8},
                              {2024, 4, 5, 29}, {2024, 5, 5, 0},  {2024, 5, 0, 0}};
    for (const auto& [year, month, n, day] : mondays) EXPECT_EQ(NthWeekdayOfMonth(year, month, kMonday, n), day);
}

TEST(CivilDate, DayNumbersRoundTripAndStepByOneDay) {
    EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
    long long expected = DayNumber({1899, 12, 31});
    for (int year = 1900; year <= 2100; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonthOf(year, month); ++day) {
                ASSERT_EQ(DayNumber({year, month, day}), ++expected) << year << '-' << month << '-' << day;
                ASSERT_EQ(DateFromDayNumber(expected), (Date{year, month, day}));
            }
        }
    }
}

}  // namespace
}  // namespace hv
