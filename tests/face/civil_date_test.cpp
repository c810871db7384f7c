#include "face/civil_date.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

TEST(CivilDate, DaysInMonthFollowTheGregorianLeapRule) {
    const int cases[][3] = {{2000, 2, 29}, {1900, 2, 28}, {2100, 2, 28}, {2024, 2, 29}, {2001, 2, 28},
                            {2001, 4, 30}, {2001, 12, 31}, {2001, 0, 0},  {2001, 13, 0}};
    for (const auto& [year, month, days] : cases) EXPECT_EQ(DaysInMonthOf(year, month), days) << year << '-' << month;
    EXPECT_FALSE(IsValidDate(Date{2001, 2, 29}));
    EXPECT_TRUE(IsValidDate(Date{2000, 2, 29}));
    EXPECT_FALSE(IsValidDate(Date{2000, 1, 0}));
}

TEST(CivilDate, WeekdaysOfKnownDates) {
    EXPECT_EQ(WeekdayOf(Date{1970, 1, 1}), 5);    // Thursday
    EXPECT_EQ(WeekdayOf(Date{1948, 7, 20}), 3);   // Tuesday
    EXPECT_EQ(WeekdayOf(Date{2000, 10, 1}), 1);   // Sunday
    EXPECT_EQ(WeekdayOf(Date{2000, 3, 1}), 4);    // Wednesday, after February 29
    EXPECT_EQ(WeekdayOf(Date{2099, 12, 31}), 5);  // Thursday
    EXPECT_EQ(WeekdayOf(Date{1900, 3, 1}), 5);    // Thursday (1900 had no February 29)
}

TEST(CivilDate, DayNumbersRoundTripAndStepByOneDay) {
    long long expected = DayNumber(Date{1899, 12, 31});
    for (int year = 1900; year <= 2100; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonthOf(year, month); ++day) {
                const Date date{year, month, day};
                ASSERT_EQ(DayNumber(date), ++expected) << year << '-' << month << '-' << day;
                ASSERT_EQ(DateFromDayNumber(expected), date);
            }
        }
    }
}

TEST(CivilDate, NthWeekdayOfMonth) {
    EXPECT_EQ(NthWeekdayOfMonth(2000, 1, kMonday, 2), 10);  // the 1st a Saturday
    EXPECT_EQ(NthWeekdayOfMonth(2000, 10, kMonday, 2), 9);  // the 1st a Sunday
    EXPECT_EQ(NthWeekdayOfMonth(2024, 1, kMonday, 2), 8);   // the 1st a Monday
    EXPECT_EQ(NthWeekdayOfMonth(2024, 4, kMonday, 5), 29);
    EXPECT_EQ(NthWeekdayOfMonth(2024, 5, kMonday, 5), 0);  // May 2024 has four Mondays
    EXPECT_EQ(NthWeekdayOfMonth(2024, 5, kMonday, 0), 0);
}

}  // namespace
}  // namespace hv
