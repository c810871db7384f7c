// hvcontrastface: the main window as it looks in a dark high-contrast theme, for screenshots
// (scripts/face-shots). Wine cannot switch high contrast on, so this sets such a theme's
// colours, opens the real main window over the stored settings with its face told that high
// contrast is on, and after the given milliseconds closes it and puts the colours back.
//   hvcontrastface.exe [MS]   (default 6000)
#include <windows.h>

#include <cwchar>

#include "app/app.h"
#include "app/main_window_win.h"
#include "app/minute_tick_win.h"
#include "face/month_calendar.h"
#include "hvplus/hvplus_binding_win.h"
#include "settings/registry_store_win.h"
#include "settings/settings_io.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
    const UINT ms = args && *args ? static_cast<UINT>(std::wcstoul(args, nullptr, 10)) : 6000;
    const INT elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HOTLIGHT};
    const COLORREF theme[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(26, 235, 255), RGB(255, 255, 0)};
    COLORREF saved[4];
    for (int i = 0; i < 4; ++i) saved[i] = GetSysColor(elements[i]);
    SetSysColors(4, elements, theme);

    OleInitialize(nullptr);
    hv::App app;
    app.system.AppVersion = hv::kAppVersion;
    app.system.IsNT = true;
    app.system.OsMajorVersion = 10;
    hv::HvplusLibrary& hvplus = hv::HvplusLibrary::BesideProgram();
    if (hvplus.Load()) app.hvplus = &hvplus;
    hv::RegistrySettingsStore store;
    app.store = &store;
    hv::LoadSettings(store, app.settings, true);
    app.calendarDate = hv::ReadWallClock().date;
    app.calendar = hv::ComputeMonthCalendar(app.calendarDate);
    {
        hv::MainWindow window(app);
        if (window.Create()) {
            window.face().SetHighContrast(true);
            InvalidateRect(window.hwnd(), nullptr, FALSE);
            SetTimer(nullptr, 0, ms, nullptr);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (msg.message == WM_TIMER && !msg.hwnd) break;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            window.StopTick();
            DestroyWindow(window.hwnd());
        }
    }
    SetSysColors(4, elements, saved);
    OleUninitialize();
    return 0;
}
