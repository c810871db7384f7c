#include "alarm/alarm_dialog_win.h"

#include <vector>

#include "alarm/alarm_win.h"

namespace hv {

namespace {

constexpr wchar_t kClassName[] = L"HoravoxAlarmDlg";
constexpr int kMessageId = 101;
constexpr int kIconId = 102;

// Design sizes in twips (1440 per inch); converted with the screen's dpi at load.
constexpr int kClientWidth = 4530, kClientHeight = 1275;
constexpr RECT kIconBox{120, 120, 120 + 495, 120 + 495};
constexpr RECT kMessageBox{780, 60, 780 + 3675, 60 + 615};
constexpr RECT kOkBox{1800, 840, 1800 + 1095, 840 + 375};

}  // namespace

AlarmDialog::~AlarmDialog() {
    if (hwnd()) DestroyWindow(hwnd());
    ReleaseIcon();
    if (font_) DeleteObject(font_);
}

bool AlarmDialog::Load() {
    if (IsOpen()) return true;
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    RECT outer{0, 0, Px(kClientWidth), Px(kClientHeight)};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::wstring caption = AlarmCaptionAt(now);
    // No owner: the notice must show even while the main window is hidden in the
    // notification area, and it gets a taskbar button of its own.
    if (!Create(kClassName, caption.c_str(), style, exStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                outer.bottom - outer.top, nullptr, nullptr, nullptr))
        return false;
    CreateControls();
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void AlarmDialog::CreateControls() {
    if (!font_) {
        font_ = CreateFontW(-MulDiv(9, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS UI Gothic");
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, const RECT& r, int id) {
        HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, Px(r.left), Px(r.top),
                                     Px(r.right - r.left), Px(r.bottom - r.top), hwnd(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return child;
    };
    iconBox_ = make(L"STATIC", L"", SS_ICON | SS_CENTERIMAGE | SS_REALSIZECONTROL, kIconBox, kIconId);
    // The message is the user's text: an ampersand in it is a character, not a mnemonic.
    message_ = make(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kMessageBox, kMessageId);
    ok_ = make(L"BUTTON", L"&OK", WS_TABSTOP | BS_DEFPUSHBUTTON, kOkBox, IDOK);
}

void AlarmDialog::SetMessage(const std::wstring& text) {
    if (message_) SetWindowTextW(message_, text.c_str());
}

std::wstring AlarmDialog::MessageText() const {
    if (!message_) return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(message_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(message_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void AlarmDialog::SetIcon(HICON icon, bool owned) {
    if (!iconBox_) {
        if (owned && icon) DestroyIcon(icon);
        return;
    }
    SendMessageW(iconBox_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    ReleaseIcon();
    icon_ = icon;
    iconOwned_ = owned;
}

void AlarmDialog::ReleaseIcon() {
    if (icon_ && iconOwned_) DestroyIcon(icon_);
    icon_ = nullptr;
    iconOwned_ = false;
}

void AlarmDialog::Show(bool modal) {
    if (!IsOpen()) return;
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    SetFocus(ok_);
    if (!modal) return;

    // Like a modal form: every other window of the program waits until the notice closes.
    struct Collect {
        HWND self;
        std::vector<HWND> disabled;
    } collect{hwnd(), {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* c = reinterpret_cast<Collect*>(param);
            if (window != c->self && IsWindowVisible(window) && IsWindowEnabled(window)) c->disabled.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&collect));
    for (HWND window : collect.disabled) EnableWindow(window, FALSE);

    MSG msg;
    bool quit = false;
    while (IsOpen()) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        if (IsDialogMessageW(hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    for (HWND window : collect.disabled) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    // The program's own loop must still see a quit request that arrived meanwhile.
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
}

void AlarmDialog::Confirm() {
    if (onOk_) onOk_();
    DestroyWindow(hwnd());
}

LRESULT AlarmDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        // OK, Enter and Escape all confirm the notice.
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            Confirm();
            return 0;
        }
        break;
    case WM_CLOSE:
        // The close box confirms too: a notice closed any way leaves no sound playing.
        Confirm();
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd(), &client);
        FillRect(reinterpret_cast<HDC>(wp), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd(), &ps);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    }
    return Window::HandleMessage(msg, wp, lp);
}

void AlarmDialog::OnDestroyed() {
    iconBox_ = message_ = ok_ = nullptr;
    ReleaseIcon();
}

}  // namespace hv
