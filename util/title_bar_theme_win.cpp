#include "util/title_bar_theme_win.h"

#include <dwmapi.h>

namespace hv {

namespace {

// DWMWA_USE_IMMERSIVE_DARK_MODE: 20 since Windows 10 20H1; 19 in the builds of 2019 before it.
constexpr DWORD kDarkModeAttribute = 20;
constexpr DWORD kDarkModeAttributeBefore20H1 = 19;

}  // namespace

bool AppsUseDarkTheme() {
    DWORD light = 1, size = sizeof light;
    return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                        L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size) == ERROR_SUCCESS &&
           light == 0;
}

bool IsThemeChange(UINT msg, LPARAM lp) {
    return msg == WM_SETTINGCHANGE && lp != 0 && lstrcmpiW(reinterpret_cast<const wchar_t*>(lp), L"ImmersiveColorSet") == 0;
}

void TitleBarTheme::Follow(HWND window) {
    const bool dark = AppsUseDarkTheme();
    if (dark == dark_ || !window) return;
    const BOOL value = dark ? TRUE : FALSE;
    if (FAILED(DwmSetWindowAttribute(window, kDarkModeAttribute, &value, sizeof value)) &&
        FAILED(DwmSetWindowAttribute(window, kDarkModeAttributeBefore20H1, &value, sizeof value)))
        return;  // a system without dark title bars: it stays light, and is asked again next time
    dark_ = dark;
}

}  // namespace hv
