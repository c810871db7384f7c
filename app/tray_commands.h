// The rules behind the notification-area menu, decided without the system: how long a pause
// of the announcements lasts, when a timer ends and how much of it is left, the tooltip.
// Portable: the Win32 layer reads the clock and passes it in.
#pragma once

#include <cstdint>
#include <string>

#include "app/tick_schedule.h"
#include "settings/settings.h"
#include "util/hotkey_text.h"

namespace hv {

// The pause menu's choices.
enum class PauseChoice { HalfHour, Hour, Morning, Resume };

// The minute (MinuteNumber) up to which a pause chosen at `now` lasts; 0 for Resume.
// Morning is the end of the quiet hours when they are on, 7:00 when they are off: its next
// occurrence after the minute under way (at 2:00 the same morning, at 7:00 the next).
std::uint32_t PauseUntil(PauseChoice choice, const Settings& settings, const WallClock& now);

// A time of day as the tooltip shows it: "7:05", the hour without a leading zero.
std::wstring ClockText(int hour, int minute);

// Whether the announcements are paused in minute `minute`.
bool TalkPaused(const Settings& settings, long long minute);

// Milliseconds of the local wall clock since 1970-01-01 00:00, and back.
long long WallClockMs(const WallClock& clock);
WallClock WallClockOfMs(long long ms);

// The seconds to show of a timer with `msLeft` milliseconds left: rounded up, so that it
// shows 3:00 at its start and 0:01 in its last second; 0 once it has ended.
long long SecondsToShow(long long msLeft);
// The wait until the shown seconds change next (1..1000 ms); 0 once the timer has ended.
int MsToNextSecond(long long msLeft);

// The lines of the notification-area icon's tooltip (at most 127 characters): the program's
// name, then the pause ("発声停止中: 7:00 まで", another day named "明日" or by its date),
// then a running timer ("タイマー: 残り 2:59 (23:59 に終了)"; `timerMsLeft` < 0: no timer),
// then `nextAlarm` (the next alarm's line as the alarms tell it; "" none), and last a hotkey
// Windows refused (`refusedHotkey`, "" when none was).
std::wstring ComposeTalkTrayTip(const Settings& settings, const WallClock& now, long long timerMsLeft,
                                const std::wstring& refusedHotkey = L"", const std::wstring& nextAlarm = L"");

}  // namespace hv
