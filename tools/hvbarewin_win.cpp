// hvbarewin: the smallest window any tray clock needs (a menu bar, a notification-area
// icon and a 60 s timer) painting itself plainly: the baseline the face benchmark
// measures the program's start-up, memory and repaints against.
//   hvbarewin        the window filled with one colour (title "HvBare")
//   hvbarewin grid   the floor of any calendar window: the same window, its menu in Japanese,
//                    drawing this month's grid (weekday row and days) in the face's default
//                    fonts, made once (title "HvGrid")
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT_PTR kTimerId = 1;

// The face's default fonts: weekday row Arial 15 pt, days Times New Roman 24 pt.
HFONT gHeaderFont = nullptr;
HFONT gDayFont = nullptr;

HFONT MakeFont(const wchar_t* face, int points, int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

void DrawGrid(HWND w, HDC dc) {
    RECT client;
    GetClientRect(w, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int firstColumn = (now.wDayOfWeek - (now.wDay - 1) % 7 + 7) % 7;  // 0 = Sunday
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = now.wYear % 4 == 0 && (now.wYear % 100 != 0 || now.wYear % 400 == 0);
    const int days = kDays[now.wMonth - 1] + (now.wMonth == 2 && leap);
    static constexpr const wchar_t* kWeekdays[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    SetBkMode(dc, TRANSPARENT);
    const int cell = client.right / 7;
    HGDIOBJ previous = SelectObject(dc, gHeaderFont);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    const int top = metrics.tmHeight;
    for (int i = 0; i < 7; ++i) TextOutW(dc, i * cell + 2, 0, kWeekdays[i], 3);
    SelectObject(dc, gDayFont);
    GetTextMetricsW(dc, &metrics);
    for (int day = 1; day <= days; ++day) {
        const int slot = firstColumn + day - 1;
        const wchar_t text[3] = {static_cast<wchar_t>(day < 10 ? L' ' : L'0' + day / 10),
                                 static_cast<wchar_t>(L'0' + day % 10)};
        SetTextColor(dc, slot % 7 == 0 ? RGB(255, 0, 0) : RGB(0, 0, 128));
        TextOutW(dc, (slot % 7) * cell + 2, top + (slot / 7) * metrics.tmHeight, text, 2);
    }
    SelectObject(dc, previous);
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        if (gDayFont) {
            DrawGrid(w, dc);
        } else {
            FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_3DFACE));
        }
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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    const bool grid = lstrcmpiW(arguments, L"grid") == 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.lpszClassName = L"HvBareWindow";
    RegisterClassW(&wc);

    HMENU bar = CreateMenu(), popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 1, L"Item");
    // A Japanese calendar's menu bar is in Japanese: the grid pays for the Japanese font too.
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), grid ? L"設定(&S)" : L"Menu");
    const wchar_t* title = grid ? L"HvGrid" : L"HvBare";
    HWND w = CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 360,
                             233, nullptr, bar, instance, nullptr);

    NOTIFYICONDATAW tray{};
    tray.cbSize = sizeof tray;
    tray.hWnd = w;
    tray.uID = 1;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = kTrayMessage;
    tray.hIcon = wc.hIcon;
    lstrcpynW(tray.szTip, title, ARRAYSIZE(tray.szTip));
    Shell_NotifyIconW(NIM_ADD, &tray);
    SetTimer(w, kTimerId, 60000, nullptr);
    if (grid) {
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        gHeaderFont = MakeFont(L"Arial", 15, dpi);
        gDayFont = MakeFont(L"Times New Roman", 24, dpi);
    }

    ShowWindow(w, SW_SHOWNORMAL);
    UpdateWindow(w);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
