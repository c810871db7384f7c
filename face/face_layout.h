// Where every label of the calendar face goes and in which colour, decided from the
// window's inner size and the measured text extents. Portable: the Win32 painter measures
// the texts, hands the extents in here and draws what comes back.
//
// All lengths are twips (1/1440 inch). Positions are 16-bit, as the face has always
// computed them; windows beyond 32767 twips clamp at the edge.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "face/month_calendar.h"
#include "settings/settings.h"
#include "util/units.h"

namespace hv {

// The header row's text: seven labels of three characters each.
inline constexpr wchar_t kHeaderText[] = L"SunMonTueWedThuFriSat";
// The texts whose extents size the day grid.
inline constexpr wchar_t kDigitPairText[] = L"88";
inline constexpr wchar_t kDigitText[] = L"8";

// Text extents in twips as measured with the face's fonts.
struct FaceMetrics {
    double headerWidth = 0;     // of kHeaderText in font set 1
    double headerHeight = 0;
    double digitPairWidth = 0;  // of kDigitPairText in font set 2
    double digitHeight = 0;     // of kDigitText in font set 2
    // Only with the heading row and the 六曜 (FaceExtras).
    double headingWidth = 0;  // of FaceExtras::heading in the heading font
    double headingHeight = 0;
    std::array<double, 6> rokuyoWidth{};  // of each name, by Rokuyo, in the 六曜 font
    double rokuyoHeight = 0;
};

// What the face may show beyond the weekdays and the days; by default nothing, and the face
// is laid out as it always was.
struct FaceExtras {
    std::wstring heading;     // the month above the weekday row; empty: no heading row
    std::vector<int> rokuyo;  // by day (index 0 is day 1): the Rokuyo under it; empty: none
};

struct FaceLabel {
    std::wstring text;
    int x = 0;  // twips from the inner area's top-left corner
    int y = 0;
    std::uint32_t color = 0;  // COLORREF
};

struct DayLabel {
    int day = 0;
    int row = 0;     // 0..5
    int column = 0;  // 1 = Sunday ... 7 = Saturday
    bool holiday = false;
    bool today = false;
    FaceLabel label;
    bool shadow = false;
    FaceLabel shadowLabel;  // drawn first, one pixel (15 twips) down and right
    // The 六曜 under the number, centred on it, in its colour (and its shadow like the number's).
    bool hasRokuyo = false;
    FaceLabel rokuyo;
    FaceLabel rokuyoShadow;
};

struct FaceLayout {
    bool hasHeading = false;
    FaceLabel heading;  // centred above the weekday row, in its colour
    int headingHeight = 0;
    std::array<FaceLabel, 7> header;
    std::vector<DayLabel> days;  // day 1 first
    int headerStep = 0;
    int headerHeight = 0;
    int digitPairWidth = 0;
    int dayStep = 0;
    int rowStep = 0;
};

// The system's colours of a high-contrast theme (COLORREF values).
struct ContrastColors {
    std::uint32_t window = 0;
    std::uint32_t text = 0;
    std::uint32_t highlight = 0;
    std::uint32_t hotLight = 0;
};

// The look of the face while high contrast is on: the settings with the theme's colours (text on
// the window colour, today in the highlight colour, Sundays and holidays in the hot-light
// colour), on the plain window colour without gradation, picture, shadow or translucency. The
// settings themselves are left as they are, to come back when high contrast goes off.
Settings HighContrastLook(const Settings& settings, const ContrastColors& colors);

// The shadow is drawn only when its colour differs from both background colours.
bool FaceShadowEnabled(const Settings& settings);

// Lays out the whole face for an inner area of `innerWidth` x `innerHeight` twips. A heading
// row takes its height from the top and the 六曜 their height from the grid: the weekday row
// moves down by the heading, and the rows close up so that the last row's 六曜 ends at the
// bottom edge.
FaceLayout LayoutFace(const Settings& settings, const MonthCalendar& calendar, double innerWidth,
                      double innerHeight, const FaceMetrics& metrics, const FaceExtras& extras = {});

// With the 六曜 under the days each of the six rows must hold a number and its 六曜: the
// scale (at most 1) of the day font, which the 六曜's follows, at which they fit in
// `innerHeight` below `top` (the weekday row and the heading), from the heights measured at
// full size. The painter draws both that much smaller, so that a small face stays tidy and a
// larger one shows the chosen size.
double DayFontFitScale(double innerHeight, double top, double digitHeight, double rokuyoHeight);

// The heading the face shows for a month: with ShowHeading in the form HeadingEra chooses;
// without it, for a month other than today's while the title bar is hidden (the title then
// cannot name it). Empty when there is none.
std::wstring FaceHeading(const Settings& settings, int year, int month, bool showsToday);

// The area a day's label answers to (its tooltip), in twips: the width of "88" and the
// height of "8" from the label's position, cut where the next column or row starts.
struct DayBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};
DayBox DayLabelBox(const FaceLayout& layout, const FaceMetrics& metrics, const DayLabel& day);

// Opacity of the layered window for a translucency rate in percent: rate 0 is 255, 30 is
// 178, 50 is 127. Rates above 100 (only a hand-edited registry holds them) count as 100.
std::uint8_t TranslucencyAlpha(std::uint32_t rate);

// The gradient painter's direction argument: 1 left to right, 0 top to bottom.
inline long GradationDirection(Gradation gradation) { return 2 - static_cast<long>(gradation); }

}  // namespace hv
