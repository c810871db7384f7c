// Horavx.exe: the program's entry point.
#include <windows.h>

#include <string>

#include "alarm/alarm_win.h"
#include "app/app.h"
#include "app/hvplus_binding_win.h"
#include "app/main_window_win.h"
#include "app/minute_tick_win.h"
#include "settings/registry_store_win.h"
#include "settings/settings_io.h"

namespace {

constexpr wchar_t kErrorTitle[] = L"エラー";

// The program's folder, ending in a backslash (paths of any length).
std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return L".\\";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.find_last_of(L'\\') + 1);
    return hv::WithTrailingBackslash(path);
}

// Platform id and major version decide whether translucency is offered.
void RecordSystemVersion(hv::SystemInfo& system) {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)  // the reported version is all that is needed here
#endif
    if (!GetVersionExW(&version)) return;
    system.IsNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    system.OsMajorVersion = version.dwMajorVersion;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    hv::App app;
    app.system.AppVersion = hv::kAppVersion;
    app.system.AppPath = ProgramFolder();
    RecordSystemVersion(app.system);

    hv::HvplusLibrary hvplus(app.system.AppPath + L"hvplus.dll");
    app.hvplus = &hvplus;
    if (!hvplus.Load()) {
        std::wstring text = L"hvplus.dllを読み込めませんでした。\r\n" + hvplus.path() +
                            L"\r\nHoravoxをインストールし直して下さい。";
        MessageBoxW(nullptr, text.c_str(), kErrorTitle, MB_ICONSTOP | MB_OK);
        return 1;
    }
    if (hvplus.GetDllVersion() != hv::kHvplusVersion) {
        MessageBoxW(nullptr, L"hvplus.dllのバージョンが違います。\r\n正しいバージョンをインストールして下さい。",
                    kErrorTitle, MB_ICONSTOP | MB_OK);
        return 1;
    }

    hv::AlarmActions alarms(app.system.AppPath, [&hvplus](HWND owner, const std::string& command,
                                                          const std::string& logFile) {
        hvplus.Lha(owner, command.c_str(), logFile.c_str());
    });
    app.alarms = &alarms;

    hv::RegistrySettingsStore store;
    hv::LoadSettings(store, app.settings, hv::TranslucencyAvailable(app.system));
    app.calendar = hv::ComputeMonthCalendar(hv::ReadWallClock().date);

    hv::MainWindow main(app);
    if (!main.Create(showCommand)) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (alarms.TranslateDialogMessage(&msg)) continue;  // Enter and Esc on the notification
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
