#include "util/version_window_win.h"

#include <shellapi.h>

#include <string>

#include "hvplus/program_identity.h"
#include "util/environment_report.h"
#include "util/environment_win.h"

namespace hv {

namespace {

constexpr wchar_t kMailTip[] = L"作者にメールを出す";
constexpr wchar_t kMailFailed[] = L"メール環境の呼出しに失敗しました。";

using V = VersionWindow;
using K = ControlKind;

// The report box lies below the first visible area and shows when the environment
// button makes the window taller.
constexpr int kWidth = 360, kHeight = 105, kReportHeight = 213;

constexpr ControlRow kRows[] = {
    {V::kIdIcon, K::Picture, nullptr, 16, 12, 32, 32},
    {V::kIdProduct, K::Heading, kProgramTitle, 64, 10, 100, 22},
    {V::kIdVersion, K::Label, L"", 168, 15, 100, 17, SS_NOPREFIX},
    {V::kIdNotice, K::Label, L"本ソフトウェアは無保証で提供されます。", 64, 36, 288, 17, SS_NOPREFIX},
    {V::kIdLine1, K::Line, nullptr, 8, 61, 349, 2},
    {V::kIdMail, K::Link, L"horavox@kelvane.example", 16, 68, 180, 16, 0, 0, kMailTip},
    {V::kIdMail + 1, K::Link, L"support@kelvane.example", 16, 85, 180, 16, 0, 0, kMailTip},
    {V::kIdEnvironment, K::Button, L"環境 &>>", 204, 71, 72, 24},
    {V::kIdClose, K::DefaultButton, L"閉じる(&C)", 280, 71, 72, 24},
    {V::kIdLine2, K::Line, nullptr, 8, 108, 349, 2},
    // Hidden until filled, so the keyboard cannot reach it while it is out of sight.
    {V::kIdReport, K::Edit, nullptr, 8, 112, 344, 93, WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL},
};

const FormLayout kAbout{.caption = VersionWindow::kAboutCaption, .width = kWidth, .height = kHeight, .controls = kRows,
                        .fontFace = kDialogButtonFont};
// The splash paints the same rows itself: controls would load the common controls (their
// themed classes) before the face shows.
const FormLayout kSplash{.width = kWidth, .height = kHeight, .controls = kRows, .style = WS_POPUP | DS_MODALFRAME,
                         .exStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, .fontFace = kDialogButtonFont,
                         .painted = true};

}  // namespace

VersionWindow::VersionWindow(const SystemInfo& system) : Form(kAbout), system_(system) {}

bool VersionWindow::ShowSplash() {
    splash_ = true;
    UseLayout(kSplash);
    if (!ShowModeless(nullptr)) return false;
    // Not activated: the main window is the first to take the focus, and is not repainted as
    // the splash gives it up.
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd());
    return true;
}

void VersionWindow::CloseSplash() {
    if (hwnd()) DestroyWindow(hwnd());
}

void VersionWindow::ShowAbout(HWND owner) {
    splash_ = false;
    UseLayout(kAbout);
    RunModal(owner);
}

void VersionWindow::OnLoad() {
    // The program's icon; the system's application icon where the program has none.
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId));
    if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
    SetPicture(kIdIcon, icon, false);
    SetText(kIdVersion, VersionLabel(system_.AppVersion));
    ShowWindow(Item(kIdReport), SW_HIDE);
    if (splash_) {
        ShowWindow(Item(kIdEnvironment), SW_HIDE);
        ShowWindow(Item(kIdClose), SW_HIDE);
        return;
    }
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kIdClose)), TRUE);
}

void VersionWindow::OnClick(int id) {
    if (splash_) return;
    if (id == kIdEnvironment) ShowEnvironment();
    if (id == kIdClose) Close(id);
    if (id == kIdMail || id == kIdMail + 1) OpenMail(id - kIdMail);
}

void VersionWindow::ShowEnvironment() {
    // The report is built once per opening; the focus leaves the button before it is disabled.
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kIdClose)), TRUE);
    Enable(kIdEnvironment, false);

    const BusyPointer busy;
    const std::wstring report = BuildSystemEnvironmentReport(system_);
    SetText(kIdReport, report);
    ShowWindow(Item(kIdReport), SW_SHOWNA);

    ResizeClient(kWidth, kReportHeight);  // moved up if it grows past the screen's bottom
}

void VersionWindow::OpenMail(int index) {
    wchar_t address[256] = {};
    GetDlgItemTextW(hwnd(), kIdMail + index, address, 256);
    const std::wstring url = std::wstring(L"mailto:") + address;
    HWND owner = this->owner() ? this->owner() : hwnd();
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(owner, nullptr, url.c_str(), L"", L"", SW_SHOWNORMAL));
    if (result <= 32) MessageBoxW(hwnd(), kMailFailed, kProgramTitle, MB_OK);
}

INT_PTR VersionWindow::OnMessage(UINT msg, WPARAM, LPARAM) {
    if (msg == WM_SETCURSOR && splash_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    return FALSE;
}

}  // namespace hv
