#include "face/face_layout.h"

#include <string>
#include <tuple>
#include <vector>

#include "face/lunisolar.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

// Extents as a 96-dpi screen measures the default fonts, give or take.
FaceMetrics Metrics() { return {3000.4, 345.6, 330, 540}; }

FaceLayout Layout(const Settings& settings, const MonthCalendar& calendar, const FaceMetrics& metrics = Metrics()) {
    return LayoutFace(settings, calendar, 5280, 3000, metrics);
}
FaceLayout Layout(const Settings& settings, Date date) { return Layout(settings, ComputeMonthCalendar(date)); }
const DayLabel& Day(const FaceLayout& layout, int day) { return layout.days.at(static_cast<std::size_t>(day - 1)); }
auto Placed(const DayLabel& d) {
    return std::tuple(d.row, d.column, d.label.x, d.label.y, d.label.color, d.label.text);
}

TEST(FaceLayoutTest, SixRowMonthStartingOnSaturday) {
    // October 2022: 31 days from a Saturday; Sports Day on Monday the 10th; today the 20th.
    const Settings s;
    const FaceLayout layout = Layout(s, Date{2022, 10, 20});
    // nearest(5280 - 3000 \ 7) \ 6, nearest(345.6), nearest(5280 - 660) \ 6, nearest(3000 - 540 - 346) \ 5
    EXPECT_EQ(std::tuple(layout.headerStep, layout.headerHeight, layout.dayStep, layout.rowStep),
              std::tuple(808, 346, 770, 422));
    ASSERT_EQ(layout.days.size(), 31u);
    const wchar_t* names[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    for (int i = 0; i < 7; ++i) {
        const FaceLabel& h = layout.header[i];
        EXPECT_EQ(std::tuple(h.text, h.x, h.y, h.color), std::tuple(std::wstring(names[i]), i * 808, 0, s.FontColor[1]))
            << i;
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
        EXPECT_EQ(Placed(Day(layout, c.day)),
                  std::tuple(c.row, c.column, c.x, c.y, s.FontColor[c.role], std::wstring(c.text)));
    }
    EXPECT_TRUE(Day(layout, 10).holiday && !Day(layout, 2).holiday && Day(layout, 20).today);
    // A day's box (its tooltip) is the width of "88", cut where the next row starts.
    const DayBox box = DayLabelBox(layout, Metrics(), Day(layout, 10));
    EXPECT_EQ(std::tuple(box.left, box.width, box.height), std::tuple(935.0, 330.0, 422.0));
}

TEST(FaceLayoutTest, FebruaryFromSundayInCommonYearFillsFourRowsAndTodayWinsOverSunday) {
    const Settings s;
    const FaceLayout layout = Layout(s, Date{2015, 2, 1});
    ASSERT_EQ(layout.days.size(), 28u);
    EXPECT_EQ(Placed(Day(layout, 1)), std::tuple(0, 1, 165, 346, s.FontColor[2], std::wstring(L" 1")));
    EXPECT_EQ(Placed(Day(layout, 28)),
              std::tuple(3, 7, 6 * 770 + 165, 3 * 422 + 346, s.FontColor[5], std::wstring(L"28")));
    EXPECT_TRUE(Day(layout, 11).holiday);  // 建国記念の日
}

TEST(FaceLayoutTest, HeadingRowAndRokuyoTakeTheirRoomFromTheTopAndTheGrid) {
    const Settings s;
    FaceMetrics m = Metrics();
    m.headingWidth = 1280;
    m.headingHeight = 345.6;
    m.rokuyoWidth.fill(300);
    m.rokuyoHeight = 270;
    FaceExtras extras{L"2022年10月", std::vector<int>(31)};
    extras.rokuyo[9] = static_cast<int>(Rokuyo::Butsumetsu);
    const FaceLayout layout = LayoutFace(s, ComputeMonthCalendar({2022, 10, 20}), 5280, 3000, m, extras);
    ASSERT_TRUE(layout.hasHeading);
    EXPECT_EQ(std::tuple(layout.heading.x, layout.heading.y, layout.heading.color), std::tuple(2000, 0, s.FontColor[1]));
    EXPECT_EQ(std::tuple(layout.header[3].y, layout.rowStep), std::tuple(346, (3000 - 540 - 346 - 346 - 270) / 5));
    const DayLabel& first = Day(layout, 1);  // a Saturday: centred under "88", one digit height down
    EXPECT_EQ(std::tuple(first.label.y, first.hasRokuyo, first.rokuyo.x, first.rokuyo.y, first.rokuyo.color, first.rokuyo.text),
              std::tuple(692, true, 6 * 770 + 165 + 15, 692 + 540, s.FontColor[5], std::wstring(L"大安")));
    EXPECT_EQ(std::tuple(Day(layout, 10).rokuyo.color, Day(layout, 10).rokuyo.text),
              std::tuple(s.FontColor[3], std::wstring(L"仏滅")));  // a holiday's colour

    // Six rows of 540 + 270 need 4860 twips below the top; 3000 - 692 hold 0.475 of them.
    EXPECT_DOUBLE_EQ(DayFontFitScale(3000, 692, 540, 270), 2308.0 / 4860);
    EXPECT_EQ(DayFontFitScale(6000, 692, 540, 270), 1.0);

    struct Case {
        bool showHeading, era, titleHidden, showsToday;
        const wchar_t* heading;
    };
    for (const Case& c : {Case{false, false, false, false, L""}, {true, false, false, true, L"2022年10月"},
                          {true, true, false, true, L"令和4年10月"}, {false, true, true, false, L"令和4年10月"},
                          {false, false, true, true, L""}}) {
        Settings t;
        t.ShowHeading = c.showHeading;
        t.HeadingEra = c.era;
        t.SetTitleBarHidden(c.titleHidden);
        EXPECT_EQ(FaceHeading(t, 2022, 10, c.showsToday), c.heading) << c.showHeading << c.titleHidden << c.showsToday;
    }
}

TEST(FaceLayoutTest, TodayWinsOverHolidayAndLaterHolidaysStillFound) {
    const Settings s;  // a May from a Friday with holidays on the 3rd to the 5th, today the 4th
    const FaceLayout layout = Layout(s, MonthCalendar{6, 31, 4, 2, {0, 3, 4, 5}});
    const int roles[] = {3, 2, 3, 4};  // the 3rd to the 6th (a Wednesday)
    for (int day = 3; day <= 6; ++day) EXPECT_EQ(Day(layout, day).label.color, s.FontColor[roles[day - 3]]) << day;
    int holidays = 0;
    for (const DayLabel& d : layout.days) holidays += d.holiday;
    EXPECT_EQ(holidays, 3);
    EXPECT_TRUE(Day(layout, 4).holiday);
}

TEST(FaceLayoutTest, ShadowOnlyWhenItDiffersFromBothBackgroundColours) {
    Settings s;  // defaults: shadow, background 1 and 2 all silver
    EXPECT_FALSE(Layout(s, Date{2026, 12, 8}).days[0].shadow);
    s.FontColor[6] = 0x000000;
    const FaceLayout layout = Layout(s, Date{2026, 12, 8});
    const DayLabel& d = Day(layout, 5);
    ASSERT_TRUE(d.shadow);
    const FaceLabel& shadow = d.shadowLabel;
    EXPECT_EQ(std::tuple(shadow.x, shadow.y, shadow.color, shadow.text),
              std::tuple(d.label.x + 15, d.label.y + 15, 0x000000u, d.label.text));
    s.BackgroundColor[2] = 0x000000;  // equal to the second colour only
    EXPECT_FALSE(Layout(s, Date{2026, 12, 8}).days[0].shadow);
}

TEST(FaceLayoutTest, MeasuresRoundHalfToEvenAndStayInSixteenBits) {
    FaceMetrics m = Metrics();
    m.headerHeight = 346.5;    // tie: to 346
    m.digitPairWidth = 331.5;  // tie: to 332
    const FaceLayout layout = Layout(Settings{}, ComputeMonthCalendar({2026, 12, 8}), m);
    EXPECT_EQ(std::tuple(layout.headerHeight, layout.digitPairWidth, layout.dayStep), std::tuple(346, 332, 4616 / 6));
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);

    const MonthCalendar calendar = ComputeMonthCalendar({2022, 10, 1});
    EXPECT_LT(LayoutFace(Settings{}, calendar, 300, 200, Metrics()).dayStep, 0);  // backwards, no crash
    for (const DayLabel& d : LayoutFace(Settings{}, calendar, 400000, 400000, Metrics()).days) {
        EXPECT_TRUE(d.label.x <= 32767 && d.label.y <= 32767) << d.day;
    }
}

TEST(FaceLayoutTest, TranslucencyAlphaTwipsAndGradationDirection) {
    const int alphas[][2] = {{0, 255}, {10, 229}, {30, 178}, {50, 127}, {90, 25}, {99, 3}, {100, 0}, {250, 0}};
    for (const auto& [rate, alpha] : alphas) EXPECT_EQ(TranslucencyAlpha(static_cast<unsigned>(rate)), alpha) << rate;
    EXPECT_EQ(std::tuple(TwipsToPixels(5400, 96), TwipsToPixels(5400, 192), TwipsToPixels(3500, 96)),
              std::tuple(360, 720, 233));
    EXPECT_DOUBLE_EQ(PixelsToTwips(2, 192), 15.0);
    EXPECT_EQ(std::tuple(GradationDirection(Gradation::LeftToRight), GradationDirection(Gradation::TopToBottom)),
              std::tuple(1L, 0L));
}

}  // namespace
}  // namespace hv
