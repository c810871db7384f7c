#include "app/tick_schedule.h"

namespace hv {

namespace {

constexpr long long kMinutesPerDay = 24 * 60;

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

long long MinuteNumber(const WallClock& clock) {
    return DayNumber(clock.date) * kMinutesPerDay + clock.hour * 60 + clock.minute;
}

WallClock WallClockOfMinute(long long minute) {
    long long day = FloorDiv(minute, kMinutesPerDay);
    long long ofDay = minute - day * kMinutesPerDay;
    WallClock clock;
    clock.date = DateFromDayNumber(day);
    clock.hour = static_cast<int>(ofDay / 60);
    clock.minute = static_cast<int>(ofDay % 60);
    return clock;
}

int MsToNextMinute(const WallClock& clock) {
    int intoMinute = clock.second * 1000 + clock.millisecond;
    // A leap second (:60) or a reading past the minute's end still waits a little, never
    // arms for zero or a negative delay.
    if (intoMinute >= 60000) return 1;
    return 60000 - intoMinute;
}

void TickSchedule::Restart(const WallClock& now) {
    started_ = true;
    lastHandled_ = MinuteNumber(now);
}

void TickSchedule::ClockSet(const WallClock& now) {
    if (!started_) return;
    long long gap = MinuteNumber(now) - lastHandled_;
    // gap 0: still in the handled minute. gap 1: the minute that is due anyway (a small
    // correction across the boundary, or the tick is about to come); it is handled once.
    if (gap < 0 || gap > 1) lastHandled_ = MinuteNumber(now);
}

MinuteRange TickSchedule::Take(const WallClock& now) {
    MinuteRange range;
    if (!started_) return range;
    long long current = MinuteNumber(now);
    long long gap = current - lastHandled_;
    if (gap <= 0) {
        // Early (the timer came a little before the boundary), or the clock went back
        // without a notice: from here on, the minutes after this one are due.
        if (gap < 0) lastHandled_ = current;
        return range;
    }
    range.last = current;
    range.first = gap <= kMaxCatchUpMinutes ? lastHandled_ + 1 : current;
    lastHandled_ = current;
    return range;
}

void TickSchedule::SkipMissed(const WallClock& now) {
    if (started_ && MinuteNumber(now) - 1 > lastHandled_) lastHandled_ = MinuteNumber(now) - 1;
}

bool TickSchedule::Pending(const WallClock& now) const { return started_ && MinuteNumber(now) > lastHandled_; }

int TickSchedule::DelayMs(const WallClock& now) const { return Pending(now) ? 0 : MsToNextMinute(now); }

}  // namespace hv
