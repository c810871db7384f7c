// hvbarewin: the smallest window any tray clock needs (a menu bar, a notification-area
// icon and a 60 s timer) painting itself plainly: the baseline the face benchmark
// measures the program's start-up, memory and repaints against.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT_PTR kTimerId = 1;

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_3DFACE));
        EndPaint(w, &ps);
        return 0;
    }
    case WM_DESTROY: {
        NOTIFYICONDATAW tray{};
        tray.cbSize = sizeof tray;
        tray.hWnd = w;
        tray.uID = 1;
        Shell_NotifyIconW(NIM_DELETE, &tray);
        KillTimer(w, kTimerId);
        PostQuitMessage(0);
        return 0;
    }
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.lpszClassName = L"HvBareWindow";
    RegisterClassW(&wc);

    HMENU bar = CreateMenu(), popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 1, L"Item");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"Menu");
    HWND w = CreateWindowExW(0, wc.lpszClassName, L"HvBare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 360,
                             233, nullptr, bar, instance, nullptr);

    NOTIFYICONDATAW tray{};
    tray.cbSize = sizeof tray;
    tray.hWnd = w;
    tray.uID = 1;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = kTrayMessage;
    tray.hIcon = wc.hIcon;
    lstrcpynW(tray.szTip, L"HvBare", ARRAYSIZE(tray.szTip));
    Shell_NotifyIconW(NIM_ADD, &tray);
    SetTimer(w, kTimerId, 60000, nullptr);

    ShowWindow(w, SW_SHOWNORMAL);
    UpdateWindow(w);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
