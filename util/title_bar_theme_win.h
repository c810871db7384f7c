// Dark title bars when the user has set apps to dark (Personalisation > Colours): the main
// window and the alarm's notice follow the choice, also when it changes while they are open.
#pragma once

#include <windows.h>

namespace hv {

// Whether the user's apps are set to dark (HKCU\...\Themes\Personalize, AppsUseLightTheme = 0).
// Light when the value is missing (before Windows 10 1809 there is no choice).
bool AppsUseDarkTheme();

// WM_SETTINGCHANGE as the apps' theme changes (its text is "ImmersiveColorSet").
bool IsThemeChange(UINT msg, LPARAM lp);

// The title bar of one window, kept as the apps' theme is.
class TitleBarTheme {
public:
    // Sets the title bar dark or light when the theme differs from what the window has: a window
    // always in the light theme never loads the desktop window manager's library (dwmapi.dll is
    // imported late), so a start in the light theme does not pay for it.
    void Follow(HWND window);

private:
    bool dark_ = false;  // windows are made light
};

}  // namespace hv
