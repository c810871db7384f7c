// Test-only program that shows the version window for screenshots:
//   hvverinfo_demo.exe about|environment|splash [milliseconds]
// "environment" presses the environment button once the window shows. The window
// closes by itself after the given time (default 8000 ms).
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <thread>

#include "app/app.h"
#include "util/version_window_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring mode = argc > 1 ? argv[1] : L"about";
    const int ms = argc > 2 ? _wtoi(argv[2]) : 8000;

    hv::App app;
    app.system.AppVersion = hv::kAppVersion;
    app.system.IsNT = true;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    app.system.AppPath = std::wstring(path).substr(0, std::wstring(path).find_last_of(L'\\') + 1);
    GetSystemDirectoryW(path, MAX_PATH);
    app.system.SystemDirectory = hv::WithTrailingBackslash(path);

    hv::VersionWindow window(app);
    if (mode == L"splash") {
        if (!window.ShowSplash()) return 1;
        const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
        MSG msg;
        while (GetTickCount() < end) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(20);
        }
        window.CloseSplash();
        return 0;
    }
    const DWORD uiThread = GetCurrentThreadId();
    std::thread driver([&] {
        HWND dialog = nullptr;
        for (int i = 0; i < 500 && !dialog; ++i) {
            Sleep(20);
            dialog = FindWindowW(nullptr, hv::VersionWindow::kAboutCaption);
        }
        if (!dialog) return;
        if (mode == L"environment") {
            Sleep(300);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(hv::VersionWindow::kIdEnvironment, BN_CLICKED), 0);
        }
        Sleep(static_cast<DWORD>(ms));
        PostThreadMessageW(uiThread, WM_NULL, 0, 0);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(hv::VersionWindow::kIdClose, BN_CLICKED), 0);
    });
    window.ShowAbout(nullptr);
    driver.join();
    LocalFree(argv);
    return 0;
}
