// Horavx.exe: the program's entry point and start-up.
#include <windows.h>
#include <sddl.h>

#include <memory>
#include <string>

#include "alarm/alarm_win.h"
#include "app/app.h"
#include "app/autostart.h"
#include "app/main_menu.h"
#include "app/main_window_win.h"
#include "app/minute_tick_win.h"
#include "face/month_calendar.h"
#include "hv_version.h"
#include "hvplus/hvplus_binding_win.h"
#include "hvplus/module_paths_win.h"
#include "hvplus/safe_load_win.h"
#include "settings/migration.h"
#include "settings/registry_store_win.h"
#include "settings/settings_io.h"
#include "util/version_window_win.h"

// The version the program reports (the about box, the stored Version) and the one its
// resources and packages carry are one.
static_assert(hv::kAppVersionMajor == HV_VERSION_MAJOR && hv::kAppVersionMinor == HV_VERSION_MINOR,
              "util/system_info.h and project(VERSION) name different versions");

namespace {

constexpr wchar_t kErrorTitle[] = L"エラー";

// The user's SID as text, so that the instance check sees every session of this user
// (and no other user's copy).
std::wstring UserSid() {
    std::wstring sid = L"unknown";
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return sid;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        LPWSTR text = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
            sid = text;
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return sid;
}

// Held for the whole run; a second start finds it. Null when another instance runs.
HANDLE ClaimSingleInstance() {
    std::wstring name = L"Global\\Kelvane.Horavox." + UserSid();
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex) {
        // The global namespace refused (a restricted session): this session's will do.
        name = L"Local\\Kelvane.Horavox." + UserSid();
        mutex = CreateMutexW(nullptr, FALSE, name.c_str());
        if (!mutex) return GetLastError() == ERROR_ACCESS_DENIED ? nullptr : INVALID_HANDLE_VALUE;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return nullptr;
    }
    return mutex;
}

// The running instance's main window comes forward (from the notification area too), so that
// starting the program again always finds it.
void BringRunningInstanceForward() {
    HWND running = FindWindowW(hv::kMainWindowClass, nullptr);
    if (!running) return;  // still starting: its window is not made yet
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    PostMessageW(running, RegisterWindowMessageW(hv::kBringForwardMessage), 0, 0);
}

void RecordOsVersion(hv::SystemInfo& info) {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)  // the version the program reports is what the manifest allows
#endif
    if (GetVersionExW(&version)) {
        info.IsNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
        info.OsMajorVersion = version.dwMajorVersion;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    hv::RestrictLibrarySearch();

    // Refusals come before any window and before the registry is touched.
    HANDLE instance = ClaimSingleInstance();
    if (!instance) {
        MessageBoxW(nullptr, L"既に起動されています", kErrorTitle, MB_ICONSTOP | MB_OK);
        BringRunningInstanceForward();
        return 1;
    }

    hv::App app;
    app.system.AppVersion = hv::kAppVersion;
    const std::wstring programFolder = hv::ProgramFolderOf();
    app.system.AppPath = programFolder.empty() ? L".\\" : programFolder;

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

    HCURSOR previousCursor = SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));

    // The version window is the splash; the system facts it shows are recorded while it is up.
    // Starting with Windows it stays away: it would cost a sixth of the start-up, when every
    // program of the logon starts at once, and show over what the user opens first.
    auto splash = std::make_unique<hv::VersionWindow>(app.system);
    if (!hv::StartedWithWindows(GetCommandLineW())) splash->ShowSplash();

    RecordOsVersion(app.system);
    app.system.SystemDirectory = hv::WithTrailingBackslash(hv::SystemFolderOf());

    hv::RegistrySettingsStore store;
    app.store = &store;
    {
        hv::RegistryOldSettingsStore oldStore;
        hv::MessageBoxPrompt prompt(splash->hwnd());
        hv::MigratePreviousSettings(store, oldStore, prompt);
    }
    hv::LoadSettings(store, app.settings, hv::TranslucencyAvailable(app.system));
    app.calendarDate = hv::ReadWallClock().date;
    app.calendar = hv::ComputeMonthCalendar(app.calendarDate);

    hv::AlarmActions alarms(app.system.AppPath, [&hvplus](HWND owner, const std::string& command,
                                                          const std::string& logFile) {
        hvplus.Lha(owner, command.c_str(), logFile.c_str());
    });
    app.alarms = &alarms;
    int result = 1;
    {
        hv::MainWindow main(app);
        const bool created = main.Create([&splash] { splash->CloseSplash(); });
        splash.reset();
        SetCursor(previousCursor);
        if (created) {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (hv::Form::RouteDialogMessage(&msg)) continue;  // keys of the modeless dialogs
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            result = static_cast<int>(msg.wParam);
        }
    }
    if (instance != INVALID_HANDLE_VALUE) CloseHandle(instance);
    return result;
}
