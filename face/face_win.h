// The calendar face on a window: background (plain colour, gradation, the desktop or a
// picture), the weekday header and the days, drawn from `Settings` and `MonthCalendar`.
// The layout is decided by face/face_layout.h; this file only measures and draws.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "face/face_layout.h"
#include "face/month_calendar.h"
#include "settings/settings.h"

namespace hv {

// Paints a two-colour gradient straight onto a window's client area (the library's
// hvPaintGradation): window, first colour, second colour, direction (1 left to right).
using GradientPainter = std::function<void(HWND, COLORREF, COLORREF, long)>;

// A background picture loaded from a file (.bmp, .dib, .jpg, .wmf, .emf, .ico, .cur).
class FacePicture {
public:
    FacePicture() = default;
    ~FacePicture() { Reset(); }
    FacePicture(const FacePicture&) = delete;
    FacePicture& operator=(const FacePicture&) = delete;
    FacePicture(FacePicture&& other) noexcept;
    FacePicture& operator=(FacePicture&& other) noexcept;
    // Another holder of the same picture: nothing is copied or read again.
    FacePicture Share() const;

    // False when the file is missing or not a picture; the previous picture is kept then.
    bool Load(const std::wstring& path);
    void Reset();
    bool empty() const { return picture_ == nullptr; }
    // Draws it unscaled (in 96-dpi pixels scaled to `dpi`) from the top-left corner.
    void Render(HDC dc, int dpi) const;

private:
    IPicture* picture_ = nullptr;
    int loadDpi_ = 96;  // the dpi the loader converted a bitmap's pixels to HIMETRIC with
};

// A font kept from one repaint to the next: made again only when what it is made from (the
// settings, the dpi, the size the face fits) changes.
class KeptFont {
public:
    KeptFont() = default;
    ~KeptFont() { Reset(); }
    KeptFont(const KeptFont&) = delete;
    KeptFont& operator=(const KeptFont&) = delete;
    // The font for `font`: the one kept when it was made from the same description.
    HFONT Get(const LOGFONTW& font);
    void Reset();

private:
    LOGFONTW made_{};
    HFONT font_ = nullptr;
};

class FacePainter {
public:
    FacePainter(Settings& settings, const MonthCalendar& calendar, GradientPainter gradient)
        : settings_(settings), calendar_(calendar), gradient_(std::move(gradient)) {}
    FacePainter(const FacePainter&) = delete;
    FacePainter& operator=(const FacePainter&) = delete;

    // The year and month `calendar` is of, and whether it is today's: with them the face can
    // show the heading row and the 六曜 (as the settings ask). Until it is told, it shows neither.
    void SetMonth(int year, int month, bool showsToday);

    // The window's back colour is BackgroundColor[1]; for the picture kind, ImageFile is
    // loaded. A picture that cannot be loaded (a network or removable drive not ready yet)
    // keeps its kind and file: the face shows the plain colour meanwhile, silently, and
    // RetryPicture tries again.
    void ApplyBackground();
    // The picture of the picture kind that is not there (it did not load), tried again when
    // the last try is at least kPictureRetryMs old, so that the window shown right after
    // the start, or a burst of display changes, does not wait on a dead drive again. True
    // when it loaded now: the caller repaints. `nowMs` counts as GetTickCount64 does.
    static constexpr std::uint64_t kPictureRetryMs = 2000;
    bool RetryPicture(std::uint64_t nowMs);

    // The window's look beside the settings, as a dialog that previews on the face opens:
    // its picture (held, not reloaded), layered style and opacity. EndKeptLook puts it back
    // (Cancel) or lets it go, and redraws the face from the settings as they are then.
    void KeepLook(HWND window);
    void EndKeptLook(HWND window, bool putBack);

    // While high contrast is on the face takes the theme's colours (HighContrastLook), read
    // from the system at every repaint.
    void SetHighContrast(bool on) { highContrast_ = on; }
    bool highContrast() const { return highContrast_; }

    // The day whose box shows the keyboard's focus (after an arrow key); 0 for none.
    void SetFocusDay(int day) { focusDay_ = day; }

    // Draws the whole face onto `dc` (the paint DC) or, when null, onto the window's own
    // DC: composed in a memory bitmap and copied once, so a repaint never flickers.
    void DrawFace(HWND window, HDC dc = nullptr);

    FacePicture& picture() { return picture_; }
    // What the last DrawFace laid out, in twips, and the dpi it drew at.
    const FaceLayout& layout() const { return layout_; }
    const FaceMetrics& metrics() const { return metrics_; }
    int dpi() const { return dpi_; }
    // The box a day of layout() is drawn in (DayLabelBox), in client pixels.
    RECT DayRect(const DayLabel& day) const;

private:
    void PaintBackground(HWND window, HDC memory, int width, int height, const Settings& look);
    bool LoadPicture();
    FaceExtras Extras();
    // A font of set 1 or 2 scaled by `scale` for Japanese text: the set's own face when it has
    // the glyphs, otherwise a Japanese face of the system at the same size and style.
    LOGFONTW JapaneseFont(HDC dc, int set, double scale);

    Settings& settings_;
    const MonthCalendar& calendar_;
    GradientPainter gradient_;
    FacePicture picture_;
    std::uint64_t pictureTriedMs_ = 0;  // when the last load of ImageFile ended
    struct KeptLook {
        FacePicture picture;
        bool layered = false;
        BYTE alpha = 255;
    };
    KeptLook kept_;
    FaceLayout layout_;
    FaceMetrics metrics_;
    int dpi_ = 96;
    int focusDay_ = 0;
    bool highContrast_ = false;
    int year_ = 0;
    int month_ = 0;
    bool showsToday_ = true;
    // The 六曜 of the month last drawn with them (computing them takes a few tenths of a ms).
    int rokuyoYear_ = 0;
    int rokuyoMonth_ = 0;
    std::vector<int> rokuyo_;
    // The face chosen for Japanese text, by the set's face it was chosen for.
    std::array<std::wstring, 2> japaneseFor_;
    std::array<std::wstring, 2> japaneseFace_;
    // The fonts of the last repaint: weekday row, days, heading, 六曜, and the days and the
    // 六曜 made smaller to fit.
    KeptFont headerFont_, dayFont_, headingFont_, rokuyoFont_, fittedDayFont_, fittedRokuyoFont_;
};

// The size of the 六曜 under a day against the day's own font.
inline constexpr double kRokuyoFontScale = 0.5;

// Whether a high-contrast theme is on (SPI_GETHIGHCONTRAST).
bool HighContrastOn();

// Switches the window's layered style on (with the opacity of `rate` percent) or off.
// Returns false when the style could not be written.
bool ApplyTranslucency(HWND window, bool on, std::uint32_t rate);

// Text extent in twips with the font selected into `dc`.
void MeasureText(HDC dc, const wchar_t* text, int dpi, double& width, double& height);

}  // namespace hv
