// The appearance dialog and the two background dialogs without their windows: what Cancel
// puts back, which fonts the lists offer and which is selected, when a style box is locked,
// what a background kind does to the picture, how the translucency switch and the rate
// slider drive each other, and what the picture box's text means. The dialogs change the
// settings in place (the face is the preview) and only carry out what these rules return.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace hv {

inline constexpr int kFontSizeMin = 8;
inline constexpr int kFontSizeMax = 68;
inline constexpr int kFontSizePage = 6;
inline constexpr int kRateMax = 99;
inline constexpr int kRatePage = 10;
inline constexpr int kFaceColorCount = 6;
inline constexpr int kKindOptionCount = 3;      // 無地, デスクトップ, 画像ファイル
inline constexpr int kGradationOptionCount = 3;  // (なし), 左から右, 上から下
// What the picture box shows (and ImageFile holds) once the user empties it.
inline constexpr wchar_t kNoPictureText[] = L"(なし)";

// What Cancel puts back: every setting the appearance dialog and its background dialogs
// can change, the picture file and translucency included, so that a cancelled change is
// never stored by a later OK. A setting the dialog learns to change joins this struct (and
// the one list in the .cpp that takes and restores it); the window's own look (its picture,
// layered style and opacity) the face window keeps beside it.
struct AppearanceSnapshot {
    NumberedArray<std::wstring, 2> FontName;
    NumberedArray<float, 2> FontSize;
    NumberedArray<bool, 2> FontBold;
    NumberedArray<bool, 2> FontItalic;
    NumberedArray<std::uint32_t, 6> FontColor;
    NumberedArray<std::uint32_t, 2> BackgroundColor;
    hv::BackgroundKind BackgroundKind = hv::BackgroundKind::Plain;
    hv::Gradation Gradation = hv::Gradation::None;
    std::wstring ImageFile;
    bool Translucent = false;
    std::uint32_t TranslucentRate = 0;
    bool ShowHeading = false;
    bool HeadingEra = false;
    bool ShowRokuyo = false;
};
AppearanceSnapshot TakeAppearanceSnapshot(const Settings& settings);
void RestoreAppearanceSnapshot(const AppearanceSnapshot& snapshot, Settings& settings);

// Whether ImageFile names a picture to show: not empty, and not the "(なし)" an emptied box
// leaves on purpose.
bool NamesPicture(std::wstring_view imageFile);

// The size slider's position for a stored size: nearest, halves to even, within 8..68.
int FontSizeSliderValue(float size);

// The names a font list offers, from the families the system reports in its order: the
// vertical-writing variants ("@" first) left out, each name once, sorted for the eye
// (ordinal order of the case-folded names, then of the names).
std::vector<std::wstring> FontListNames(const std::vector<std::wstring>& reported);
// The stored name's position by exact (case-sensitive) comparison; -1 when not listed, and
// the stored name is kept.
int FontListSelection(const std::vector<std::wstring>& names, std::wstring_view stored);

// A style box after a font was chosen: a family without a regular weight (or without an
// upright style) has only that style, so its box is ticked and disabled and the setting
// follows; otherwise the box shows the setting and takes clicks.
struct StyleBox {
    bool checked = false;
    bool enabled = true;
};
// `weightAskedRegular` and `italicAskedUpright`: what the family gives when asked for a
// regular upright face (the weight and italic flag of its metrics).
struct FontStyleBoxes {
    StyleBox bold;
    StyleBox italic;
};
inline constexpr int kBoldWeight = 600;  // from this weight on a face reads as bold
FontStyleBoxes ChooseFont(Settings& settings, int set, const std::wstring& name, int weightAskedRegular,
                          bool italicAskedUpright);

// The kind options: what a click does to the window's picture, and which settings dialog
// 設定(&S)... opens.
enum class PictureAction { Keep, Clear, Load };
enum class BackgroundDialogKind { None, Plain, Picture };
// Option index for a stored kind; -1 (none selected) for the stored 3 no option stands for.
int KindOption(BackgroundKind kind);
// Sets BackgroundKind to option `option` (0..2) and says what becomes of the picture: the
// plain kind removes it, the desktop covers it, the picture kind loads ImageFile (a name
// that names no picture gives none).
PictureAction ChooseBackgroundKind(Settings& settings, int option);
// 設定(&S)... opens the plain dialog for the plain kind and for a stored 3, the picture
// dialog for the picture kind, nothing for the desktop (the button is greyed).
BackgroundDialogKind DialogForKind(BackgroundKind kind);

// Translucency. The switch and the rate slider drive each other, and the window always
// shows what the slider says: a move to 0 switches translucency off, a move to any other
// rate switches it on at that rate (the switch unticked by hand included). A move that
// reports the rate already set (the end of a drag) changes nothing, so the switch may
// still be ticked by hand at 0: layered and opaque. Nothing here ever switches
// translucency on where the system has no layered windows.
enum class LayerStyle { Keep, On, Off };
struct LayerChange {
    bool switchChecked = false;      // what the switch shows afterwards
    LayerStyle style = LayerStyle::Keep;  // On also sets the opacity from TranslucentRate
    bool opacity = false;            // set the opacity from TranslucentRate, style untouched
};
LayerChange ClickTranslucentSwitch(Settings& settings, bool on, bool available);
LayerChange MoveTranslucentRate(Settings& settings, int rate, bool available);
// The label beside the slider: "30%".
std::wstring RateLabel(int rate);

// The picture dialog's box. An emptied box shows (and ImageFile holds) "(なし)" and the
// picture goes; any other text is tried as a picture and becomes ImageFile only once it
// has loaded: a path that names no loadable picture leaves ImageFile, and the face, with
// the last picture that loaded, and the note under the box says why.
struct PictureText {
    bool showNone = false;  // put kNoPictureText into the box
    bool clear = false;     // remove the window's picture
    bool load = false;      // try to load the text; a failure keeps the previous picture
};
PictureText PictureTextChanged(Settings& settings, const std::wstring& text);
enum class PictureLoad { Loaded, Missing, NotAPicture };
// After trying `path`: ImageFile takes it when it loaded; the note for under the box
// (empty when there is nothing to say).
std::wstring PictureTried(Settings& settings, const std::wstring& path, PictureLoad result);

// Where the appearance dialog goes so that the face, its preview, stays in view: beside the
// face on the right, else on the left, else below, else above (moved along the face's edge
// to fit the work area); over the face's centre, within the work area, when no side has room.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct ScreenPoint {
    int x = 0, y = 0;
};
ScreenPoint PlaceBesideFace(const ScreenRect& face, int width, int height, const ScreenRect& work, int gap);

// The open-file filter of 参照(&B)...: five pairs of description and pattern, each part
// followed by a NUL.
std::wstring PictureFileFilter();

}  // namespace hv
