#include "app/main_window_win.h"

#include <string>

#include "alarm/alarm_win.h"

namespace hv {

bool MainWindow::Create(int showCommand) {
    const int dpi = 96;
    const int width = MulDiv(360, dpi, 96), height = MulDiv(233, dpi, 96);
    if (!Window::Create(L"HoravoxMain", L"Horavox", WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT, width,
                        height, nullptr, nullptr, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1))))
        return false;
    app_.alarms->SetMainWindow(hwnd());
    app_.alarms->SetProgramIcon(reinterpret_cast<HICON>(GetClassLongPtrW(hwnd(), GCLP_HICON)));
    tickActions_.SetFace(hwnd());
    tick_.Attach(hwnd());
    tick_.Start();
    ShowWindow(hwnd(), showCommand);
    UpdateWindow(hwnd());
    return true;
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT client;
        GetClientRect(hwnd(), &client);
        Paint(dc, client);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        if (tick_.OnTimer(wp)) return 0;
        break;
    case WM_TIMECHANGE:
        tick_.OnTimeChange();
        return 0;
    case WM_POWERBROADCAST:
        tick_.OnPowerBroadcast(wp);
        return TRUE;
    case WM_DESTROY:
        tick_.Stop();
        app_.alarms->StopAllSounds();
        break;
    }
    return Window::HandleMessage(msg, wp, lp);
}

void MainWindow::Paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t date[64];
    static const wchar_t* const kWeekdays[] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};
    swprintf(date, 64, L"%d年%d月%d日(%ls)", now.wYear, now.wMonth, now.wDay, kWeekdays[now.wDayOfWeek]);
    HFONT font = CreateFontW(-MulDiv(14, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH, L"MS UI Gothic");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT r = client;
    DrawTextW(dc, date, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
}

}  // namespace hv
