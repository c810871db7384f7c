// The minute schedule against a simulated wall clock: timer callbacks early, late and
// twice in a minute, a busy thread, the clock set back and forward, midnight, month ends,
// resume after hours.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/tick_schedule.h"

namespace hv {
namespace {

WallClock At(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
    WallClock c;
    c.date = {y, mo, d};
    c.hour = h;
    c.minute = mi;
    c.second = s;
    c.millisecond = ms;
    return c;
}

// Milliseconds since 1970-01-01 00:00 local, and back: the simulation's clock.
long long Ms(const WallClock& c) { return MinuteNumber(c) * 60000 + c.second * 1000 + c.millisecond; }
WallClock FromMs(long long ms) {
    long long minute = ms >= 0 ? ms / 60000 : -((-ms + 59999) / 60000);
    WallClock c = WallClockOfMinute(minute);
    long long rest = ms - minute * 60000;
    c.second = static_cast<int>(rest / 1000);
    c.millisecond = static_cast<int>(rest % 1000);
    return c;
}

TEST(MinuteNumbers, CountOnAcrossMidnightMonthAndYearEndsAndLeapDays) {
    struct Step {
        WallClock before, after;
    } steps[] = {
        {At(2026, 12, 7, 23, 59), At(2026, 12, 8, 0, 0)},
        {At(2027, 1, 31, 23, 59), At(2027, 2, 1, 0, 0)},
        {At(2027, 2, 28, 23, 59), At(2027, 3, 1, 0, 0)},
        {At(2028, 2, 28, 23, 59), At(2028, 2, 29, 0, 0)},
        {At(2026, 12, 31, 23, 59), At(2027, 1, 1, 0, 0)},
        {At(1969, 12, 31, 23, 59), At(1970, 1, 1, 0, 0)},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(MinuteNumber(s.after), MinuteNumber(s.before) + 1);
        WallClock back = WallClockOfMinute(MinuteNumber(s.before));
        EXPECT_EQ(back.date, s.before.date);
        EXPECT_EQ(back.hour, 23);
        EXPECT_EQ(back.minute, 59);
    }
}

TEST(MinuteNumbers, DelayReachesTheNextBoundaryAndIsNeverZero) {
    EXPECT_EQ(MsToNextMinute(At(2026, 12, 7, 8, 0, 0, 0)), 60000);
    EXPECT_EQ(MsToNextMinute(At(2026, 12, 7, 7, 59, 30, 500)), 29500);
    EXPECT_EQ(MsToNextMinute(At(2026, 12, 7, 7, 59, 59, 999)), 1);
    EXPECT_EQ(MsToNextMinute(At(2026, 12, 7, 23, 59, 60, 200)), 1);  // a leap second reading
}

TEST(TickSchedule, HandlesNothingAtStartAndTheNextMinuteOnceWhateverTheTimerDoes) {
    TickSchedule schedule;
    EXPECT_TRUE(schedule.Take(At(2026, 12, 7, 8, 0, 1)).empty()) << "never started";
    schedule.Restart(At(2026, 12, 7, 7, 59, 30, 500));
    EXPECT_FALSE(schedule.Pending(At(2026, 12, 7, 7, 59, 31)));
    EXPECT_EQ(schedule.DelayMs(At(2026, 12, 7, 7, 59, 30, 500)), 29500);

    // A callback a few milliseconds early finds the old minute: nothing, and a short re-arm.
    EXPECT_TRUE(schedule.Take(At(2026, 12, 7, 7, 59, 59, 990)).empty());
    EXPECT_EQ(schedule.DelayMs(At(2026, 12, 7, 7, 59, 59, 990)), 10);

    MinuteRange first = schedule.Take(At(2026, 12, 7, 8, 0, 0, 3));
    ASSERT_EQ(first.count(), 1);
    EXPECT_EQ(first.first, MinuteNumber(At(2026, 12, 7, 8, 0)));
    // A second callback in the same minute handles nothing more.
    EXPECT_TRUE(schedule.Take(At(2026, 12, 7, 8, 0, 30)).empty());
    EXPECT_TRUE(schedule.Take(At(2026, 12, 7, 8, 0, 59, 999)).empty());

    // A callback late by most of a minute still handles the minute it falls in.
    MinuteRange late = schedule.Take(At(2026, 12, 7, 8, 1, 45));
    ASSERT_EQ(late.count(), 1);
    EXPECT_EQ(late.first, MinuteNumber(At(2026, 12, 7, 8, 1)));
}

TEST(TickSchedule, CatchesUpMinutesABusyThreadMissedButNotLongGaps) {
    TickSchedule schedule;
    schedule.Restart(At(2026, 12, 7, 8, 0, 10));
    // The thread was busy (a message box inside an alarm) past two boundaries.
    EXPECT_TRUE(schedule.Pending(At(2026, 12, 7, 8, 2, 5)));
    EXPECT_EQ(schedule.DelayMs(At(2026, 12, 7, 8, 2, 5)), 0);
    MinuteRange range = schedule.Take(At(2026, 12, 7, 8, 2, 5));
    EXPECT_EQ(range.first, MinuteNumber(At(2026, 12, 7, 8, 1)));
    EXPECT_EQ(range.last, MinuteNumber(At(2026, 12, 7, 8, 2)));

    // Beyond the catch-up limit the clock jumped without notice: only the current minute.
    range = schedule.Take(At(2026, 12, 7, 8, 2 + kMaxCatchUpMinutes + 1, 1));
    EXPECT_EQ(range.count(), 1);
    EXPECT_EQ(range.first, MinuteNumber(At(2026, 12, 7, 8, 2 + kMaxCatchUpMinutes + 1)));
}

TEST(TickSchedule, ClockSetBackOrFarForwardStartsAfreshWithoutReplaying) {
    TickSchedule schedule;
    schedule.Restart(At(2026, 12, 7, 9, 0, 10));

    // Back an hour: 08:00 .. 09:00 come round again and are each handled once more.
    schedule.ClockSet(At(2026, 12, 7, 8, 0, 30));
    EXPECT_FALSE(schedule.Pending(At(2026, 12, 7, 8, 0, 40)));
    EXPECT_EQ(schedule.Take(At(2026, 12, 7, 8, 1, 0, 2)).first, MinuteNumber(At(2026, 12, 7, 8, 1)));

    // Forward three hours: none of the skipped minutes, not even the one set into.
    schedule.ClockSet(At(2026, 12, 7, 11, 1, 30));
    EXPECT_TRUE(schedule.Take(At(2026, 12, 7, 11, 1, 31)).empty());
    EXPECT_EQ(schedule.Take(At(2026, 12, 7, 11, 2, 0, 1)).count(), 1);

    // Back without a notice (the timer sees it first): nothing now, the next minute later.
    EXPECT_TRUE(schedule.Take(At(2026, 12, 7, 10, 0, 0, 5)).empty());
    EXPECT_EQ(schedule.Take(At(2026, 12, 7, 10, 1, 0, 5)).first, MinuteNumber(At(2026, 12, 7, 10, 1)));
}

TEST(TickSchedule, ASmallCorrectionAcrossTheBoundaryKeepsThatMinute) {
    TickSchedule schedule;
    schedule.Restart(At(2026, 12, 7, 8, 0, 10));
    // A time service nudges the clock just as the boundary passes: 08:01 is still due.
    schedule.ClockSet(At(2026, 12, 7, 8, 1, 0, 40));
    EXPECT_TRUE(schedule.Pending(At(2026, 12, 7, 8, 1, 0, 40)));
    EXPECT_EQ(schedule.DelayMs(At(2026, 12, 7, 8, 1, 0, 40)), 0);
    EXPECT_EQ(schedule.Take(At(2026, 12, 7, 8, 1, 0, 60)).count(), 1);
    // A nudge within the handled minute changes nothing.
    schedule.ClockSet(At(2026, 12, 7, 8, 1, 10));
    EXPECT_FALSE(schedule.Pending(At(2026, 12, 7, 8, 1, 10)));
}

TEST(TickSchedule, RestartAfterHoursAsleepDoesNotReplay) {
    TickSchedule schedule;
    schedule.Restart(At(2027, 1, 31, 23, 58, 10));
    EXPECT_EQ(schedule.Take(At(2027, 1, 31, 23, 59, 0, 2)).count(), 1);
    // Asleep overnight, into the next month; the resume restarts the schedule.
    schedule.Restart(At(2027, 2, 1, 7, 12, 40));
    EXPECT_TRUE(schedule.Take(At(2027, 2, 1, 7, 12, 41)).empty());
    MinuteRange next = schedule.Take(At(2027, 2, 1, 7, 13, 0, 2));
    EXPECT_EQ(next.count(), 1);
    EXPECT_EQ(next.first, MinuteNumber(At(2027, 2, 1, 7, 13)));
}

// A timer that fires after the armed delay plus jitter (occasionally early by a few
// milliseconds, sometimes very late) over six hours across midnight: every minute is handled
// exactly once, in order, each within the lateness of its callback.
TEST(TickSchedule, SimulatedTimerHandlesEveryMinuteExactlyOnce) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> jitter(-3, 40);
    std::uniform_int_distribution<int> rare(0, 99);
    TickSchedule schedule;
    long long now = Ms(At(2026, 12, 31, 21, 0, 17, 321));
    schedule.Restart(FromMs(now));
    const long long firstDue = MinuteNumber(FromMs(now)) + 1;
    const long long end = now + 6LL * 3600 * 1000;
    std::vector<long long> handled;
    long long worstLateness = 0;
    while (now < end) {
        int delay = schedule.DelayMs(FromMs(now));
        int extra = jitter(random);
        if (rare(random) == 0) extra += 20000;  // the thread was busy speaking or in a box
        now += std::max(1, delay + extra);
        MinuteRange range = schedule.Take(FromMs(now));
        for (long long m = range.first; m <= range.last; ++m) {
            handled.push_back(m);
            worstLateness = std::max(worstLateness, now - m * 60000);
        }
    }
    ASSERT_FALSE(handled.empty());
    for (std::size_t i = 0; i < handled.size(); ++i) ASSERT_EQ(handled[i], firstDue + static_cast<long long>(i));
    EXPECT_EQ(handled.back(), MinuteNumber(FromMs(now)));
    EXPECT_LT(worstLateness, 61000);
}

}  // namespace
}  // namespace hv
