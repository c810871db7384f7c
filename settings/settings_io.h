// Loading the settings from the store and saving them back, one group at a time. Each
// operation opens its key, does its reads or writes and closes the key before it returns.
// A key that cannot be opened yields the defaults on reading. A save tells whether its
// whole group was stored (false when the key cannot be created or any value not written:
// access denied, the registry's quota reached), so the caller can tell the user; a save
// that fails part-way writes what it can.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"
#include "settings/settings_store.h"

namespace hv {

// Every field except the window placement. Translucency is read only where the system
// offers it; elsewhere TranslucentRate and Translucent stay 0.
void LoadSettings(SettingsStore& store, Settings& settings, bool translucencyAvailable);

// WindowLeft, WindowTop, WindowWidth and WindowHeight.
void LoadWindowPlacement(SettingsStore& store, Settings& settings);

// Talk, QuietHours, QuietOnFocus and TalkHotkey.
bool SaveAnnounceSettings(SettingsStore& store, const Settings& settings);

// TalkPausedUntil.
bool SaveTalkPause(SettingsStore& store, const Settings& settings);

// Fonts, colours, background and translucency (ImageFile is written even when empty).
bool SaveAppearanceSettings(SettingsStore& store, const Settings& settings);

// The 20 alarms. An alarm entirely at its defaults leaves no value behind.
bool SaveAlarmSettings(SettingsStore& store, const Settings& settings);

// The main window's rectangle in twips, as the window reports it.
struct WindowRectTwips {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

// The placement (skipped while the window is hidden in the notification area, so the
// next start shows it where it was last seen), then Style and the program version.
bool SaveWindowSettings(SettingsStore& store, const Settings& settings, const WindowRectTwips& window,
                        std::uint32_t programVersion);

// The message of a save that failed, naming the group (`what`: "アラーム", "発声方法", ...);
// with what happens next: in a dialog that stays open, or for a save the user did not ask for.
std::wstring SaveFailureText(std::wstring_view what, bool dialogStaysOpen);

}  // namespace hv
