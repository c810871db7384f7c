// When the minute tick runs: the timer is armed from the wall clock for each next minute
// boundary, and a record of the minute handled last makes every minute count at most once.
// Portable: the caller reads the clock (GetLocalTime at the Win32 boundary) and passes it in.
#pragma once

#include "face/civil_date.h"

namespace hv {

// A reading of the local wall clock.
struct WallClock {
    Date date;
    int hour = 0;         // 0..23
    int minute = 0;       // 0..59
    int second = 0;       // 0..59
    int millisecond = 0;  // 0..999
};

// Minutes since 1970-01-01 00:00 local time (negative before): one number per wall-clock
// minute, so "the next minute" and "how many minutes passed" survive midnight and month ends.
long long MinuteNumber(const WallClock& clock);
// The start of minute number `minute` (seconds and milliseconds 0).
WallClock WallClockOfMinute(long long minute);
// Milliseconds from `clock` to the start of the next minute, 1..60000.
int MsToNextMinute(const WallClock& clock);

// A run of consecutive minutes to handle now, oldest first; empty when last < first.
struct MinuteRange {
    long long first = 0;
    long long last = -1;
    bool empty() const { return last < first; }
    long long count() const { return empty() ? 0 : last - first + 1; }
};

// A tick that comes this many minutes after the last handled one (the thread was busy)
// still handles the minutes it missed; a longer gap means the clock jumped or the machine
// slept without telling us, and the minutes in between are dropped.
inline constexpr long long kMaxCatchUpMinutes = 5;

class TickSchedule {
public:
    // The timer starts or restarts (start-up, a settings dialog closed, resume from sleep):
    // the minute under way and every minute before it count as handled, so nothing fires
    // at once and nothing that passed meanwhile is replayed.
    void Restart(const WallClock& now);

    // The system clock was set. A step within the minute, or onto the next one, keeps the
    // schedule (the next minute is still handled once); a jump further forward or any step
    // back starts afresh from the new minute, which then counts as handled.
    void ClockSet(const WallClock& now);

    // The timer fired: the minutes to handle now, which from then on count as handled.
    // Empty when it fired early (still in the minute handled last) or never restarted.
    MinuteRange Take(const WallClock& now);

    // The minutes before the one under way count as handled; that one stays due when it is
    // past the minute handled last (a timer that fires after a sleep the program was not
    // told the end of: the machine is awake, but what it slept through is not replayed).
    void SkipMissed(const WallClock& now);

    // Whether a minute is due that Take would hand out now.
    bool Pending(const WallClock& now) const;

    // The delay to arm the timer with: at once when a minute is pending, else the next boundary.
    int DelayMs(const WallClock& now) const;

    bool started() const { return started_; }
    long long lastHandled() const { return lastHandled_; }

private:
    bool started_ = false;
    long long lastHandled_ = 0;
};

}  // namespace hv
