// The announcement dialog's working copies and its rules, without the dialog: what it
// shows for the stored settings, which input it takes, and what OK stores.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace hv {

inline constexpr int kTimingOptionCount = 7;  // "(なし)" .. "定刻(&K):"
inline constexpr int kFixedTimingOption = 6;  // "定刻(&K):", the one with the hour and minute
inline constexpr int kMaxHour = 23;
inline constexpr int kMaxMinute = 59;
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

    bool operator==(const AnnounceChoices&) const = default;
};

AnnounceChoices ChoicesFrom(const Settings& settings);
// OK: the values into the settings (the tick uses them from its next minute).
void ApplyChoices(const AnnounceChoices& choices, Settings& settings);

// The timing option that shows `timing` selected; -1 (none) for a value no option has.
int TimingOption(int timing);
// The hour and minute boxes take input only for the fixed time.
inline bool FixedTimeEnabled(int timing) { return timing == kFixedTimingOption; }

// A box of the fixed time read as the dialog takes it: a number (ASCII or full-width
// digits, sign, fraction, exponent, spaces around) rounded to the nearest whole number,
// halves to the even one, as a 16-bit value; then within 0..maximum. Nothing for text that
// is not such a number or lies outside the range.
std::optional<int> ReadTimeField(std::wstring_view text, int maximum);

// The text a spinner's box shows: the plain decimal number.
inline std::wstring TimeFieldText(int value) { return std::to_wstring(value); }

// "HH:MM" of the given time of day: what the test button speaks.
std::string SpokenTimeText(int hour, int minute);

}  // namespace hv
