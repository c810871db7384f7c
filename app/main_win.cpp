// Horavx.exe: the program's entry point.
#include <windows.h>

#include <string>

#include "app/app.h"
#include "app/hvplus_binding_win.h"
#include "app/main_window_win.h"

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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    hv::App app;
    app.system.AppVersion = hv::kAppVersion;
    app.system.AppPath = ProgramFolder();

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

    hv::MainWindow main(app);
    if (!main.Create(showCommand)) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
