#include "util/version_window_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "util/dialog_template_win.h"
#include "util/environment_report.h"
#include "util/environment_win.h"

namespace hv {

namespace {

constexpr wchar_t kProductName[] = L"Horavox";
constexpr wchar_t kNotice[] = L"本ソフトウェアは無保証で提供されます。";
constexpr const wchar_t* kMailAddresses[2] = {L"horavox@kelvane.example", L"support@kelvane.example"};
constexpr wchar_t kMailTip[] = L"作者にメールを出す";
constexpr wchar_t kMailFailed[] = L"メール環境の呼出しに失敗しました。";

// Layout in twips (1/1440 inch). The report box lies below the first visible area and
// shows when the environment button makes the window taller.
constexpr int kClientWidth = 5400;
constexpr int kClientHeight = 1575;
constexpr int kReportTop = 1680;
constexpr int kReportHeight = 1395;
constexpr int kMargin = 120;
constexpr int kLineGap = 45;  // the separators end this far from the right edge

// Where the parts the splash shows lie, in twips: the about box places its controls there
// and the splash paints the same parts itself.
struct Box {
    int left, top, width, height;
};
constexpr Box kIconBox{240, 180, 480, 480};
constexpr Box kTitleBox{960, 150, 1500, 330};
constexpr Box kVersionBox{2520, 225, 1500, 255};
constexpr Box kNoticeBox{960, 540, kClientWidth - 960 - kMargin, 255};
constexpr Box kLine1Box{kMargin, 915, kClientWidth - kLineGap - kMargin, 30};
constexpr Box MailBox(int index) { return {240, 1020 + index * 255, 2700, 240}; }

RECT ToPixels(const Box& box, int dpi) {
    return {MulDiv(box.left, dpi, 1440), MulDiv(box.top, dpi, 1440), MulDiv(box.left + box.width, dpi, 1440),
            MulDiv(box.top + box.height, dpi, 1440)};
}

// Link blue: the system's hot-track colour is grey in some colour schemes.
constexpr COLORREF kLinkColor = RGB(0, 80, 200);

// The program's icon; the window class icon when the program has none.
constexpr int kProgramIconId = 1;

}  // namespace

VersionWindow::~VersionWindow() {
    if (hwnd()) DestroyWindow(hwnd());
    FreeResources();
}

void VersionWindow::FreeResources() {
    if (titleFont_) DeleteObject(titleFont_);
    if (linkFont_) DeleteObject(linkFont_);
    titleFont_ = linkFont_ = nullptr;
    tooltip_ = nullptr;  // owned by the dialog, destroyed with it
}

bool VersionWindow::ShowSplash() {
    splash_ = true;
    owner_ = nullptr;
    DialogTemplate t(WS_POPUP | DS_MODALFRAME | DS_SETFONT | DS_CENTER, WS_EX_TOOLWINDOW, 240, 70, nullptr, 9,
                     L"MS UI Gothic");
    if (!CreateModelessIndirect(GetModuleHandleW(nullptr), t.get(), nullptr)) return false;
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    UpdateWindow(hwnd());
    return true;
}

void VersionWindow::CloseSplash() {
    if (hwnd()) DestroyWindow(hwnd());
}

void VersionWindow::ShowAbout(HWND owner) {
    splash_ = false;
    owner_ = owner;
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 240, 70,
                     kAboutCaption, 9, L"MS UI Gothic");
    RunModalIndirect(GetModuleHandleW(nullptr), t.get(), owner);
}

HWND VersionWindow::Add(const wchar_t* className, const wchar_t* text, DWORD style, int id, int left, int top,
                        int width, int height, HFONT font) {
    HWND control = CreateWindowExW(0, className, text, WS_CHILD | style, Px(left), Px(top), Px(width), Px(height),
                                   hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void VersionWindow::Center() {
    RECT window, area;
    GetWindowRect(hwnd(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner_ ? owner_ : hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    area = monitor.rcWork;
    if (owner_ && IsWindowVisible(owner_) && !IsIconic(owner_)) GetWindowRect(owner_, &area);
    const int width = window.right - window.left, height = window.bottom - window.top;
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    left = std::clamp<int>(left, monitor.rcWork.left, std::max<int>(monitor.rcWork.left, monitor.rcWork.right - width));
    top = std::clamp<int>(top, monitor.rcWork.top, std::max<int>(monitor.rcWork.top, monitor.rcWork.bottom - height));
    SetWindowPos(hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The splash's parts as the about box's controls draw them: texts on the dialog colour,
// the links in their blue, the etched line, the icon at its own size.
void VersionWindow::PaintSplash(HDC dc) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    DrawIconEx(dc, Px(kIconBox.left), Px(kIconBox.top), icon_, 0, 0, 0, nullptr, DI_NORMAL);
    const UINT format = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
    auto text = [&](const std::wstring& value, const Box& box, HFONT itsFont, COLORREF color) {
        RECT r = ToPixels(box, dpi_);
        SelectObject(dc, itsFont ? itsFont : font);
        SetTextColor(dc, color);
        DrawTextW(dc, value.c_str(), -1, &r, format);
    };
    const COLORREF textColor = GetSysColor(COLOR_WINDOWTEXT);
    text(kProductName, kTitleBox, titleFont_, textColor);
    text(VersionLabel(app_.system.AppVersion), kVersionBox, font, textColor);
    text(kNotice, kNoticeBox, font, textColor);
    for (int i = 0; i < 2; ++i) text(kMailAddresses[i], MailBox(i), linkFont_, kLinkColor);
    RECT line = ToPixels(kLine1Box, dpi_);
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    SelectObject(dc, previousFont);
}

void VersionWindow::SetClientSize(int width, int height) {
    RECT r{0, 0, Px(width), Px(height)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE)));
    SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL VersionWindow::OnInitDialog() {
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (font) GetObjectW(font, sizeof lf, &lf);
    LOGFONTW title = lf;
    title.lfWeight = FW_BOLD;
    title.lfHeight = -MulDiv(12, dpi_, 72);
    titleFont_ = CreateFontIndirectW(&title);
    LOGFONTW link = lf;
    link.lfUnderline = TRUE;
    linkFont_ = CreateFontIndirectW(&link);

    SetClientSize(kClientWidth, kClientHeight);
    Center();

    icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId));
    if (!icon_) icon_ = LoadIconW(nullptr, IDI_APPLICATION);
    // The splash has no controls: it paints its parts itself (WM_PAINT), so that the
    // start-up does not load the common controls that themed child windows bring in.
    if (splash_) return FALSE;
    auto add = [this](const wchar_t* className, const wchar_t* text, DWORD style, int id, const Box& box,
                      HFONT itsFont) { return Add(className, text, style, id, box.left, box.top, box.width, box.height,
                                                  itsFont); };
    HWND image = add(L"STATIC", nullptr, WS_VISIBLE | SS_ICON, kIdIcon, kIconBox, nullptr);
    SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    add(L"STATIC", kProductName, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, -1, kTitleBox, titleFont_);
    add(L"STATIC", VersionLabel(app_.system.AppVersion).c_str(), WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kIdVersion,
        kVersionBox, font);
    add(L"STATIC", kNotice, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, -1, kNoticeBox, font);
    const int lineWidth = kClientWidth - kLineGap - kMargin;
    add(L"STATIC", nullptr, WS_VISIBLE | SS_ETCHEDHORZ, -1, kLine1Box, nullptr);  // Line1
    for (int i = 0; i < 2; ++i)
        add(L"STATIC", kMailAddresses[i], WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, kIdMail + i, MailBox(i),
            linkFont_);
    add(L"BUTTON", L"環境 &>>", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kIdEnvironment, {3060, 1065, 1080, 360},
        font);
    add(L"BUTTON", L"閉じる(&C)", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, kIdClose, {4200, 1065, 1080, 360}, font);
    add(L"STATIC", nullptr, WS_VISIBLE | SS_ETCHEDHORZ, -1, {kMargin, kReportTop - 60, lineWidth, 30}, nullptr);  // Line2
    // Hidden until filled, so the keyboard cannot reach it while it is out of sight.
    add(L"EDIT", nullptr, WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
        kIdReport, {kMargin, kReportTop, kClientWidth - 2 * kMargin, kReportHeight}, font);

    SendMessageW(hwnd(), DM_SETDEFID, kIdClose, 0);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < 2 && tooltip_; ++i) {
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;  // accepted by every version of the control
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(hwnd(), kIdMail + i));
        tool.lpszText = const_cast<wchar_t*>(kMailTip);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SetFocus(GetDlgItem(hwnd(), kIdClose));
    return FALSE;  // the focus is set above
}

void VersionWindow::ShowEnvironment() {
    HWND button = GetDlgItem(hwnd(), kIdEnvironment);
    // The report is built once per opening; the focus leaves the button before it is disabled.
    SetFocus(GetDlgItem(hwnd(), kIdClose));
    SendMessageW(hwnd(), DM_SETDEFID, kIdClose, 0);
    EnableWindow(button, FALSE);

    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    std::wstring report = BuildSystemEnvironmentReport(app_.system);
    SetCursor(previous);
    HWND box = GetDlgItem(hwnd(), kIdReport);
    SetWindowTextW(box, report.c_str());
    ShowWindow(box, SW_SHOWNA);

    SetClientSize(kClientWidth, kReportTop + kReportHeight + kMargin);
    // A window grown past the bottom of its screen moves up so the report can be read.
    RECT window;
    GetWindowRect(hwnd(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor) &&
        window.bottom > monitor.rcWork.bottom) {
        int top = std::max<LONG>(monitor.rcWork.top, window.top - (window.bottom - monitor.rcWork.bottom));
        SetWindowPos(hwnd(), nullptr, window.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void VersionWindow::OpenMail(int index) {
    wchar_t address[256] = {};
    GetDlgItemTextW(hwnd(), kIdMail + index, address, 256);
    std::wstring url = std::wstring(L"mailto:") + address;
    HWND owner = owner_ ? owner_ : hwnd();
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(owner, nullptr, url.c_str(), L"", L"", SW_SHOWNORMAL));
    if (result <= 32) MessageBoxW(hwnd(), kMailFailed, kProductName, MB_OK);
}

INT_PTR VersionWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        if (id == kIdEnvironment && HIWORD(wp) == BN_CLICKED) {
            ShowEnvironment();
            return TRUE;
        }
        if (id == kIdClose || id == IDOK || id == IDCANCEL) {
            if (!splash_) EndDialog(hwnd(), id);
            return TRUE;
        }
        if ((id == kIdMail || id == kIdMail + 1) && HIWORD(wp) == STN_CLICKED && !splash_) {
            OpenMail(id - kIdMail);
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
        if (id == kIdMail || id == kIdMail + 1) {
            auto dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, kLinkColor);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    }
    case WM_SETCURSOR: {
        if (splash_) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wp));
        if (id == kIdMail || id == kIdMail + 1) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    }
    case WM_PAINT:
        if (splash_) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd(), &ps);
            PaintSplash(dc);
            EndPaint(hwnd(), &ps);
            return TRUE;
        }
        break;
    case WM_NCDESTROY:
        FreeResources();
        break;
    }
    return FALSE;
}

}  // namespace hv
