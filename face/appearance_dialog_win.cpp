#include "face/appearance_dialog_win.h"

#include <commctrl.h>

#include <algorithm>

#include "face/background_dialogs_win.h"
#include "hvplus/program_identity.h"
#include "settings/settings_io.h"
#include "util/common_dialogs_win.h"
#include "util/help_win.h"

namespace hv {

namespace {


using D = AppearanceDialog;
using K = ControlKind;

// A control of font set `set` on the font page: its frame's left edge is 18 or 214, `dx`
// counts from there.
constexpr ControlRow FontRow(int set, int offset, ControlKind kind, const wchar_t* text, int dx, int y, int width,
                              int height, DWORD style = 0) {
    return {D::FontId(set, offset), kind, text, (set == 0 ? 18 : 214) + dx, y, width, height, style, 1};
}

// Table order is Tab order; the tab strip comes last so that it lies under the pages.
// The colour page keeps the places the buttons always had (in twips: captions at 120 and
// 3240, buttons of 1095 x 375 at 1380 and 4500, rows 900 apart), from the page's corner.
constexpr ControlRow kRows[] = {
    FontRow(0, D::kFontFrame, K::Frame, L"曜日欄", 0, 40, 188, 198),
    FontRow(0, D::kFontNameLabel, K::Label, L"フォント名(&F):", 10, 60, 168, 16),
    FontRow(0, D::kFontName, K::Combo, nullptr, 10, 78, 168, 240),
    FontRow(0, D::kFontBold, K::CheckBox, L"太字(&B)", 10, 110, 76, 20),
    FontRow(0, D::kFontItalic, K::CheckBox, L"斜体(&I)", 92, 110, 76, 20),
    FontRow(0, D::kFontSizeLabel, K::Label, L"サイズ(&S):", 10, 142, 168, 16),
    FontRow(0, D::kFontSmall, K::Label, L"小", 8, 170, 18, 16, SS_CENTER),
    FontRow(0, D::kFontSize, K::Slider, nullptr, 26, 162, 136, 30),
    FontRow(0, D::kFontLarge, K::Label, L"大", 162, 170, 18, 16, SS_CENTER),
    FontRow(1, D::kFontFrame, K::Frame, L"日付欄", 0, 40, 188, 198),
    FontRow(1, D::kFontNameLabel, K::Label, L"フォント名(&F):", 10, 60, 168, 16),
    FontRow(1, D::kFontName, K::Combo, nullptr, 10, 78, 168, 240),
    FontRow(1, D::kFontBold, K::CheckBox, L"太字(&B)", 10, 110, 76, 20),
    FontRow(1, D::kFontItalic, K::CheckBox, L"斜体(&I)", 92, 110, 76, 20),
    FontRow(1, D::kFontSizeLabel, K::Label, L"サイズ(&S):", 10, 142, 168, 16),
    FontRow(1, D::kFontSmall, K::Label, L"小", 8, 170, 18, 16, SS_CENTER),
    FontRow(1, D::kFontSize, K::Slider, nullptr, 26, 162, 136, 30),
    FontRow(1, D::kFontLarge, K::Label, L"大", 162, 170, 18, 16, SS_CENTER),
    {D::kIdColorLabel + 0, K::Label, L"曜日欄", 24, 56, 82, 18, 0, 2},
    {D::kIdColor + 0, K::ColorSwatch, L"曜日欄", 108, 52, 73, 25, 0, 2},
    {D::kIdColorLabel + 1, K::Label, L"今日", 24, 116, 82, 18, 0, 2},
    {D::kIdColor + 1, K::ColorSwatch, L"今日", 108, 112, 73, 25, 0, 2},
    {D::kIdColorLabel + 2, K::Label, L"日曜・祝祭日", 24, 176, 82, 18, 0, 2},
    {D::kIdColor + 2, K::ColorSwatch, L"日曜・祝祭日", 108, 172, 73, 25, 0, 2},
    {D::kIdColorLabel + 3, K::Label, L"月曜～金曜日", 232, 56, 82, 18, 0, 2},
    {D::kIdColor + 3, K::ColorSwatch, L"月曜～金曜日", 316, 52, 73, 25, 0, 2},
    {D::kIdColorLabel + 4, K::Label, L"土曜日", 232, 116, 82, 18, 0, 2},
    {D::kIdColor + 4, K::ColorSwatch, L"土曜日", 316, 112, 73, 25, 0, 2},
    {D::kIdColorLabel + 5, K::Label, L"文字影", 232, 176, 82, 18, 0, 2},
    {D::kIdColor + 5, K::ColorSwatch, L"文字影", 316, 172, 73, 25, 0, 2},
    {D::kIdKind + 0, K::Option, L"無地(&P)", 30, 50, 150, 20, 0, 3},
    {D::kIdKind + 1, K::Option, L"デスクトップ(&D)", 30, 76, 150, 20, 0, 3},
    {D::kIdKind + 2, K::Option, L"画像ファイル(&B)", 30, 102, 150, 20, 0, 3},
    {D::kIdKindSettings, K::Button, L"設定(&S)...", 210, 74, 100, 26, 0, 3},
    {D::kIdLine, K::Line, nullptr, 24, 136, 372, 2, 0, 3},
    {D::kIdTranslucent, K::CheckBox, L"半透明(&T)", 30, 148, 150, 20, 0, 3},
    {D::kIdRateLabel, K::Label, L"半透明の度合い(&R):", 30, 178, 200, 16, 0, 3},
    {D::kIdRate, K::Slider, nullptr, 24, 198, 310, 30, 0, 3},
    {D::kIdRatePercent, K::Label, L"0%", 338, 205, 50, 16, 0, 3},
    {D::kIdHeading, K::CheckBox, L"年月の見出しを表示する(&Y)", 30, 50, 340, 20, 0, 4},
    {D::kIdHeadingForm + 0, K::Option, L"西暦 (2026年12月)(&W)", 54, 76, 300, 20, 0, 4},
    {D::kIdHeadingForm + 1, K::Option, L"和暦 (令和8年12月)(&J)", 54, 100, 300, 20, 0, 4},
    {D::kIdRokuyo, K::CheckBox, L"日付の下に六曜を表示する(&K)", 30, 136, 340, 20, 0, 4},
    {D::kIdViewNote, K::Label,
     L"ほかの月はホイールや PageUp、PageDown で表示できます。Home か 1 分間の無操作で今月に戻ります。", 30, 172, 350,
     48, 0, 4},
    OkButtonRow(424, 12, 88, 26),
    CancelButtonRow(424, 44, 88, 26),
    HelpButtonRow(D::kIdHelp, 424, 76, 88, 26),
    {D::kIdTabs, K::Tabs, L"フォント|色|背景|表示", 8, 8, 404, 246},
};

const FormLayout kForm{.caption = L"カレンダー", .width = 520, .height = 262, .controls = kRows, .helpId = D::kIdHelp};

double NowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void SetSliderSteps(HWND slider, int page, int ticks) {
    SendMessageW(slider, TBM_SETPAGESIZE, 0, page);
    SendMessageW(slider, TBM_SETLINESIZE, 0, 1);
    SendMessageW(slider, TBM_SETTICFREQ, static_cast<WPARAM>(ticks), 0);
}

}  // namespace

std::vector<std::wstring> ScreenFontFamilies() {
    std::vector<std::wstring> names;
    HDC screen = GetDC(nullptr);
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;  // every family once per character set it has
    EnumFontFamiliesExW(
        screen, &query,
        [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
            reinterpret_cast<std::vector<std::wstring>*>(found)->push_back(font->lfFaceName);
            return 1;
        },
        reinterpret_cast<LPARAM>(&names), 0);
    ReleaseDC(nullptr, screen);
    return names;
}

void ProbeRegularUpright(const std::wstring& name, int& weight, bool& italic) {
    LOGFONTW request{};
    request.lfHeight = -16;
    request.lfWeight = FW_NORMAL;
    request.lfCharSet = DEFAULT_CHARSET;
    wcsncpy_s(request.lfFaceName, name.c_str(), _TRUNCATE);
    weight = FW_NORMAL;
    italic = false;
    HFONT font = CreateFontIndirectW(&request);
    if (!font) return;
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(screen, &metrics)) {
        weight = metrics.tmWeight;
        italic = metrics.tmItalic != 0;
    }
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
}

AppearanceDialog::AppearanceDialog(SettingsHost& host) : Form(kForm), host_(host) {}

void AppearanceDialog::OnLoad() {
    Settings& settings = host_.settings();
    saved_ = TakeAppearanceSnapshot(settings);
    host_.KeepFaceLook();
    for (int set = 0; set < 2; ++set) {
        const auto n = static_cast<std::size_t>(set + 1);
        const Slider size = SliderAt(FontId(set, kFontSize));
        size.SetRange(kFontSizeMin, kFontSizeMax);
        SetSliderSteps(size.hwnd, kFontSizePage, kFontSizePage);
        // A size between whole points (hand-edited) becomes the slider's whole size.
        const int value = FontSizeSliderValue(settings.FontSize[n]);
        size.SetValue(value);
        settings.FontSize[n] = static_cast<float>(value);
        Check(FontId(set, kFontBold)).SetChecked(settings.FontBold[n]);
        Check(FontId(set, kFontItalic)).SetChecked(settings.FontItalic[n]);
    }
    for (int i = 0; i < kFaceColorCount; ++i) SetSwatch(kIdColor + i, settings.FontColor[static_cast<std::size_t>(i + 1)]);

    const int kind = KindOption(settings.BackgroundKind);
    if (kind >= 0) {
        ChooseKind(kind);
    } else {
        // A stored kind no option stands for: none selected, 設定 opens the plain dialog.
        Options(kIdKind, kKindOptionCount).Select(-1);
        Enable(kIdKindSettings, true);
    }

    translucency_ = TranslucencyAvailable(host_.system());
    const Slider rate = SliderAt(kIdRate);
    rate.SetRange(0, kRateMax);
    SetSliderSteps(rate.hwnd, kRatePage, kRatePage);
    if (translucency_) {
        Check(kIdTranslucent).SetChecked(settings.Translucent);
        const int shown = static_cast<int>(std::min<std::uint32_t>(settings.TranslucentRate, kRateMax));
        rate.SetValue(shown);
        SetText(kIdRatePercent, RateLabel(shown));
    }
    // The slider stays usable while the switch is off: moving it away from 0 is one way
    // to switch translucency on. Without layered windows nothing here can be used.
    for (int id : {kIdTranslucent, kIdRateLabel, kIdRate, kIdRatePercent}) Enable(id, translucency_);

    Check(kIdHeading).SetChecked(settings.ShowHeading);
    Options(kIdHeadingForm, 2).Select(settings.HeadingEra ? 1 : 0);
    for (int i = 0; i < 2; ++i) Enable(kIdHeadingForm + i, settings.ShowHeading);
    Check(kIdRokuyo).SetChecked(settings.ShowRokuyo);

    FillFontLists();
    ShowPage(1);
    PlaceBesideOwner();
    host_.RedrawFace();
}

void AppearanceDialog::PlaceBesideOwner() {
    HWND owner = GetWindow(hwnd(), GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner)) return;
    RECT face, dialog;
    GetWindowRect(owner, &face);
    GetWindowRect(hwnd(), &dialog);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& w = monitor.rcWork;
    const ScreenPoint at = PlaceBesideFace({face.left, face.top, face.right, face.bottom}, dialog.right - dialog.left,
                                           dialog.bottom - dialog.top, {w.left, w.top, w.right, w.bottom},
                                           MulDiv(8, dpi(), 96));
    SetWindowPos(hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AppearanceDialog::FillFontLists() {
    // Many installed fonts take a while to list.
    const BusyPointer busy;
    const double start = NowMs();
    const std::vector<std::wstring> names = FontListNames(FontFamilies());
    Settings& settings = host_.settings();
    for (int set = 0; set < 2; ++set) {
        const ComboBox list = Combo(FontId(set, kFontName));
        SendMessageW(list.hwnd, WM_SETREDRAW, FALSE, 0);
        list.Clear();
        SendMessageW(list.hwnd, CB_INITSTORAGE, names.size(), names.size() * 32 * sizeof(wchar_t));
        for (const std::wstring& name : names) list.Add(name);
        SendMessageW(list.hwnd, WM_SETREDRAW, TRUE, 0);
        // A stored name the system does not list stays stored, with no name selected.
        const std::wstring stored = settings.FontName[static_cast<std::size_t>(set + 1)];
        const int selected = FontListSelection(names, stored);
        list.Select(selected);
        if (selected >= 0) ChooseFontName(set, stored);
    }
    fontFillMs_ = NowMs() - start;
}

void AppearanceDialog::ChooseFontName(int set, const std::wstring& name) {
    int weight = FW_NORMAL;
    bool italic = false;
    ProbeRegularUpright(name, weight, italic);
    const FontStyleBoxes boxes = ChooseFont(host_.settings(), set + 1, name, weight, italic);
    for (const auto& [id, box] : {std::pair(FontId(set, kFontBold), boxes.bold),
                                  std::pair(FontId(set, kFontItalic), boxes.italic)}) {
        Check(id).SetChecked(box.checked);
        Enable(id, box.enabled);
    }
}

void AppearanceDialog::ChooseKind(int option) {
    Settings& settings = host_.settings();
    Options(kIdKind, kKindOptionCount).Select(option);
    const PictureAction action = ChooseBackgroundKind(settings, option);
    Enable(kIdKindSettings, DialogForKind(settings.BackgroundKind) != BackgroundDialogKind::None);
    if (action == PictureAction::Clear) host_.ClearFacePicture();
    if (action == PictureAction::Load) {
        // A picture that does not load leaves the previous one.
        const BusyPointer busy;
        host_.LoadFacePicture(settings.ImageFile);
    }
}

void AppearanceDialog::ApplyLayerChange(const LayerChange& change) {
    Check(kIdTranslucent).SetChecked(change.switchChecked);
    if (change.style != LayerStyle::Keep) {
        host_.ApplyFaceTranslucency(change.style == LayerStyle::On);
        host_.RedrawFace();  // the desktop kind paints the desktop only while opaque
    }
    if (change.opacity) host_.SetFaceOpacity();
}

void AppearanceDialog::PickColor(int index) {
    std::uint32_t& color = host_.settings().FontColor[static_cast<std::size_t>(index + 1)];
    const std::int32_t chosen = ShowColorDialog(hwnd(), color, host_.customColors());
    if (chosen == kColorDialogCancelled) return;
    color = static_cast<std::uint32_t>(chosen);
    SetSwatch(kIdColor + index, color);
    host_.RedrawFace();
}

void AppearanceDialog::OpenKindSettings() {
    switch (DialogForKind(host_.settings().BackgroundKind)) {
    case BackgroundDialogKind::Plain: {
        PlainBackgroundDialog plain(host_);
        plain.RunModal(hwnd());
        break;
    }
    case BackgroundDialogKind::Picture: {
        PictureBackgroundDialog picture(host_);
        picture.RunModal(hwnd());
        break;
    }
    case BackgroundDialogKind::None:
        break;
    }
}

void AppearanceDialog::OnClick(int id) {
    Settings& settings = host_.settings();
    for (int set = 0; set < 2; ++set) {
        const auto n = static_cast<std::size_t>(set + 1);
        if (id == FontId(set, kFontBold)) settings.FontBold[n] = Check(id).Checked();
        if (id == FontId(set, kFontItalic)) settings.FontItalic[n] = Check(id).Checked();
        if (id == FontId(set, kFontBold) || id == FontId(set, kFontItalic)) host_.RedrawFace();
    }
    if (id >= kIdColor && id < kIdColor + kFaceColorCount) PickColor(id - kIdColor);
    if (id >= kIdKind && id < kIdKind + kKindOptionCount) {
        ChooseKind(id - kIdKind);
        host_.RedrawFace();
    }
    if (id == kIdKindSettings) OpenKindSettings();
    if (id == kIdHeading || id == kIdHeadingForm || id == kIdHeadingForm + 1 || id == kIdRokuyo) {
        settings.ShowHeading = Check(kIdHeading).Checked();
        settings.HeadingEra = Options(kIdHeadingForm, 2).Selected() == 1;
        settings.ShowRokuyo = Check(kIdRokuyo).Checked();
        for (int i = 0; i < 2; ++i) Enable(kIdHeadingForm + i, settings.ShowHeading);
        host_.RedrawFace();
    }
    if (id == kIdTranslucent) ApplyLayerChange(ClickTranslucentSwitch(settings, Check(id).Checked(), translucency_));
    if (id == kIdHelp) ShowHelpTopic(hwnd(), host_.system(), kHelpContext);
}

void AppearanceDialog::OnValueChanged(int id) {
    Settings& settings = host_.settings();
    for (int set = 0; set < 2; ++set) {
        const auto n = static_cast<std::size_t>(set + 1);
        if (id == FontId(set, kFontName)) {
            const ComboBox list = Combo(id);
            if (list.Selected() < 0) return;
            ChooseFontName(set, list.ItemText(list.Selected()));
            host_.RedrawFace();
        }
        if (id == FontId(set, kFontSize)) {
            // Every position the slider passes redraws, so the face follows a drag.
            const auto size = static_cast<float>(SliderAt(id).Value());
            if (size == settings.FontSize[n]) return;
            settings.FontSize[n] = size;
            host_.RedrawFace();
        }
    }
    if (id == kIdRate) {
        const int rate = SliderAt(kIdRate).Value();
        SetText(kIdRatePercent, RateLabel(rate));
        ApplyLayerChange(MoveTranslucentRate(settings, rate, translucency_));
    }
}

bool AppearanceDialog::OnOk() {
    // A failed save leaves the dialog open: OK tries again, Cancel puts everything back.
    if (SettingsStore* store = host_.store(); store && !SaveAppearanceSettings(*store, host_.settings())) {
        MessageBoxW(hwnd(), SaveFailureText(L"カレンダー", true).c_str(), kProgramTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    host_.EndKeptFaceLook(false);
    return true;
}

void AppearanceDialog::OnCancel() {
    RestoreAppearanceSnapshot(saved_, host_.settings());
    host_.EndKeptFaceLook(true);
}

}  // namespace hv
