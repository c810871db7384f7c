#include "face/face_layout.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "face/calendar_text.h"
#include "face/lunisolar.h"

namespace hv {

namespace {

// Positions are 16-bit signed values; a huge window clamps instead of wrapping around.
int Clamp16(long long value) { return static_cast<int>(std::clamp<long long>(value, -32768, 32767)); }

// a \ b: integer division truncating toward zero, as the layout rules are written.
long long IntDiv(long long a, long long b) { return a / b; }

// The layout's integer arithmetic works in 64 bits and clamps to 16 at the end.
long long Rounded(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<long long>(std::clamp(RoundHalfEven(value), -9.0e18, 9.0e18));
}

std::uint32_t ColumnColor(const Settings& settings, int column) {
    if (column == kSunday) return settings.FontColor[3];
    if (column == kSaturday) return settings.FontColor[5];
    return settings.FontColor[4];
}

// " 1" .. " 9", "10" .. "31": a space in front, cut to the last two characters.
std::wstring DayText(int day) {
    std::wstring text = L" " + std::to_wstring(day);
    return text.substr(text.size() - 2);
}

}  // namespace

Settings HighContrastLook(const Settings& settings, const ContrastColors& colors) {
    Settings look = settings;
    look.FontColor = {{colors.text, colors.highlight, colors.hotLight, colors.text, colors.text, colors.window}};
    look.BackgroundColor = {{colors.window, colors.window}};  // the shadow's colour: no shadow
    look.BackgroundKind = BackgroundKind::Plain;
    look.Gradation = Gradation::None;
    look.Translucent = false;
    return look;
}

bool FaceShadowEnabled(const Settings& settings) {
    return settings.FontColor[6] != settings.BackgroundColor[1] && settings.FontColor[6] != settings.BackgroundColor[2];
}

FaceLayout LayoutFace(const Settings& settings, const MonthCalendar& calendar, double innerWidth,
                      double innerHeight, const FaceMetrics& metrics, const FaceExtras& extras) {
    FaceLayout layout;

    if (!extras.heading.empty()) {
        layout.hasHeading = true;
        layout.headingHeight = Clamp16(Rounded(metrics.headingHeight));
        layout.heading = {extras.heading, Clamp16(std::max(0LL, Rounded((innerWidth - metrics.headingWidth) / 2))), 0,
                          settings.FontColor[1]};
    }

    long long headerLabel = IntDiv(Rounded(metrics.headerWidth), 7);
    layout.headerStep = Clamp16(IntDiv(Rounded(innerWidth - static_cast<double>(headerLabel)), 6));
    layout.headerHeight = Clamp16(Rounded(metrics.headerHeight));
    const std::wstring header = kHeaderText;
    for (int i = 0; i < 7; ++i) {
        FaceLabel& label = layout.header[static_cast<std::size_t>(i)];
        label.text = header.substr(static_cast<std::size_t>(3 * i), 3);
        label.x = Clamp16(static_cast<long long>(i) * layout.headerStep);
        label.y = layout.headingHeight;
        label.color = settings.FontColor[1];
    }

    const bool rokuyo = !extras.rokuyo.empty();
    const long long rokuyoHeight = rokuyo ? Rounded(metrics.rokuyoHeight) : 0;
    const long long top = static_cast<long long>(layout.headerHeight) + layout.headingHeight;
    layout.digitPairWidth = Clamp16(Rounded(metrics.digitPairWidth));
    layout.dayStep = Clamp16(IntDiv(Rounded(innerWidth - 2.0 * layout.digitPairWidth), 6));
    layout.rowStep = Clamp16(IntDiv(
        Rounded(innerHeight - metrics.digitHeight - layout.headerHeight - layout.headingHeight - rokuyoHeight), 5));

    const bool shadow = FaceShadowEnabled(settings);
    int column = calendar.FirstWeekday;
    int row = 0;
    std::size_t cursor = 1;
    for (int day = 1; day <= calendar.DaysInMonth; ++day) {
        DayLabel entry;
        entry.day = day;
        entry.row = row;
        entry.column = column;
        entry.label.text = DayText(day);
        entry.label.x = Clamp16(static_cast<long long>(column - 1) * layout.dayStep + layout.digitPairWidth / 2);
        entry.label.y = Clamp16(static_cast<long long>(row) * layout.rowStep + top);
        entry.shadow = shadow;
        if (shadow) {
            entry.shadowLabel = {entry.label.text, Clamp16(entry.label.x + 15LL), Clamp16(entry.label.y + 15LL),
                                 settings.FontColor[6]};
        }
        std::uint32_t color = ColumnColor(settings, column);
        // The slots are ascending and end in 0, so one comparison per day finds them all.
        if (cursor < calendar.Holidays.size() && calendar.Holidays[cursor] == day) {
            color = settings.FontColor[3];
            entry.holiday = true;
            ++cursor;
        }
        if (day == calendar.Today) {
            color = settings.FontColor[2];
            entry.today = true;
        }
        entry.label.color = color;
        const std::size_t index = static_cast<std::size_t>(day - 1);
        if (rokuyo && index < extras.rokuyo.size() && extras.rokuyo[index] >= 0 &&
            extras.rokuyo[index] < kRokuyoCount) {
            const auto name = static_cast<Rokuyo>(extras.rokuyo[index]);
            const std::u16string_view text = RokuyoName(name);
            const double width = metrics.rokuyoWidth[static_cast<std::size_t>(name)];
            entry.hasRokuyo = true;
            entry.rokuyo = {std::wstring(text.begin(), text.end()),
                            Clamp16(entry.label.x + Rounded((layout.digitPairWidth - width) / 2)),
                            Clamp16(entry.label.y + Rounded(metrics.digitHeight)), color};
            if (shadow) {
                entry.rokuyoShadow = {entry.rokuyo.text, Clamp16(entry.rokuyo.x + 15LL), Clamp16(entry.rokuyo.y + 15LL),
                                      settings.FontColor[6]};
            }
        }
        layout.days.push_back(std::move(entry));

        if (column == kSaturday) ++row;
        column = column % 7 + 1;
    }
    return layout;
}

double DayFontFitScale(double innerHeight, double top, double digitHeight, double rokuyoHeight) {
    // The last row ends at the bottom edge and the others are a row step apart: six rows fit
    // without overlap when 6 x (number + 六曜) <= the height below the top.
    const double needed = 6 * (digitHeight + rokuyoHeight);
    if (!(needed > 0)) return 1.0;
    return std::clamp((innerHeight - top) / needed, 0.0, 1.0);
}

std::wstring FaceHeading(const Settings& settings, int year, int month, bool showsToday) {
    if (!settings.ShowHeading && (showsToday || !settings.TitleBarHidden())) return {};
    const std::u16string text =
        MonthHeading(year, month, settings.HeadingEra ? HeadingForm::Era : HeadingForm::Western);
    return std::wstring(text.begin(), text.end());
}

DayBox DayLabelBox(const FaceLayout& layout, const FaceMetrics& metrics, const DayLabel& day) {
    // The text cells of neighbouring rows overlap (a cell includes the font's leading), so a
    // box ends where the next row or column begins.
    double width = metrics.digitPairWidth, height = metrics.digitHeight;
    if (layout.dayStep > 0 && layout.dayStep < width) width = layout.dayStep;
    if (layout.rowStep > 0 && layout.rowStep < height) height = layout.rowStep;
    return {static_cast<double>(day.label.x), static_cast<double>(day.label.y), width, height};
}

std::uint8_t TranslucencyAlpha(std::uint32_t rate) {
    // nearest((100 - rate) * 2.55) with 2.55 as its double, which lies just below 2.55: the
    // exact product is then just below n * 255 / 100, so a decimal half rounds down (rate
    // 30 gives 178, not 179). Done in integers so that no compiler's floating point can
    // round the product up to the half first.
    const std::uint32_t scaled = (100 - std::min<std::uint32_t>(rate, 100)) * 255;
    return static_cast<std::uint8_t>(scaled / 100 + (scaled % 100 > 50 ? 1 : 0));
}

}  // namespace hv
