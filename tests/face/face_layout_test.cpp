#include "face/face_layout.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

// Extents as a 96-dpi screen measures the default fonts, give or take: the exact values
// only matter for the arithmetic they feed.
FaceMetrics Metrics() { return {3000.4, 345.6, 330, 540}; }

constexpr double kInnerWidth = 5280;
constexpr double kInnerHeight = 3000;

FaceLayout Layout(const Settings& settings, Date date, const FaceMetrics& metrics = Metrics()) {
    return LayoutFace(settings, ComputeMonthCalendar(date), kInnerWidth, kInnerHeight, metrics);
}
const DayLabel& Day(const FaceLayout& layout, int day) { return layout.days.at(static_cast<std::size_t>(day - 1)); }

TEST(FaceLayoutTest, SixRowMonthStartingOnSaturday) {
    // October 2022: 31 days from a Saturday; Sports Day on Monday the 10th; today the 20th.
    Settings settings;
    FaceLayout layout = Layout(settings, {2022, 10, 20});
    EXPECT_EQ(layout.headerStep, 808);  // nearest(5280 - 3000 \ 7) \ 6
    EXPECT_EQ(layout.headerHeight, 346);
    EXPECT_EQ(layout.dayStep, 770);  // nearest(5280 - 660) \ 6
    EXPECT_EQ(layout.rowStep, 422);  // nearest(3000 - 540 - 346) \ 5
    ASSERT_EQ(layout.days.size(), 31u);
    const wchar_t* names[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(layout.header[i].text, names[i]);
        EXPECT_EQ(layout.header[i].x, i * 808);
        EXPECT_EQ(layout.header[i].y, 0);
        EXPECT_EQ(layout.header[i].color, settings.FontColor[1]);
    }
    struct Case {
        int day, row, column, x, y, role;
        const wchar_t* text;
    };
    for (const Case& c : {Case{1, 0, 7, 6 * 770 + 165, 346, 5, L" 1"},  // half of "88" keeps the margin
                          {2, 1, 1, 165, 422 + 346, 3, L" 2"},          // a Sunday
                          {10, 2, 2, 770 + 165, 2 * 422 + 346, 3, L"10"},  // a holiday
                          {20, 3, 5, 4 * 770 + 165, 3 * 422 + 346, 2, L"20"},
                          {31, 5, 2, 770 + 165, 5 * 422 + 346, 4, L"31"}}) {
        const DayLabel& d = Day(layout, c.day);
        EXPECT_EQ(d.row, c.row) << c.day;
        EXPECT_EQ(d.column, c.column) << c.day;
        EXPECT_EQ(d.label.x, c.x) << c.day;
        EXPECT_EQ(d.label.y, c.y) << c.day;
        EXPECT_EQ(d.label.color, settings.FontColor[c.role]) << c.day;
        EXPECT_EQ(d.label.text, c.text);
    }
    EXPECT_TRUE(Day(layout, 10).holiday);
    EXPECT_FALSE(Day(layout, 2).holiday);
    EXPECT_TRUE(Day(layout, 20).today);
    // A day's box (its tooltip) is the width of "88", cut where the next row starts.
    const DayBox box = DayLabelBox(layout, Metrics(), Day(layout, 10));
    EXPECT_EQ(box.left, 770 + 165);
    EXPECT_EQ(box.width, 330);
    EXPECT_EQ(box.height, 422);
}

TEST(FaceLayoutTest, FebruaryFromSundayInCommonYearFillsFourRowsAndTodayWinsOverSunday) {
    Settings settings;
    FaceLayout layout = Layout(settings, {2015, 2, 1});
    ASSERT_EQ(layout.days.size(), 28u);
    EXPECT_EQ(Day(layout, 1).column, 1);
    EXPECT_EQ(Day(layout, 28).row, 3);
    EXPECT_EQ(Day(layout, 28).column, 7);
    EXPECT_TRUE(Day(layout, 11).holiday);  // 建国記念の日
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
    const int roles[] = {3, 2, 3, 4};  // the 3rd to the 6th (a Wednesday)
    for (int day = 3; day <= 6; ++day) EXPECT_EQ(Day(layout, day).label.color, settings.FontColor[roles[day - 3]]);
    int holidays = 0;
    for (const DayLabel& d : layout.days) holidays += d.holiday;
    EXPECT_EQ(holidays, 3);
    EXPECT_TRUE(Day(layout, 4).holiday);
}

TEST(FaceLayoutTest, ShadowOnlyWhenItDiffersFromBothBackgroundColours) {
    Settings settings;  // defaults: shadow, background 1 and 2 all silver
    EXPECT_FALSE(Layout(settings, {2026, 12, 8}).days[0].shadow);
    settings.FontColor[6] = 0x000000;
    FaceLayout layout = Layout(settings, {2026, 12, 8});
    const DayLabel& d = Day(layout, 5);
    ASSERT_TRUE(d.shadow);
    EXPECT_EQ(d.shadowLabel.x, d.label.x + 15);
    EXPECT_EQ(d.shadowLabel.y, d.label.y + 15);
    EXPECT_EQ(d.shadowLabel.color, 0x000000u);
    EXPECT_EQ(d.shadowLabel.text, d.label.text);
    settings.BackgroundColor[2] = 0x000000;  // equal to the second colour only
    EXPECT_FALSE(Layout(settings, {2026, 12, 8}).days[0].shadow);
}

TEST(FaceLayoutTest, MeasuresRoundHalfToEven) {
    FaceMetrics m = Metrics();
    m.headerHeight = 346.5;    // tie: to 346
    m.digitPairWidth = 331.5;  // tie: to 332
    FaceLayout layout = Layout(Settings{}, {2026, 12, 8}, m);
    EXPECT_EQ(layout.headerHeight, 346);
    EXPECT_EQ(layout.digitPairWidth, 332);
    EXPECT_EQ(layout.dayStep, (5280 - 664) / 6);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
}

TEST(FaceLayoutTest, TinyAndHugeWindowsStayInSixteenBits) {
    MonthCalendar calendar = ComputeMonthCalendar({2022, 10, 1});
    EXPECT_LT(LayoutFace(Settings{}, calendar, 300, 200, Metrics()).dayStep, 0);  // backwards, no crash
    for (const DayLabel& d : LayoutFace(Settings{}, calendar, 400000, 400000, Metrics()).days) {
        EXPECT_LE(d.label.x, 32767);
        EXPECT_LE(d.label.y, 32767);
    }
}

TEST(FaceLayoutTest, TranslucencyAlphaTwipsAndGradationDirection) {
    const int alphas[][2] = {{0, 255}, {10, 229}, {30, 178}, {50, 127}, {90, 25}, {99, 3}, {100, 0}, {250, 0}};
    for (const auto& [rate, alpha] : alphas) EXPECT_EQ(TranslucencyAlpha(static_cast<unsigned>(rate)), alpha) << rate;
    EXPECT_EQ(TwipsToPixels(5400, 96), 360);
    EXPECT_EQ(TwipsToPixels(5400, 192), 720);
    EXPECT_EQ(TwipsToPixels(3500, 96), 233);
    EXPECT_DOUBLE_EQ(PixelsToTwips(2, 192), 15.0);
    EXPECT_EQ(GradationDirection(Gradation::LeftToRight), 1);
    EXPECT_EQ(GradationDirection(Gradation::TopToBottom), 0);
}

}  // namespace
}  // namespace hv
