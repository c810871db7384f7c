// The announcement dialog's working copies and its rules, without the dialog: what it
// shows for the stored settings, which input it takes, and what OK stores.
#pragma once

#include <string>

#include "settings/settings.h"
#include "util/time_field.h"

namespace hv {

inline constexpr int kTimingOptionCount = 7;  // "(なし)" .. "定刻(&K):"
inline constexpr int kFixedTimingOption = 6;  // "定刻(&K):", the one with the hour and minute
inline constexpr int kMaxTalkSpeed = 15;

struct AnnounceChoices {
    int timing = 1;  // AnnounceTiming; 7..15 can be stored and are kept until the user picks
    int hour = 0;
    int minute = 0;
    bool clock24 = false;
    int speed = 2;
    // Quiet hours and the focus rule.
    bool quiet = false;
    int quietFromHour = 22;
    int quietFromMinute = 0;
    int quietToHour = 7;
    int quietToMinute = 0;
    bool quietOnFocus = true;
    // The key that speaks the time (Settings::TalkHotkey).
    int hotkey = 0x0654;

    bool operator==(const AnnounceChoices&) const = default;
};

AnnounceChoices ChoicesFrom(const Settings& settings);
// OK: the values into the settings (the tick uses them from its next minute).
void ApplyChoices(const AnnounceChoices& choices, Settings& settings);

// Quiet hours on with the same start and end: a range that holds no minute (the tick then
// speaks all day). OK refuses it, so the check box never promises a quiet time that never comes.
inline bool QuietRangeEmpty(const AnnounceChoices& c) {
    return c.quiet && c.quietFromHour == c.quietToHour && c.quietFromMinute == c.quietToMinute;
}

// The timing option that shows `timing` selected; -1 (none) for a value no option has.
int TimingOption(int timing);
// The hour and minute boxes take input only for the fixed time.
inline bool FixedTimeEnabled(int timing) { return timing == kFixedTimingOption; }

}  // namespace hv
