#include "face/calendar_text.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

TEST(CalendarText, ErasBeginOnTheirLegalFirstDays) {
    struct Case {
        Date date;
        const char16_t* text;  // null: before the first era
    };
    for (const Case& c : {Case{{1912, 7, 29}, nullptr}, {{1912, 7, 30}, u"大正元年"}, {{1926, 12, 24}, u"大正15年"},
                          {{1926, 12, 25}, u"昭和元年"}, {{1989, 1, 7}, u"昭和64年"}, {{1989, 1, 8}, u"平成元年"},
                          {{2019, 4, 30}, u"平成31年"}, {{2019, 5, 1}, u"令和元年"}, {{2026, 12, 31}, u"令和8年"}}) {
        const std::optional<EraYear> year = EraYearOf(c.date);
        EXPECT_EQ(year ? EraYearText(*year) : u"", c.text ? c.text : u"") << c.date.year << '-' << c.date.day;
    }
}

TEST(CalendarText, HeadingsAndADayInWords) {
    EXPECT_EQ(MonthHeading(2026, 12, HeadingForm::Western), u"2026年12月");
    EXPECT_EQ(MonthHeading(2026, 12, HeadingForm::Era), u"令和8年12月");
    EXPECT_EQ(MonthHeading(1989, 1, HeadingForm::Era), u"昭和64年・平成元年1月");  // a new era within the month
    EXPECT_EQ(MonthHeading(2019, 5, HeadingForm::Era), u"令和元年5月");          // from the 1st: one era
    EXPECT_EQ(MonthHeading(1900, 1, HeadingForm::Era), u"1900年1月");
    EXPECT_EQ(MonthHeading(2026, 13, HeadingForm::Western), u"");

    EXPECT_EQ(DescribeDay({2026, 12, 23}, {2026, 12, 23}, true), u"2026年12月23日 水曜日、今日、先勝");
    EXPECT_EQ(DescribeDay({2026, 11, 23}, {2026, 12, 23}, false), u"2026年11月23日 月曜日、勤労感謝の日");
    EXPECT_EQ(DescribeDay({2026, 12, 9}, {2026, 12, 23}, false, false), u"12月9日 水曜日");
}

}  // namespace
}  // namespace hv
