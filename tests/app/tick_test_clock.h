// Wall-clock readings for the minute tick's tests, and milliseconds since 1970 (local) for
// clocks that the tests run or shift.
#pragma once

#include "app/tick_schedule.h"

namespace hv::test {

inline WallClock At(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
    return {{y, mo, d}, h, mi, s, ms};
}
// A reading on Monday 2026-12-07.
inline WallClock On7th(int h, int mi, int s = 0, int ms = 0) { return At(2026, 12, 7, h, mi, s, ms); }

inline long long MsOf(const WallClock& c) { return MinuteNumber(c) * 60000 + c.second * 1000 + c.millisecond; }
inline WallClock ClockAt(long long ms) {
    long long minute = ms / 60000 - (ms % 60000 < 0 ? 1 : 0);
    WallClock c = WallClockOfMinute(minute);
    c.second = static_cast<int>((ms - minute * 60000) / 1000);
    c.millisecond = static_cast<int>((ms - minute * 60000) % 1000);
    return c;
}

}  // namespace hv::test
