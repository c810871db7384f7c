#include "face/background_dialogs_win.h"

#include "face/appearance_choices.h"
#include "hvplus/module_paths_win.h"
#include "util/common_dialogs_win.h"

namespace hv {

namespace {

constexpr UINT_PTR kLoadTimer = 1;

using P = PlainBackgroundDialog;
using I = PictureBackgroundDialog;
using K = ControlKind;

// Button 1 sits on button 0's line at 2760 twips.
constexpr ControlRow kPlainRows[] = {
    {P::kIdColorLabel + 0, K::Label, L"色1:", 14, 18, 40, 18},
    {P::kIdColor + 0, K::ColorSwatch, L"色1", 56, 14, 73, 25},
    {P::kIdColorLabel + 1, K::Label, L"色2:", 144, 18, 40, 18},
    {P::kIdColor + 1, K::ColorSwatch, L"色2", 184, 14, 73, 25},
    {P::kIdGradationFrame, K::Frame, L"グラデーション(&G):", 12, 50, 272, 54},
    {P::kIdGradation + 0, K::Option, L"(なし)", 24, 72, 74, 20},
    {P::kIdGradation + 1, K::Option, L"左から右", 102, 72, 84, 20},
    {P::kIdGradation + 2, K::Option, L"上から下", 190, 72, 84, 20},
    {IDCANCEL, K::DefaultButton, L"閉じる(&C)", 196, 114, 88, 26, 0, 0, nullptr, kDialogButtonFont},
};
const FormLayout kPlainForm{.caption = L"無地の設定", .width = 296, .height = 150, .controls = kPlainRows};

constexpr ControlRow kPictureRows[] = {
    {I::kIdPathLabel, K::Label, L"画像ファイル(&F):", 12, 12, 200, 18},
    {I::kIdPath, K::Edit, nullptr, 12, 32, 348, 23},
    {I::kIdNote, K::Label, L"", 12, 60, 348, 18, SS_NOPREFIX},
    {I::kIdBrowse, K::Button, L"参照(&B)...", 176, 86, 88, 26},
    {IDCANCEL, K::DefaultButton, L"閉じる(&C)", 272, 86, 88, 26, 0, 0, nullptr, kDialogButtonFont},
};
const FormLayout kPictureForm{.caption = L"画像ファイルの設定", .width = 372, .height = 124, .controls = kPictureRows};

}  // namespace

PlainBackgroundDialog::PlainBackgroundDialog(SettingsHost& host) : Form(kPlainForm), host_(host) {}

void PlainBackgroundDialog::OnLoad() {
    const Settings& settings = host_.settings();
    SetSwatch(kIdColor + 0, settings.BackgroundColor[1]);
    SetSwatch(kIdColor + 1, settings.BackgroundColor[2]);
    const int gradation = static_cast<int>(settings.Gradation);
    Options(kIdGradation, kGradationOptionCount).Select(gradation < kGradationOptionCount ? gradation : -1);
}

void PlainBackgroundDialog::OnClick(int id) {
    Settings& settings = host_.settings();
    if (id == kIdColor || id == kIdColor + 1) {
        std::uint32_t& color = settings.BackgroundColor[static_cast<std::size_t>(id - kIdColor + 1)];
        const std::int32_t chosen = ShowColorDialog(hwnd(), color, host_.customColors());
        if (chosen == kColorDialogCancelled) return;
        color = static_cast<std::uint32_t>(chosen);
        SetSwatch(id, color);
        // The back colour is colour 1: the face takes it at once.
        host_.RedrawFace();
    } else if (id >= kIdGradation && id < kIdGradation + kGradationOptionCount) {
        settings.Gradation = static_cast<Gradation>(id - kIdGradation);
        host_.RedrawFace();
    }
}

PictureBackgroundDialog::PictureBackgroundDialog(SettingsHost& host) : Form(kPictureForm), host_(host) {}

void PictureBackgroundDialog::OnLoad() {
    const std::wstring file = host_.settings().ImageFile;
    Edit(kIdPath).SetText(file);
    // An empty name (or the "(なし)" of an emptied box) leaves the picture as it is.
    if (NamesPicture(file)) LoadNow(file);
}

void PictureBackgroundDialog::OnClick(int id) {
    if (id != kIdBrowse) return;
    const std::wstring path = ShowOpenFileDialog(hwnd(), PictureFileFilter());
    if (path.empty()) return;  // cancelled: nothing changes
    Edit(kIdPath).SetText(path);
    KillTimer(hwnd(), kLoadTimer);
    pending_ = false;
    LoadNow(path);
}

void PictureBackgroundDialog::OnValueChanged(int id) {
    if (id != kIdPath) return;
    const PictureText change = PictureTextChanged(host_.settings(), Edit(kIdPath).Text());
    SetText(kIdNote, L"");  // it spoke of an earlier text
    if (change.showNone) {
        Edit(kIdPath).SetText(kNoPictureText);
        SendMessageW(Item(kIdPath), EM_SETSEL, 0, -1);  // the next key replaces it
    }
    if (change.clear) {
        KillTimer(hwnd(), kLoadTimer);
        pending_ = false;
        host_.ClearFacePicture();
    }
    if (change.load) {
        pending_ = true;
        SetTimer(hwnd(), kLoadTimer, kLoadDelayMs, nullptr);
    }
}

bool PictureBackgroundDialog::OnValidate(int id) {
    if (id == kIdPath) LoadPending();  // the box lost the focus
    return true;
}

void PictureBackgroundDialog::OnCancel() { LoadPending(); }

INT_PTR PictureBackgroundDialog::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg != WM_TIMER || wp != kLoadTimer) return FALSE;
    LoadPending();
    return TRUE;
}

void PictureBackgroundDialog::LoadPending() {
    KillTimer(hwnd(), kLoadTimer);
    if (!pending_) return;
    pending_ = false;
    LoadNow(Edit(kIdPath).Text());
}

void PictureBackgroundDialog::LoadNow(const std::wstring& path) {
    PictureLoad result = PictureLoad::Missing;  // a folder or nothing costs no load
    if (FileExists(path)) {
        const BusyPointer busy;
        result = host_.LoadFacePicture(path) ? PictureLoad::Loaded : PictureLoad::NotAPicture;
    }
    SetText(kIdNote, PictureTried(host_.settings(), path, result));
}

}  // namespace hv
