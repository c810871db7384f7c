#include "alarm/icon_chooser_win.h"

#include "hvplus/module_paths_win.h"
#include "util/common_dialogs_win.h"
#include "util/dpi_win.h"

namespace hv {

namespace {

using C = IconChooser;
using K = ControlKind;

// The strip is not a row: it is made in OnLoad, right after the label whose access key
// reaches it, at this place (pixels at 96 dpi).
constexpr int kStripLeft = 10;
constexpr int kStripTop = 80;

constexpr ControlRow kRows[] = {
    {C::kIdFileLabel, K::Label, L"ファイル名(&F):", 10, 10, 200, 18},
    {C::kIdFile, K::Edit, L"", 10, 28, 262, 23},
    {C::kIdBrowse, K::Button, L"参照(&B)...", 280, 27, 80, 26},
    {C::kIdIconsLabel, K::Label, L"現在のアイコン(&C):", 10, 62, 200, 18},
    OkButtonRow(194, 162, 80, 26),
    CancelButtonRow(280, 162, 80, 26),
};

const FormLayout kForm{.caption = kIconChooserTitle, .width = 370, .height = 198, .controls = kRows};

}  // namespace

IconChooser::IconChooser(const std::wstring& systemDirectory, IconChoice choice)
    : Form(kForm), defaultFile_(DefaultIconFile(systemDirectory)), choice_(std::move(choice)) {
    choice_.accepted = false;
    strip_.onClick = [this](int index) {
        choice_.index = index;
        MarkSelectedIcon();
    };
    strip_.onKey = [this](StripKey key) {
        choice_.index = strip_.model().Step(choice_.index, key);
        MarkSelectedIcon();
        ScrollToSelectedIcon();
    };
    strip_.onFocus = [this] { MarkSelectedIcon(); };
}

IconChoice IconChooser::Run(HWND owner) {
    RunModal(owner);
    return choice_;
}

void IconChooser::OnLoad() {
    strip_.Create(hwnd(), kIdStrip);
    // Tab order and the label's access key follow the window order.
    SetWindowPos(strip_.hwnd(), Item(kIdIconsLabel), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PlaceStrip();
    Enable(IDOK, false);
    if (choice_.file.empty()) choice_.file = defaultFile_;
    Edit(kIdFile).SetText(choice_.file);
    LoadIconStrip();
    MarkSelectedIcon();
    ScrollToSelectedIcon();
}

void IconChooser::PlaceStrip() {
    if (strip_.hwnd()) strip_.Place(ScaleToDpi(kStripLeft, dpi()), ScaleToDpi(kStripTop, dpi()), dpi());
}

void IconChooser::LoadIconStrip() {
    if (choice_.file.empty()) {
        strip_.Load(L"");
        return;
    }
    if (strip_.Load(choice_.file) == 0)
        MessageBoxW(hwnd(), NoIconsMessage(choice_.file).c_str(), kIconChooserTitle, MB_ICONEXCLAMATION | MB_OK);
}

void IconChooser::MarkSelectedIcon() {
    if (strip_.Mark(choice_.index)) Enable(IDOK, true);
}

void IconChooser::ScrollToSelectedIcon() { strip_.ScrollTo(choice_.index); }

// A new file: its icons from the first, none marked, so OK waits for a pick.
void IconChooser::NewFile() {
    choice_.index = 0;
    LoadIconStrip();
    strip_.SetScrollValue(0);
    Enable(IDOK, false);
}

void IconChooser::OnClick(int id) {
    if (id != kIdBrowse) return;
    const std::wstring chosen = ShowOpenFileDialog(hwnd(), IconFileFilter());
    if (!chosen.empty()) {
        choice_.file = chosen;
        Edit(kIdFile).SetText(chosen);
    }
    // Cancelled too: the file is read again and the selection cleared.
    NewFile();
}

bool IconChooser::OnValidate(int id) {
    if (id != kIdFile) return true;
    const std::wstring text = Edit(kIdFile).Text();
    if (text == choice_.file) return true;
    choice_.file = text;
    if (!FileExists(text)) {
        MessageBoxW(hwnd(), FileNotFoundMessage(text).c_str(), kIconChooserTitle, MB_ICONEXCLAMATION | MB_OK);
        choice_.file = defaultFile_;
        Edit(kIdFile).SetText(choice_.file);
    }
    NewFile();
    // The focus always moves on: a file the chooser cannot use is replaced, not refused.
    return true;
}

bool IconChooser::OnOk() {
    // A file typed and taken just now has no icon marked yet.
    if (!IsWindowEnabled(Item(IDOK))) return false;
    choice_.accepted = true;
    return true;
}

}  // namespace hv
