#include "face/appearance_choices.h"

#include <algorithm>

#include "util/units.h"

namespace hv {

namespace {

// Every setting Cancel puts back, listed once: taking the snapshot and restoring it are
// the same copy in opposite directions.
template <class From, class To>
void CopyAppearance(const From& from, To& to) {
    to.FontName = from.FontName;
    to.FontSize = from.FontSize;
    to.FontBold = from.FontBold;
    to.FontItalic = from.FontItalic;
    to.FontColor = from.FontColor;
    to.BackgroundColor = from.BackgroundColor;
    to.BackgroundKind = from.BackgroundKind;
    to.Gradation = from.Gradation;
    to.ImageFile = from.ImageFile;
    to.Translucent = from.Translucent;
    to.TranslucentRate = from.TranslucentRate;
    to.ShowHeading = from.ShowHeading;
    to.HeadingEra = from.HeadingEra;
    to.ShowRokuyo = from.ShowRokuyo;
}

}  // namespace

AppearanceSnapshot TakeAppearanceSnapshot(const Settings& s) {
    AppearanceSnapshot snapshot;
    CopyAppearance(s, snapshot);
    return snapshot;
}

void RestoreAppearanceSnapshot(const AppearanceSnapshot& snapshot, Settings& s) { CopyAppearance(snapshot, s); }

bool NamesPicture(std::wstring_view imageFile) { return !imageFile.empty() && imageFile != kNoPictureText; }

int FontSizeSliderValue(float size) {
    const double rounded = RoundHalfEven(static_cast<double>(size));
    if (!(rounded >= kFontSizeMin)) return kFontSizeMin;  // NaN too
    return rounded > kFontSizeMax ? kFontSizeMax : static_cast<int>(rounded);
}

std::vector<std::wstring> FontListNames(const std::vector<std::wstring>& reported) {
    std::vector<std::wstring> names;
    names.reserve(reported.size());
    for (const std::wstring& name : reported)
        if (!name.empty() && name[0] != L'@') names.push_back(name);
    auto folded = [](const std::wstring& name) {
        std::wstring f = name;
        // ASCII only: the order must not depend on the locale the program runs in.
        for (wchar_t& c : f)
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        return f;
    };
    std::sort(names.begin(), names.end(), [&](const std::wstring& a, const std::wstring& b) {
        const std::wstring fa = folded(a), fb = folded(b);
        return fa != fb ? fa < fb : a < b;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

int FontListSelection(const std::vector<std::wstring>& names, std::wstring_view stored) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == stored) return static_cast<int>(i);
    return -1;
}

FontStyleBoxes ChooseFont(Settings& settings, int set, const std::wstring& name, int weightAskedRegular,
                          bool italicAskedUpright) {
    const auto n = static_cast<std::size_t>(set);
    settings.FontName[n] = name;
    FontStyleBoxes boxes;
    if (weightAskedRegular >= kBoldWeight) {
        settings.FontBold[n] = true;
        boxes.bold = {true, false};
    } else {
        boxes.bold = {settings.FontBold[n], true};
    }
    if (italicAskedUpright) {
        settings.FontItalic[n] = true;
        boxes.italic = {true, false};
    } else {
        boxes.italic = {settings.FontItalic[n], true};
    }
    return boxes;
}

int KindOption(BackgroundKind kind) {
    const int option = static_cast<int>(kind);
    return option >= 0 && option < kKindOptionCount ? option : -1;
}

PictureAction ChooseBackgroundKind(Settings& settings, int option) {
    settings.BackgroundKind = static_cast<BackgroundKind>(option);
    switch (settings.BackgroundKind) {
    case BackgroundKind::Plain:
        return PictureAction::Clear;
    case BackgroundKind::Image:
        return NamesPicture(settings.ImageFile) ? PictureAction::Load : PictureAction::Clear;
    default:
        return PictureAction::Keep;
    }
}

BackgroundDialogKind DialogForKind(BackgroundKind kind) {
    switch (kind) {
    case BackgroundKind::Desktop:
        return BackgroundDialogKind::None;
    case BackgroundKind::Image:
        return BackgroundDialogKind::Picture;
    default:
        return BackgroundDialogKind::Plain;
    }
}

LayerChange ClickTranslucentSwitch(Settings& settings, bool on, bool available) {
    if (!available) return {settings.Translucent, LayerStyle::Keep, false};
    settings.Translucent = on;
    return {on, on ? LayerStyle::On : LayerStyle::Off, false};
}

LayerChange MoveTranslucentRate(Settings& settings, int rate, bool available) {
    LayerChange change{settings.Translucent, LayerStyle::Keep, false};
    if (!available) return change;  // the slider is greyed there; nothing may switch on
    const auto r = static_cast<std::uint32_t>(std::clamp(rate, 0, kRateMax));
    if (r == settings.TranslucentRate) return change;  // no move: the same position reported again
    settings.TranslucentRate = r;
    // Switching on sets the opacity from the new rate already.
    if (r == 0) return settings.Translucent ? ClickTranslucentSwitch(settings, false, true) : change;
    if (!settings.Translucent) return ClickTranslucentSwitch(settings, true, true);
    change.opacity = true;
    return change;
}

std::wstring RateLabel(int rate) { return std::to_wstring(rate) + L"%"; }

PictureText PictureTextChanged(Settings& settings, const std::wstring& text) {
    if (text.empty()) {
        // The box shows "(なし)" and ImageFile holds it, as it always has: the picture is
        // gone on purpose, and a later start shows the plain colour.
        settings.ImageFile = kNoPictureText;
        return {true, true, false};
    }
    return {false, false, true};
}

std::wstring PictureTried(Settings& settings, const std::wstring& path, PictureLoad result) {
    if (result == PictureLoad::Loaded) {
        settings.ImageFile = path;
        return {};
    }
    return result == PictureLoad::Missing ? L"ファイルが見つかりません。背景は前のままです。"
                                          : L"画像として読み込めません。背景は前のままです。";
}

ScreenPoint PlaceBesideFace(const ScreenRect& face, int width, int height, const ScreenRect& work, int gap) {
    auto along = [](int start, int size, int low, int high) { return std::max(low, std::min(start, high - size)); };
    const int y = along(face.top, height, work.top, work.bottom);
    const int x = along(face.left, width, work.left, work.right);
    if (face.right + gap + width <= work.right) return {face.right + gap, y};
    if (face.left - gap - width >= work.left) return {face.left - gap - width, y};
    if (face.bottom + gap + height <= work.bottom) return {x, face.bottom + gap};
    if (face.top - gap - height >= work.top) return {x, face.top - gap - height};
    return {along((face.left + face.right - width) / 2, width, work.left, work.right),
            along((face.top + face.bottom - height) / 2, height, work.top, work.bottom)};
}

std::wstring PictureFileFilter() {
    static constexpr const wchar_t* kPairs[][2] = {
        {L"すべての画像ファイル", L"*.bmp;*.dib;*.jpg;*.wmf;*.emf;*.ico;*.cur"},
        {L"ビットマップ (*.bmp;*.dib)", L"*.bmp;*.dib"},
        {L"JPEGイメージ (*.jpg)", L"*.jpg"},
        {L"メタファイル (*.wmf;*.emf)", L"*.wmf;*.emf"},
        {L"アイコン (*.ico;*.cur)", L"*.ico;*.cur"},
    };
    std::wstring filter;
    for (const auto& pair : kPairs) {
        filter += pair[0];
        filter += L'\0';
        filter += pair[1];
        filter += L'\0';
    }
    return filter;
}

}  // namespace hv
