#include "face/holidays.h"

#include <map>
#include <string>

#include <gtest/gtest.h>

namespace hv {
namespace {

struct DayCase {
    Date date;
    std::u16string_view name;  // empty: not a holiday
};

std::string Show(const Date& date) {
    return std::to_string(date.year) + '-' + std::to_string(date.month) + '-' + std::to_string(date.day);
}

void ExpectDays(std::initializer_list<DayCase> cases) {
    for (const DayCase& c : cases) {
        EXPECT_TRUE(HolidayName(c.date) == c.name) << Show(c.date);
    }
}

TEST(Holidays, NoneBeforeTheActOrAfterTheCoveredYears) {
    EXPECT_TRUE(HolidaysOfYear(1947).empty());
    EXPECT_TRUE(HolidaysOfYear(2100).empty());
    ExpectDays({
        {{1948, 5, 5}, u""},        // the Act took effect on 1948-07-20
        {{1948, 9, 23}, u"秋分の日"}, // its first holiday
        {{1948, 11, 3}, u"文化の日"},
        {{2099, 12, 31}, u""},
        {{2100, 1, 1}, u""},
        {{2019, 2, 30}, u""},       // not a date
        {{2019, 13, 1}, u""},
    });
}

TEST(Holidays, EachRuleInItsFirstAndLastYear) {
    ExpectDays({
        {{1949, 1, 1}, u"元日"},
        {{1999, 1, 15}, u"成人の日"},
        {{2000, 1, 15}, u""},
        {{2000, 1, 10}, u"成人の日"},        // second Monday from 2000
        {{1966, 2, 11}, u""},
        {{1967, 2, 11}, u"建国記念の日"},
        {{1988, 4, 29}, u"天皇誕生日"},
        {{1989, 4, 29}, u"みどりの日"},
        {{1989, 12, 23}, u"天皇誕生日"},
        {{2018, 12, 23}, u"天皇誕生日"},
        {{2019, 12, 23}, u""},               // no emperor's birthday in 2019
        {{2019, 2, 23}, u""},
        {{2020, 2, 23}, u"天皇誕生日"},
        {{2006, 4, 29}, u"みどりの日"},
        {{2007, 4, 29}, u"昭和の日"},
        {{2007, 5, 4}, u"みどりの日"},
        {{1995, 7, 20}, u""},
        {{1996, 7, 20}, u"海の日"},
        {{2002, 7, 20}, u"海の日"},
        {{2003, 7, 20}, u""},                // third Monday from 2003
        {{2003, 7, 21}, u"海の日"},
        {{2015, 8, 11}, u""},
        {{2016, 8, 11}, u"山の日"},
        {{1965, 9, 15}, u""},
        {{1966, 9, 15}, u"敬老の日"},
        {{2002, 9, 15}, u"敬老の日"},
        {{2004, 9, 15}, u""},
        {{2004, 9, 20}, u"敬老の日"},
        {{1965, 10, 10}, u""},
        {{1966, 10, 10}, u"体育の日"},
        {{2000, 10, 10}, u""},
        {{2000, 10, 9}, u"体育の日"},
        {{2019, 10, 14}, u"体育の日"},
        {{2022, 10, 10}, u"スポーツの日"},
        {{2099, 11, 3}, u"文化の日"},
        {{2099, 11, 23}, u"勤労感謝の日"},
    });
}

TEST(Holidays, EquinoxDays) {
    // The count of four-year periods rounds down before 1980: 1979 gives 21 and 24.
    struct Equinoxes { int year, vernal, autumnal; };
    for (const Equinoxes& e : {Equinoxes{1948, 21, 23}, {1960, 20, 23}, {1979, 21, 24}, {1980, 20, 23},
                               {1999, 21, 23}, {2000, 20, 23}, {2024, 20, 22}, {2099, 20, 23}}) {
        EXPECT_EQ(VernalEquinoxDay(e.year), e.vernal) << e.year;
        EXPECT_EQ(AutumnalEquinoxDay(e.year), e.autumnal) << e.year;
        if (e.year > 1948) {
            EXPECT_TRUE(HolidayName(Date{e.year, 3, e.vernal}) == u"春分の日") << e.year;
        }
        EXPECT_TRUE(HolidayName(Date{e.year, 9, e.autumnal}) == u"秋分の日") << e.year;
    }
    EXPECT_EQ(VernalEquinoxDay(1947), 0);
    EXPECT_EQ(AutumnalEquinoxDay(2100), 0);
    // Over the whole span the vernal day is 20 or 21 but for the 19th in 2092 and 2096, the
    // autumnal day 22..24.
    for (int year = 1948; year <= 2099; ++year) {
        EXPECT_GE(VernalEquinoxDay(year), year == 2092 || year == 2096 ? 19 : 20) << year;
        EXPECT_LE(VernalEquinoxDay(year), year == 2092 || year == 2096 ? 19 : 21) << year;
        EXPECT_GE(AutumnalEquinoxDay(year), 22) << year;
        EXPECT_LE(AutumnalEquinoxDay(year), 24) << year;
    }
}

TEST(Holidays, SubstituteHolidays) {
    ExpectDays({
        {{1973, 2, 12}, u""},          // 2/11 a Sunday, before the rule of 1973-04-12
        {{1973, 4, 30}, u"振替休日"},  // the first one: 4/29 a Sunday
        {{1987, 5, 4}, u"振替休日"},   // 5/3 a Sunday: the Monday is a substitute, not in-between
        {{2006, 1, 2}, u"振替休日"},
        {{2007, 12, 24}, u"振替休日"},
        {{2008, 5, 5}, u"こどもの日"}, // 5/4 a Sunday: the substitute passes 5/5
        {{2008, 5, 6}, u"振替休日"},
        {{2009, 5, 6}, u"振替休日"},   // 5/3 a Sunday: passes 5/4 and 5/5
        {{2018, 12, 24}, u"振替休日"},
        {{2024, 9, 23}, u"振替休日"},  // the autumnal equinox on a Sunday
        {{2021, 8, 9}, u"振替休日"},   // the moved mountain day on a Sunday
    });
}

TEST(Holidays, DaysBetweenTwoHolidays) {
    ExpectDays({
        {{1985, 5, 4}, u""},             // before the rule of 1985-12-27
        {{1986, 5, 4}, u""},             // a Sunday: not a holiday until 2006
        {{1988, 5, 4}, u"国民の休日"},
        {{1991, 5, 4}, u"国民の休日"},   // a Saturday counts
        {{2006, 5, 4}, u"国民の休日"},
        {{2009, 9, 22}, u"国民の休日"},  // between 敬老の日 9/21 and 秋分の日 9/23
        {{2015, 9, 22}, u"国民の休日"},
        {{2026, 9, 22}, u"国民の休日"},
        {{2032, 9, 21}, u"国民の休日"},  // between 9/20 and 9/22
        {{2020, 9, 22}, u"秋分の日"},    // 敬老の日 on 9/21, adjacent: nothing between
        {{2019, 4, 30}, u"国民の休日"},  // framed by the enthronement day
        {{2019, 5, 2}, u"国民の休日"},
    });
}

TEST(Holidays, OneOffDays) {
    ExpectDays({
        {{1959, 4, 10}, u"皇太子明仁親王の結婚の儀"},
        {{1989, 2, 24}, u"昭和天皇の大喪の礼"},
        {{1990, 11, 12}, u"即位礼正殿の儀"},
        {{1993, 6, 9}, u"皇太子徳仁親王の結婚の儀"},
        {{2019, 5, 1}, u"天皇の即位の日"},
        {{2019, 10, 22}, u"即位礼正殿の儀"},
    });
}

TEST(Holidays, OlympicYearsMoveThreeDays) {
    ExpectDays({
        {{2020, 7, 20}, u""},            // the usual third Monday
        {{2020, 7, 23}, u"海の日"},
        {{2020, 7, 24}, u"スポーツの日"},
        {{2020, 8, 10}, u"山の日"},
        {{2020, 8, 11}, u""},
        {{2020, 10, 12}, u""},
        {{2021, 7, 19}, u""},
        {{2021, 7, 22}, u"海の日"},
        {{2021, 7, 23}, u"スポーツの日"},
        {{2021, 8, 8}, u"山の日"},
        {{2021, 8, 11}, u""},
        {{2021, 10, 11}, u""},
        {{2022, 7, 18}, u"海の日"},      // back to the usual days
        {{2022, 8, 11}, u"山の日"},
    });
}

TEST(Holidays, YearListsAreOrderedAndAgreeWithTheDayQuery) {
    for (int year = 1948; year <= 2099; ++year) {
        const std::vector<Holiday> holidays = HolidaysOfYear(year);
        ASSERT_FALSE(holidays.empty()) << year;
        for (size_t i = 0; i < holidays.size(); ++i) {
            const Holiday& h = holidays[i];
            ASSERT_EQ(h.date.year, year);
            ASSERT_TRUE(IsValidDate(h.date)) << Show(h.date);
            ASSERT_TRUE(HolidayName(h.date) == h.name) << Show(h.date);
            ASSERT_FALSE(h.name.empty());
            ASSERT_EQ(h.name.data()[h.name.size()], u'\0') << Show(h.date);  // handed to Win32 as is
            if (i > 0) {
                ASSERT_TRUE(holidays[i - 1].date < h.date) << Show(h.date);
            }
        }
    }
}

// Holidays per year, worked out from the law rather than from the rules' code:
//   holidays of the Act: 3 in 1948 (from 7/20: 秋分の日, 文化の日, 勤労感謝の日);
//   9 from 1949 (元日 成人の日 春分の日 天皇誕生日 憲法記念日 こどもの日 秋分の日 文化の日
//   勤労感謝の日); 11 in 1966 (+敬老の日 +体育の日); 12 from 1967 (+建国記念の日); 13 from 1989
//   (天皇誕生日 moves to 12/23 and 4/29 stays as みどりの日); 14 from 1996 (+海の日); 15 from 2007
//   (+5/4 みどりの日, 4/29 becomes 昭和の日); 16 from 2016 (+山の日); 15 in 2019 (no 天皇誕生日);
//   16 from 2020 (天皇誕生日 on 2/23);
//   + the one-off days;
//   + one 振替休日 for each holiday on a Sunday from 1973-04-12 (the Monday-rule days never are;
//     the weekdays are those of any printed calendar);
//   + 国民の休日: 5/4 in 1986..2006 when a Tuesday to Saturday (a Monday is already the 振替休日
//     of 5/3, a Sunday stays a Sunday); from 2003 the day between 敬老の日 and 秋分の日 when they
//     are two days apart; 4/30 and 5/2 of 2019.
TEST(Holidays, CountPerYear) {
    const std::map<int, int> expected = {
        {1948, 3}, {1949, 9}, {1950, 9}, {1951, 9}, {1952, 9}, {1953, 9},
        {1954, 9}, {1955, 9}, {1956, 9}, {1957, 9}, {1958, 9},
        {1959, 10},  // 9; +1 one-off
        {1960, 9}, {1961, 9}, {1962, 9}, {1963, 9}, {1964, 9}, {1965, 9},
        {1966, 11},  // 11 (敬老の日 and 体育の日 from their first year)
        {1967, 12}, {1968, 12}, {1969, 12}, {1970, 12}, {1971, 12}, {1972, 12},
        {1973, 14},  // 12; 振替 for Sun 4/29 9/23 (Sun 2/11 is before the rule)
        {1974, 15},  // 12; 振替 for Sun 5/5 9/15 11/3
        {1975, 13},  // 12; 振替 for Sun 11/23
        {1976, 13},  // 12; 振替 for Sun 10/10
        {1977, 12},
        {1978, 14},  // 12; 振替 for Sun 1/1 1/15
        {1979, 14},  // 12; 振替 for Sun 2/11 4/29
        {1980, 13},  // 12; 振替 for Sun 11/23
        {1981, 13},  // 12; 振替 for Sun 5/3
        {1982, 14},  // 12; 振替 for Sun 3/21 10/10
        {1983, 12},
        {1984, 16},  // 12; 振替 for Sun 1/1 1/15 4/29 9/23
        {1985, 15},  // 12; 振替 for Sun 5/5 9/15 11/3
        {1986, 13},  // 12; 振替 for Sun 11/23
        {1987, 13},  // 12; 振替 for Sun 5/3
        {1988, 14},  // 12; 振替 for Sun 3/20; 国民の休日 5/4
        {1989, 17},  // 13; +1 one-off; 振替 for Sun 1/1 1/15; 国民の休日 5/4
        {1990, 19},  // 13; +1 one-off; 振替 for Sun 2/11 4/29 9/23 12/23; 国民の休日 5/4
        {1991, 17},  // 13; 振替 for Sun 5/5 9/15 11/3; 国民の休日 5/4
        {1992, 14},  // 13; 振替 for Sun 5/3
        {1993, 16},  // 13; +1 one-off; 振替 for Sun 10/10; 国民の休日 5/4
        {1994, 14},  // 13; 国民の休日 5/4
        {1995, 16},  // 13; 振替 for Sun 1/1 1/15; 国民の休日 5/4
        {1996, 19},  // 14; 振替 for Sun 2/11 5/5 9/15 11/3; 国民の休日 5/4
        {1997, 16},  // 14; 振替 for Sun 7/20 11/23
        {1998, 15},  // 14; 振替 for Sun 5/3
        {1999, 17},  // 14; 振替 for Sun 3/21 10/10; 国民の休日 5/4
        {2000, 15},  // 14; 国民の休日 5/4
        {2001, 19},  // 14; 振替 for Sun 2/11 4/29 9/23 12/23; 国民の休日 5/4
        {2002, 18},  // 14; 振替 for Sun 5/5 9/15 11/3; 国民の休日 5/4
        {2003, 15},  // 14; 振替 for Sun 11/23
        {2004, 15},  // 14; 国民の休日 5/4
        {2005, 16},  // 14; 振替 for Sun 3/20; 国民の休日 5/4
        {2006, 16},  // 14; 振替 for Sun 1/1; 国民の休日 5/4
        {2007, 19},  // 15; 振替 for Sun 2/11 4/29 9/23 12/23
        {2008, 17},  // 15; 振替 for Sun 5/4 11/23
        {2009, 17},  // 15; 振替 for Sun 5/3; 国民の休日 9/22
        {2010, 16},  // 15; 振替 for Sun 3/21
        {2011, 15},
        {2012, 18},  // 15; 振替 for Sun 1/1 4/29 12/23
        {2013, 17},  // 15; 振替 for Sun 5/5 11/3
        {2014, 17},  // 15; 振替 for Sun 5/4 11/23
        {2015, 17},  // 15; 振替 for Sun 5/3; 国民の休日 9/22
        {2016, 17},  // 16; 振替 for Sun 3/20
        {2017, 17},  // 16; 振替 for Sun 1/1
        {2018, 20},  // 16; 振替 for Sun 2/11 4/29 9/23 12/23
        {2019, 22},  // 15; +2 one-off; 振替 for Sun 5/5 8/11 11/3; 国民の休日 4/30 5/2
        {2020, 18},  // 16; 振替 for Sun 2/23 5/3
        {2021, 17},  // 16; 振替 for Sun 8/8
        {2022, 16},
        {2023, 17},  // 16; 振替 for Sun 1/1
        {2024, 21},  // 16; 振替 for Sun 2/11 5/5 8/11 9/22 11/3
        {2025, 19},  // 16; 振替 for Sun 2/23 5/4 11/23
        {2026, 18},  // 16; 振替 for Sun 5/3; 国民の休日 9/22
        {2027, 17},  // 16; 振替 for Sun 3/21
        {2028, 16},
        {2029, 19},  // 16; 振替 for Sun 2/11 4/29 9/23
        {2030, 19},  // 16; 振替 for Sun 5/5 8/11 11/3
    };
    for (const auto& [year, count] : expected) {
        EXPECT_EQ(HolidaysOfYear(year).size(), static_cast<size_t>(count)) << year;
    }
    // The same reckoning carried to 2099.
    size_t total = 0;
    for (int year = 1955; year <= 2099; ++year) total += HolidaysOfYear(year).size();
    EXPECT_EQ(total, 2354u);
}

}  // namespace
}  // namespace hv
