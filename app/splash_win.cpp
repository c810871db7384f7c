#include "app/splash_win.h"

#include "app/system_info.h"
#include "face/face_win.h"

#include <string>

namespace hv {

bool SplashWindow::Create() {
    const int dpi = static_cast<int>(GetDpiForSystem());
    const int width = MulDiv(320, dpi, 96), height = MulDiv(120, dpi, 96);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - width) / 2, y = work.top + (work.bottom - work.top - height) / 2;
    if (!Window::Create(L"HoravoxSplash", L"", WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, x, y, width,
                        height))
        return false;
    SetClassLongPtrW(hwnd(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursorW(nullptr, IDC_WAIT)));
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd());
    return true;
}

LRESULT SplashWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg != WM_PAINT) return Window::HandleMessage(msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const int dpi = WindowDpi(hwnd());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HFONT title = CreateFontW(-MulDiv(20, dpi, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS UI Gothic");
    HFONT body = CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS UI Gothic");
    HGDIOBJ old = SelectObject(dc, title);
    RECT top = client;
    top.bottom = client.bottom / 2 + MulDiv(8, dpi, 96);
    DrawTextW(dc, L"Horavox", -1, &top, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    SelectObject(dc, body);
    std::wstring version = L"時報カレンダー  バージョン " + std::to_wstring(kAppVersionMajor) + L"." +
                           std::to_wstring(kAppVersionMinor) + L"    起動しています...";
    RECT bottom = client;
    bottom.top = top.bottom + MulDiv(8, dpi, 96);
    DrawTextW(dc, version.c_str(), -1, &bottom, DT_CENTER | DT_TOP | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(title);
    DeleteObject(body);
    EndPaint(hwnd(), &ps);
    return 0;
}

}  // namespace hv
