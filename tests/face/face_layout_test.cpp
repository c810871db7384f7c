#include "face/face_layout.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

// Extents as a 96-dpi screen measures the default fonts, give or take: the exact values
// only matter for the arithmetic they feed.
FaceMetrics Metrics() {
    FaceMetrics m;
    m.headerWidth = 3000.4;
    m.headerHeight = 345.6;
    m.digitPairWidth = 330;
    m.digitHeight = 540;
    return m;
}

constexpr double kInnerWidth = 5280;
constexpr double kInnerHeight = 3000;

const DayLabel& Day(const FaceLayout& layout, int day) { return layout.days.at(static_cast<std::size_t>(day - 1)); }

TEST(FaceLayoutTest, SixRowMonthStartingOnSaturday) {
    // October 2022: 31 days from a Saturday; Sports Day on Monday the 10th.
    Settings settings;
    MonthCalendar calendar = ComputeMonthCalendar({2022, 10, 20});
    ASSERT_EQ(calendar.FirstWeekday, kSaturday);
    FaceLayout layout = LayoutFace(settings, calendar, kInnerWidth, kInnerHeight, Metrics());

    EXPECT_EQ(layout.headerStep, 808);   // nearest(5280 - 3000 \ 7) \ 6
    EXPECT_EQ(layout.headerHeight, 346);
    EXPECT_EQ(layout.dayStep, 770);      // nearest(5280 - 660) \ 6
    EXPECT_EQ(layout.rowStep, 422);      // nearest(3000 - 540 - 346) \ 5
    ASSERT_EQ(layout.days.size(), 31u);

    const DayLabel& first = Day(layout, 1);
    EXPECT_EQ(first.row, 0);
    EXPECT_EQ(first.column, 7);
    EXPECT_EQ(first.label.x, 6 * 770 + 165);  // half of "88" keeps the margin
    EXPECT_EQ(first.label.y, 346);
    EXPECT_EQ(first.label.color, settings.FontColor[5]);

    const DayLabel& last = Day(layout, 31);
    EXPECT_EQ(last.row, 5);
    EXPECT_EQ(last.column, 2);
    EXPECT_EQ(last.label.x, 770 + 165);
    EXPECT_EQ(last.label.y, 5 * 422 + 346);
    EXPECT_EQ(last.label.color, settings.FontColor[4]);

    EXPECT_TRUE(Day(layout, 10).holiday);
    EXPECT_EQ(Day(layout, 10).label.color, settings.FontColor[3]);
    EXPECT_EQ(Day(layout, 2).label.color, settings.FontColor[3]);  // a Sunday
    EXPECT_FALSE(Day(layout, 2).holiday);
    EXPECT_TRUE(Day(layout, 20).today);
    EXPECT_EQ(Day(layout, 20).label.color, settings.FontColor[2]);
}

TEST(FaceLayoutTest, FebruaryFromSundayInCommonYearFillsFourRows) {
    Settings settings;
    MonthCalendar calendar = ComputeMonthCalendar({2015, 2, 1});
    ASSERT_EQ(calendar.FirstWeekday, kSunday);
    FaceLayout layout = LayoutFace(settings, calendar, kInnerWidth, kInnerHeight, Metrics());
    ASSERT_EQ(layout.days.size(), 28u);
    EXPECT_EQ(Day(layout, 1).column, 1);
    EXPECT_EQ(Day(layout, 28).row, 3);
    EXPECT_EQ(Day(layout, 28).column, 7);
    EXPECT_TRUE(Day(layout, 11).holiday);  // 建国記念の日
    // Today is the 1st, a Sunday: today's colour wins.
    EXPECT_EQ(Day(layout, 1).label.color, settings.FontColor[2]);
}

TEST(FaceLayoutTest, TodayWinsOverHolidayAndLaterHolidaysStillFound) {
    Settings settings;
    MonthCalendar calendar;  // a May with three holidays in a row, today on the middle one
    calendar.FirstWeekday = 6;
    calendar.DaysInMonth = 31;
    calendar.Today = 4;
    calendar.Holidays = {0, 3, 4, 5, 0, 0, 0, 0};
    FaceLayout layout = LayoutFace(settings, calendar, kInnerWidth, kInnerHeight, Metrics());
    EXPECT_EQ(Day(layout, 3).label.color, settings.FontColor[3]);
    EXPECT_EQ(Day(layout, 4).label.color, settings.FontColor[2]);
    EXPECT_TRUE(Day(layout, 4).holiday);
    EXPECT_EQ(Day(layout, 5).label.color, settings.FontColor[3]);
    EXPECT_EQ(Day(layout, 6).label.color, settings.FontColor[4]);  // a Wednesday, not a holiday
    int holidays = 0;
    for (const DayLabel& d : layout.days) holidays += d.holiday;
    EXPECT_EQ(holidays, 3);
}

TEST(FaceLayoutTest, LabelsAndHeader) {
    Settings settings;
    MonthCalendar calendar = ComputeMonthCalendar({2026, 12, 8});
    FaceLayout layout = LayoutFace(settings, calendar, kInnerWidth, kInnerHeight, Metrics());
    EXPECT_EQ(Day(layout, 1).label.text, L" 1");
    EXPECT_EQ(Day(layout, 9).label.text, L" 9");
    EXPECT_EQ(Day(layout, 10).label.text, L"10");
    EXPECT_EQ(Day(layout, 31).label.text, L"31");
    const wchar_t* names[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(layout.header[i].text, names[i]);
        EXPECT_EQ(layout.header[i].x, i * 808);
        EXPECT_EQ(layout.header[i].y, 0);
        EXPECT_EQ(layout.header[i].color, settings.FontColor[1]);
    }
}

TEST(FaceLayoutTest, ShadowOnlyWhenItDiffersFromBothBackgroundColours) {
    Settings settings;  // defaults: shadow, background 1 and 2 all silver
    MonthCalendar calendar = ComputeMonthCalendar({2026, 12, 8});
    EXPECT_FALSE(LayoutFace(settings, calendar, kInnerWidth, kInnerHeight, Metrics()).days[0].shadow);

    settings.FontColor[6] = 0x000000;
    FaceLayout layout = LayoutFace(settings, calendar, kInnerWidth, kInnerHeight, Metrics());
    const DayLabel& d = Day(layout, 5);
    ASSERT_TRUE(d.shadow);
    EXPECT_EQ(d.shadowLabel.x, d.label.x + 15);
    EXPECT_EQ(d.shadowLabel.y, d.label.y + 15);
    EXPECT_EQ(d.shadowLabel.color, 0x000000u);
    EXPECT_EQ(d.shadowLabel.text, d.label.text);

    settings.BackgroundColor[2] = 0x000000;  // equal to the second colour only
    EXPECT_FALSE(LayoutFace(settings, calendar, kInnerWidth, kInnerHeight, Metrics()).days[0].shadow);
    settings.BackgroundKind = BackgroundKind::Image;  // the rule holds for every kind
    EXPECT_FALSE(LayoutFace(settings, calendar, kInnerWidth, kInnerHeight, Metrics()).days[0].shadow);
}

TEST(FaceLayoutTest, MeasuresRoundHalfToEven) {
    Settings settings;
    MonthCalendar calendar = ComputeMonthCalendar({2026, 12, 8});
    FaceMetrics m = Metrics();
    m.headerHeight = 346.5;   // tie: to 346
    m.digitPairWidth = 331.5;  // tie: to 332
    FaceLayout layout = LayoutFace(settings, calendar, kInnerWidth, kInnerHeight, m);
    EXPECT_EQ(layout.headerHeight, 346);
    EXPECT_EQ(layout.digitPairWidth, 332);
    EXPECT_EQ(layout.dayStep, (5280 - 664) / 6);

    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
}

TEST(FaceLayoutTest, TinyAndHugeWindowsStayInSixteenBits) {
    Settings settings;
    MonthCalendar calendar = ComputeMonthCalendar({2022, 10, 1});
    FaceLayout tiny = LayoutFace(settings, calendar, 300, 200, Metrics());
    EXPECT_LT(tiny.dayStep, 0);  // narrower than two digit pairs: steps go backwards, no crash
    FaceLayout huge = LayoutFace(settings, calendar, 400000, 400000, Metrics());
    for (const DayLabel& d : huge.days) {
        EXPECT_LE(d.label.x, 32767);
        EXPECT_LE(d.label.y, 32767);
    }
}

TEST(FaceLayoutTest, DayAtFindsTheLabelUnderAPoint) {
    Settings settings;
    MonthCalendar calendar = ComputeMonthCalendar({2022, 10, 1});
    FaceLayout layout = LayoutFace(settings, calendar, kInnerWidth, kInnerHeight, Metrics());
    const DayLabel& d = Day(layout, 10);
    EXPECT_EQ(DayAt(layout, Metrics(), d.label.x + 10, d.label.y + 10), 10);
    EXPECT_EQ(DayAt(layout, Metrics(), d.label.x + 330, d.label.y + 10), 0);  // the box ends at "88"'s width
    // The cell is taller than a row: its lower part belongs to the next row's label.
    EXPECT_EQ(DayAt(layout, Metrics(), d.label.x + 10, d.label.y + 430), 17);
    EXPECT_EQ(DayAt(layout, Metrics(), 5, 5), 0);                           // the header
}

TEST(FaceLayoutTest, TranslucencyAlphaAndGradationDirection) {
    EXPECT_EQ(TranslucencyAlpha(0), 255);
    EXPECT_EQ(TranslucencyAlpha(10), 229);
    EXPECT_EQ(TranslucencyAlpha(30), 178);
    EXPECT_EQ(TranslucencyAlpha(50), 127);
    EXPECT_EQ(TranslucencyAlpha(90), 25);
    EXPECT_EQ(TranslucencyAlpha(99), 3);
    EXPECT_EQ(TranslucencyAlpha(100), 0);
    EXPECT_EQ(TranslucencyAlpha(250), 0);
    EXPECT_EQ(GradationDirection(Gradation::LeftToRight), 1);
    EXPECT_EQ(GradationDirection(Gradation::TopToBottom), 0);
}

TEST(FaceLayoutTest, TwipsAndPixels) {
    EXPECT_EQ(TwipsToPixels(5400, 96), 360);
    EXPECT_EQ(TwipsToPixels(5400, 192), 720);
    EXPECT_EQ(TwipsToPixels(3500, 96), 233);
    EXPECT_DOUBLE_EQ(PixelsToTwips(1, 96), 15.0);
    EXPECT_DOUBLE_EQ(PixelsToTwips(2, 192), 15.0);
}

}  // namespace
}  // namespace hv
