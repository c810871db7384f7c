// The minute schedule against a simulated wall clock: timer callbacks early, late and
// twice in a minute, a busy thread, the clock set back and forward, midnight, month ends,
// resume after hours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/tick_schedule.h"
#include "tests/app/tick_test_clock.h"

namespace hv {
namespace {

using test::At;
using test::On7th;
using Minutes = std::vector<std::string>;

std::string Text(long long minute) {
    WallClock c = WallClockOfMinute(minute);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", c.hour, c.minute);
    return text;
}

// Restart ('R'), clock set ('C') or timer callback ('T', with the minutes it must hand out).
struct Step {
    char op;
    WallClock at;
    Minutes handled = {};
};

void RunSteps(std::initializer_list<Step> steps) {
    TickSchedule schedule;
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.op << " at " << Text(MinuteNumber(step.at)) << ":" << step.at.second);
        if (step.op == 'R') schedule.Restart(step.at);
        if (step.op == 'C') schedule.ClockSet(step.at);
        if (step.op != 'T') continue;
        MinuteRange range = schedule.Take(step.at);
        Minutes handled;
        for (long long m = range.first; m <= range.last; ++m) handled.push_back(Text(m));
        EXPECT_EQ(handled, step.handled);
        EXPECT_FALSE(schedule.Pending(step.at));
    }
}

TEST(TickSchedule, EachMinuteOnceWhateverTheTimerOrTheClockDoes) {
    RunSteps({{'T', On7th(8, 0, 1)},  // never started
         {'R', On7th(7, 59, 30, 500)},
         {'T', On7th(7, 59, 59, 990)},  // a few ms early: the old minute
         {'T', On7th(8, 0, 0, 3), {"08:00"}},
         {'T', On7th(8, 0, 59, 999)},  // twice in the minute
         {'T', On7th(8, 1, 45), {"08:01"}},  // late by most of a minute
         {'T', On7th(8, 4, 5), {"08:02", "08:03", "08:04"}},  // a busy thread catches up
         // Beyond the catch-up limit the clock jumped without notice: only the current minute.
         {'T', On7th(8, 4 + kMaxCatchUpMinutes + 1, 1), {"08:10"}},
         // The clock set, and resume: the schedule starts afresh and replays nothing.
         {'R', On7th(9, 0, 10)},
         {'C', On7th(8, 0, 30)},  // back an hour: 08:01 comes round again
         {'T', On7th(8, 0, 40)},
         {'T', On7th(8, 1, 0, 2), {"08:01"}},
         {'C', On7th(11, 1, 30)},  // forward: not even the minute set into
         {'T', On7th(11, 1, 31)},
         {'T', On7th(11, 2, 0, 1), {"11:02"}},
         {'C', On7th(11, 3, 0, 40)},  // a nudge across the boundary keeps that minute due
         {'T', On7th(11, 3, 0, 60), {"11:03"}},
         {'C', On7th(11, 3, 10)},  // a nudge within the handled minute changes nothing
         {'T', On7th(10, 0, 0, 5)},  // back without a notice: nothing now, the next one later
         {'T', On7th(10, 1, 0, 5), {"10:01"}},
         {'R', At(2027, 2, 1, 7, 12, 40)},  // resumed after a night asleep, into a new month
         {'T', At(2027, 2, 1, 7, 12, 41)},
         {'T', At(2027, 2, 1, 7, 13, 0, 2), {"07:13"}}});
    TickSchedule schedule;
    schedule.Restart(On7th(8, 0, 10));
    EXPECT_EQ(schedule.DelayMs(On7th(8, 0, 59, 990)), 10);
    EXPECT_EQ(schedule.DelayMs(On7th(8, 2, 5)), 0) << "a minute is pending: at once";
    EXPECT_EQ(schedule.DelayMs(On7th(8, 0, 30, 500)), 29500);
    EXPECT_EQ(MsToNextMinute(On7th(7, 59, 59, 999)), 1);
    EXPECT_EQ(MsToNextMinute(On7th(23, 59, 60, 200)), 1);  // a leap second reading
}

// A timer that fires after the armed delay plus jitter (occasionally early by a few
// milliseconds, sometimes very late) over six hours across midnight: every minute is handled
// exactly once, in order, each within the lateness of its callback.
TEST(TickSchedule, SimulatedTimerHandlesEveryMinuteExactlyOnce) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> jitter(-3, 40);
    std::uniform_int_distribution<int> rare(0, 99);
    TickSchedule schedule;
    long long now = test::MsOf(At(2026, 12, 31, 21, 0, 17, 321));
    schedule.Restart(test::ClockAt(now));
    const long long firstDue = MinuteNumber(test::ClockAt(now)) + 1;
    const long long end = now + 6LL * 3600 * 1000;
    std::vector<long long> handled;
    long long worstLateness = 0;
    while (now < end) {
        int extra = jitter(random) + (rare(random) == 0 ? 20000 : 0);  // the thread was busy speaking
        now += std::max(1, schedule.DelayMs(test::ClockAt(now)) + extra);
        MinuteRange range = schedule.Take(test::ClockAt(now));
        for (long long m = range.first; m <= range.last; ++m) {
            handled.push_back(m);
            worstLateness = std::max(worstLateness, now - m * 60000);
        }
    }
    ASSERT_FALSE(handled.empty());
    for (std::size_t i = 0; i < handled.size(); ++i) ASSERT_EQ(handled[i], firstDue + static_cast<long long>(i));
    EXPECT_EQ(handled.back(), MinuteNumber(test::ClockAt(now)));
    EXPECT_LT(worstLateness, 61000);
}

}  // namespace
}  // namespace hv
