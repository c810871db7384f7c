#include "alarm/alarm_dialog_win.h"

#include "alarm/alarm_actions.h"
#include "alarm/alarm_win.h"

namespace hv {

namespace {

using K = ControlKind;

// Posted when a message is shown: by the time it arrives the notice is on the screen.
constexpr UINT kAlertMessage = WM_APP + 0x50;

constexpr ControlRow kRows[] = {
    {AlarmDialog::kIdIcon, K::Picture, nullptr, 8, 8, 33, 33},
    // The message is the user's text: an ampersand in it is a character, not an access key.
    {AlarmDialog::kIdMessage, K::Label, L"", 52, 4, 245, 41, SS_NOPREFIX},
    OkButtonRow(120, 56, 73, 25),
};
// The notice of an alarm that may snooze: OK and the snooze button side by side.
constexpr ControlRow kSnoozeRows[] = {
    kRows[0],
    kRows[1],
    OkButtonRow(55, 56, 73, 25),
    {AlarmDialog::kIdSnooze, K::Button, L"スヌーズ(&S)", 136, 56, 110, 25},
};

// No owner when modeless: the notice must show even while the main window is hidden in
// the notification area, and it gets a taskbar button of its own.
constexpr FormLayout NoticeForm(std::span<const ControlRow> rows) {
    return {.caption = L"", .width = 302, .height = 85, .controls = rows, .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
            .exStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW};
}
const FormLayout kForm = NoticeForm(kRows);
const FormLayout kSnoozeForm = NoticeForm(kSnoozeRows);

}  // namespace

std::wstring SnoozeCaption(int minutes) { return L"スヌーズ " + std::to_wstring(minutes) + L"分(&S)"; }

AlarmDialog::AlarmDialog(std::function<void()> onConfirm, std::function<void()> onSnooze)
    : Form(kForm), onConfirm_(std::move(onConfirm)), onSnooze_(std::move(onSnooze)) {}

bool AlarmDialog::Open(AlarmNotice notice, bool modal, HWND owner) {
    notice_ = std::move(notice);
    UseLayout(notice_.snoozeMinutes > 0 ? kSnoozeForm : kForm);
    const bool opened = modal ? RunModal(owner) != -1 : ShowModeless(nullptr);
    if (!opened && notice_.iconOwned) DestroyIcon(notice_.icon);  // never reached the picture
    if (opened && !modal) ShowWindow(hwnd(), SW_SHOWNORMAL);
    return opened;
}

void AlarmDialog::OnLoad() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    SetWindowTextW(hwnd(), AlarmCaptionAt(now).c_str());
    titleBarTheme_ = {};  // a new window each time the notice opens
    titleBarTheme_.Follow(hwnd());
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowNotice();
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDOK)), TRUE);
}

INT_PTR AlarmDialog::OnMessage(UINT msg, WPARAM, LPARAM lp) {
    if (IsThemeChange(msg, lp)) titleBarTheme_.Follow(hwnd());
    // A screen reader reads an alert's text as it comes, wherever the user's focus is.
    if (msg == kAlertMessage) NotifyWinEvent(EVENT_SYSTEM_ALERT, Item(kIdMessage), OBJID_CLIENT, CHILDID_SELF);
    return FALSE;
}

void AlarmDialog::Update(AlarmNotice notice) {
    notice_ = std::move(notice);
    ShowNotice();
}

void AlarmDialog::ShowNotice() {
    SetText(kIdMessage, notice_.message);
    Describe(notice_.message);
    PostMessageW(hwnd(), kAlertMessage, 0, 0);
    SetPicture(kIdIcon, notice_.icon, notice_.iconOwned);
    notice_.iconOwned = false;  // the picture owns it now
    // A later alarm that may not snooze leaves the button as it was: the alarms before it
    // still may.
    if (Item(kIdSnooze) && notice_.snoozeMinutes > 0) SetText(kIdSnooze, SnoozeCaption(notice_.snoozeMinutes));
    RECT outer;
    GetWindowRect(hwnd(), &outer);
    auto place = DialogPlacement(notice_.position, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 outer.right - outer.left, outer.bottom - outer.top);
    if (place) SetWindowPos(hwnd(), nullptr, place->x, place->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AlarmDialog::Dismiss() {
    if (IsOpen()) Close(IDABORT);
}

std::wstring AlarmDialog::MessageText() const { return IsOpen() ? EditBox{Item(kIdMessage)}.Text() : std::wstring(); }

bool AlarmDialog::OnOk() {
    if (onConfirm_) onConfirm_();
    return true;
}

void AlarmDialog::OnClick(int id) {
    if (id != kIdSnooze) return;
    if (onSnooze_) onSnooze_();
    Close(IDCANCEL);
}

// Esc and the close box confirm too: a notice closed any way leaves no sound playing.
void AlarmDialog::OnCancel() {
    if (onConfirm_) onConfirm_();
}

}  // namespace hv
