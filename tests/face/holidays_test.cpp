#include "face/holidays.h"

#include <string>

#include <gtest/gtest.h>

namespace hv {
namespace {

std::string Show(const Date& date) {
    return std::to_string(date.year) + '-' + std::to_string(date.month) + '-' + std::to_string(date.day);
}

// Each rule in its first and last year, then the rules meeting each other. Empty: not a holiday.
TEST(Holidays, TheRulesAtTheirEdgesAndWhereTheyMeet) {
    const std::pair<Date, std::u16string_view> cases[] = {
        {{1948, 5, 5}, u""}, {{1948, 9, 23}, u"秋分の日"},  // the Act took effect on 1948-07-20
        {{2099, 11, 23}, u"勤労感謝の日"}, {{2100, 1, 1}, u""}, {{2019, 2, 30}, u""}, {{2019, 13, 1}, u""},
        {{1949, 1, 1}, u"元日"}, {{1966, 2, 11}, u""}, {{1967, 2, 11}, u"建国記念の日"},
        {{1999, 1, 15}, u"成人の日"}, {{2000, 1, 15}, u""}, {{2000, 1, 10}, u"成人の日"},  // second Monday from 2000
        {{1988, 4, 29}, u"天皇誕生日"}, {{1989, 4, 29}, u"みどりの日"}, {{2006, 4, 29}, u"みどりの日"},
        {{2007, 4, 29}, u"昭和の日"}, {{2007, 5, 4}, u"みどりの日"},
        {{1989, 12, 23}, u"天皇誕生日"}, {{2018, 12, 23}, u"天皇誕生日"}, {{2019, 12, 23}, u""},
        {{2019, 2, 23}, u""}, {{2020, 2, 23}, u"天皇誕生日"},  // no emperor's birthday in 2019
        {{1995, 7, 20}, u""}, {{1996, 7, 20}, u"海の日"}, {{2002, 7, 20}, u"海の日"},
        {{2003, 7, 20}, u""}, {{2003, 7, 21}, u"海の日"},  // third Monday from 2003
        {{2015, 8, 11}, u""}, {{2016, 8, 11}, u"山の日"}, {{1965, 9, 15}, u""}, {{1966, 9, 15}, u"敬老の日"},
        {{2002, 9, 15}, u"敬老の日"}, {{2004, 9, 15}, u""}, {{2004, 9, 20}, u"敬老の日"},  // third Monday from 2003
        {{1965, 10, 10}, u""}, {{1966, 10, 10}, u"体育の日"}, {{2000, 10, 10}, u""}, {{2000, 10, 9}, u"体育の日"},
        {{2019, 10, 14}, u"体育の日"}, {{2022, 10, 10}, u"スポーツの日"},
        {{1959, 4, 10}, u"皇太子明仁親王の結婚の儀"}, {{2019, 10, 22}, u"即位礼正殿の儀"},  // one-off days
        // Olympic years move three days.
        {{2020, 7, 20}, u""}, {{2020, 7, 23}, u"海の日"}, {{2020, 7, 24}, u"スポーツの日"},
        {{2020, 8, 10}, u"山の日"}, {{2020, 8, 11}, u""}, {{2020, 10, 12}, u""},
        {{2021, 7, 22}, u"海の日"}, {{2021, 7, 23}, u"スポーツの日"}, {{2021, 8, 8}, u"山の日"},
        {{2021, 8, 11}, u""}, {{2021, 10, 11}, u""}, {{2022, 7, 18}, u"海の日"}, {{2022, 8, 11}, u"山の日"},
        // Substitute holidays: from 1973-04-12; from 2007 they pass further holidays.
        {{1973, 2, 12}, u""}, {{1973, 4, 30}, u"振替休日"},
        {{1987, 5, 4}, u"振替休日"},  // 5/3 a Sunday: the Monday is a substitute, not in-between
        {{2008, 5, 5}, u"こどもの日"}, {{2008, 5, 6}, u"振替休日"},  // 5/4 a Sunday
        {{2009, 5, 6}, u"振替休日"},  // 5/3 a Sunday: passes 5/4 and 5/5
        {{2024, 9, 23}, u"振替休日"}, {{2021, 8, 9}, u"振替休日"},  // the equinox, the moved mountain day
        // Days between two holidays: from 1985-12-27; a Sunday stays a Sunday until 2006.
        {{1985, 5, 4}, u""}, {{1986, 5, 4}, u""}, {{1988, 5, 4}, u"国民の休日"},
        {{1991, 5, 4}, u"国民の休日"},  // a Saturday counts
        {{2009, 9, 22}, u"国民の休日"},  // between 敬老の日 9/21 and 秋分の日 9/23
        {{2032, 9, 21}, u"国民の休日"}, {{2020, 9, 22}, u"秋分の日"},  // adjacent: nothing between
        {{2019, 4, 30}, u"国民の休日"}, {{2019, 5, 2}, u"国民の休日"},  // framed by the enthronement day
    };
    for (const auto& [date, name] : cases) EXPECT_TRUE(HolidayName(date) == name) << Show(date);
}

TEST(Holidays, EquinoxDays) {
    // The count of four-year periods rounds down before 1980: 1979 gives 21 and 24.
    const int days[][3] = {{1948, 21, 23}, {1960, 20, 23}, {1979, 21, 24}, {1980, 20, 23},
                           {1999, 21, 23}, {2000, 20, 23}, {2024, 20, 22}, {2099, 20, 23}};
    for (const auto& [year, vernal, autumnal] : days) {
        EXPECT_EQ(VernalEquinoxDay(year), vernal) << year;
        EXPECT_EQ(AutumnalEquinoxDay(year), autumnal) << year;
        EXPECT_TRUE(HolidayName(Date{year, 9, autumnal}) == u"秋分の日") << year;
    }
    EXPECT_TRUE(HolidayName(Date{1949, 3, 21}) == u"春分の日");
    EXPECT_EQ(VernalEquinoxDay(1947) + AutumnalEquinoxDay(2100), 0);
    // Over the whole span the vernal day is 20 or 21 but for the 19th in 2092 and 2096.
    for (int year = 1948; year <= 2099; ++year) {
        const int low = year == 2092 || year == 2096 ? 19 : 20, high = low == 19 ? 19 : 21;
        EXPECT_TRUE(VernalEquinoxDay(year) >= low && VernalEquinoxDay(year) <= high) << year;
        EXPECT_TRUE(AutumnalEquinoxDay(year) >= 22 && AutumnalEquinoxDay(year) <= 24) << year;
    }
}

// Holidays per year, worked out from the law rather than from the rules' code: the Act's
// days (3 in 1948 from 7/20; 9 from 1949; 11 in 1966; 12 from 1967; 13 from 1989; 14 from
// 1996; 15 from 2007; 16 from 2016; 15 in 2019; 16 from 2020), the one-off days, one 振替休日
// for each holiday on a Sunday from 1973-04-12 (the Monday-rule days never are), and the
// 国民の休日: 5/4 in 1986..2006 when a Tuesday to Saturday, from 2003 the day between 敬老の日
// and 秋分の日 when they are two days apart, 4/30 and 5/2 of 2019. Each year's list is in date
// order and agrees with the day query.
TEST(Holidays, YearListsCountedOrderedAndAgreeingWithTheDayQuery) {
    const int counts[] = {
        3,  9,  9,  9,  9,  9,  9,  9,  9,  9,  9,  10, 9,  9,  9,  9,  9,  9,  11, 12,  // 1948..1967
        12, 12, 12, 12, 12, 14, 15, 13, 13, 12, 14, 14, 13, 13, 14, 12, 16, 15, 13, 13,  // 1968..1987
        14, 17, 19, 17, 14, 16, 14, 16, 19, 16, 15, 17, 15, 19, 18, 15, 15, 16, 16, 19,  // 1988..2007
        17, 17, 16, 15, 18, 17, 17, 17, 17, 17, 20, 22, 18, 17, 16, 17, 21, 19, 18, 17,  // 2008..2027
        16, 19, 19,                                                                      // 2028..2030
    };
    EXPECT_TRUE(HolidaysOfYear(1947).empty() && HolidaysOfYear(2100).empty());
    std::size_t total = 0;  // from 1955, the same reckoning carried to 2099
    for (int year = 1948; year <= 2099; ++year) {
        const std::vector<Holiday> holidays = HolidaysOfYear(year);
        if (year <= 2030) {
            EXPECT_EQ(holidays.size(), static_cast<std::size_t>(counts[year - 1948])) << year;
        }
        if (year >= 1955) total += holidays.size();
        for (std::size_t i = 0; i < holidays.size(); ++i) {
            const Holiday& h = holidays[i];
            ASSERT_TRUE(h.date.year == year && IsValidDate(h.date) && HolidayName(h.date) == h.name && !h.name.empty())
                << Show(h.date);
            ASSERT_EQ(h.name.data()[h.name.size()], u'\0') << Show(h.date);  // handed to Win32 as is
            ASSERT_TRUE(i == 0 || holidays[i - 1].date < h.date) << Show(h.date);
        }
    }
    EXPECT_EQ(total, 2354u);
}

}  // namespace
}  // namespace hv
