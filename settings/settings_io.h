// Loading the settings from the store and saving them back, one group at a time. Each
// operation opens its key, does its reads or writes and closes the key before it returns;
// none reports a failure: a key that cannot be opened yields the defaults on reading and
// writes nothing on saving.
#pragma once

#include <cstdint>

#include "settings/settings.h"
#include "settings/settings_store.h"

namespace hv {

// Every field except the window placement. Translucency is read only where the system
// offers it; elsewhere TranslucentRate and Translucent stay 0.
void LoadSettings(SettingsStore& store, Settings& settings, bool translucencyAvailable);

// WindowLeft, WindowTop, WindowWidth and WindowHeight.
void LoadWindowPlacement(SettingsStore& store, Settings& settings);

// Talk, QuietHours and QuietOnFocus.
void SaveAnnounceSettings(SettingsStore& store, const Settings& settings);

// Fonts, colours, background and translucency (ImageFile is written even when empty).
void SaveAppearanceSettings(SettingsStore& store, const Settings& settings);

// The 20 alarms. An alarm entirely at its defaults leaves no value behind.
void SaveAlarmSettings(SettingsStore& store, const Settings& settings);

// The main window's rectangle in twips, as the window reports it.
struct WindowRectTwips {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

// The placement (skipped while the window is hidden in the notification area, so the
// next start shows it where it was last seen), then Style and the program version.
void SaveWindowSettings(SettingsStore& store, const Settings& settings, const WindowRectTwips& window,
                        std::uint32_t programVersion);

}  // namespace hv
