// What a tick does, over a simulated clock: the announcement rule, the due alarms, midnight, catch-up, re-entry.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/tick_decisions.h"
#include "tests/app/tick_test_clock.h"

namespace hv {
namespace {

using test::At;
using test::On7th;
using Log = std::vector<std::string>;

TEST(AnnouncementRule, EachTimingAnnouncesAtItsMinutes) {
    // The minutes of 10:xx announced; timings outside 0..6 (a hand-edited value) as every minute.
    const std::pair<int, std::string> cases[] = {{0, ""}, {1, "all"}, {2, "0 10 20 30 40 50"}, {3, "0 15 30 45"},
                                                 {4, "0 30"}, {5, "0"}, {6, "30"}, {7, "all"}, {0xFFFF, "all"}};
    for (const auto& [timing, expected] : cases) {
        Settings s;
        s.AnnounceTiming = static_cast<AnnounceTiming>(timing);
        s.AnnounceHour = 10;
        s.AnnounceMinute = 30;
        std::string minutes;
        int count = 0;
        for (int m = 0; m < 60; ++m)
            if (ShouldAnnounce(s, 10, m)) minutes += (count++ ? " " : "") + std::to_string(m);
        EXPECT_EQ(count == 60 ? "all" : minutes, expected) << timing;
        if (timing == 6) {
            EXPECT_FALSE(ShouldAnnounce(s, 22, 30)) << "the fixed time is on the 24-hour clock";
        }
    }
}

AlarmEntry Alarm(std::uint16_t hour, std::uint16_t minute, const wchar_t* weekdays = kEveryWeekday, bool on = true) {
    AlarmEntry a;
    std::tie(a.Enabled, a.Hour, a.Minute, a.Weekdays) = std::tie(on, hour, minute, weekdays);
    return a;
}

// Records what the dispatcher does, in order; alarms by their index in Settings::Alarms,
// which shows they were passed by reference.
class Dispatcher : public ::testing::Test, public TickActions {
protected:
    void FireAlarm(AlarmEntry& alarm, bool modal) override {
        log.push_back("alarm " + std::to_string(&alarm - settings.Alarms.data()) + (modal ? " modal" : ""));
        if (duringAlarm) duringAlarm();
    }
    void TalkTime(const TalkTimeArgs& args) override {
        log.push_back("talk " + args.text + " " + std::to_string(args.mode) + " " + std::to_string(args.speed));
    }
    void CalendarChanged() override { log.push_back("calendar"); }
    Log Take() { return std::exchange(log, {}); }

    Log log;
    std::function<void()> duringAlarm;
    Settings settings;
    MonthCalendar calendar;
    Date calendarDate;
    TickDispatcher dispatcher{settings, calendar, calendarDate, *this};
};

TEST_F(Dispatcher, FiresDueAlarmsByReferenceInIndexOrderThenAnnouncesOnce) {
    settings.AnnounceTiming = AnnounceTiming::AnnounceFixedTime;
    settings.AnnounceHour = 8;
    settings.TalkSpeed = 3;
    settings.Clock24 = true;
    settings.Alarms[9] = Alarm(8, 0);
    settings.Alarms[1] = Alarm(8, 0);
    settings.Alarms[3] = Alarm(8, 0, L"1111111", false);  // disabled: never
    settings.Alarms[4] = Alarm(8, 1);
    settings.Alarms[5] = Alarm(20, 0);             // 20:00 is not 08:00
    settings.Alarms[6] = Alarm(8, 0, L"0111110");  // weekdays only
    settings.Alarms[7] = Alarm(8, 0, L"11");       // damaged: too short for Tuesday onwards
    settings.Alarms[8] = Alarm(8, 0, L"0011111");  // not on Mondays
    dispatcher.Start(On7th(7, 59, 40));
    EXPECT_EQ(Take(), Log{"calendar"});
    EXPECT_EQ(calendar.TodayWeekday, kMonday);
    dispatcher.OnTimer(On7th(8, 0, 0, 4));
    dispatcher.OnTimer(On7th(8, 0, 31));
    EXPECT_EQ(Take(), (Log{"alarm 1", "alarm 6", "alarm 7", "alarm 9", "talk 08:00 1 3"}));
}

TEST_F(Dispatcher, NothingAtStartAndNothingLateForADialogOpenOverTheAlarm) {
    settings.Alarms[0] = Alarm(8, 0);
    settings.Alarms[1] = Alarm(8, 2);
    dispatcher.Start(On7th(8, 0, 0, 500));  // started within the alarm's minute
    dispatcher.OnTimer(On7th(8, 0, 20));
    // The alarm settings dialog stopped the tick from 08:01:50 to 08:02:10.
    dispatcher.Start(On7th(8, 2, 10));
    dispatcher.OnTimer(On7th(8, 2, 30));
    dispatcher.OnTimer(On7th(8, 3, 0, 2));
    EXPECT_EQ(Take(), (Log{"calendar", "talk 08:03 0 2"}));
}

TEST_F(Dispatcher, MidnightClockSetAndResumeRecomputeTheCalendarWithoutReplaying) {
    settings.AnnounceTiming = AnnounceTiming::AnnounceNone;
    settings.Alarms[0] = Alarm(0, 0, L"0100000");  // Mondays only
    settings.Alarms[1] = Alarm(0, 0, L"1000000");  // Sundays only
    settings.Alarms[2] = Alarm(9, 0);
    dispatcher.Start(At(2027, 1, 31, 23, 59, 30));  // Sunday, last day of January
    dispatcher.OnTimer(At(2027, 2, 1, 0, 0, 0, 3));
    EXPECT_EQ(Take(), (Log{"calendar", "calendar", "alarm 0"}));
    EXPECT_EQ(calendar.TodayWeekday, kMonday);
    EXPECT_EQ(calendar.DaysInMonth, 28);

    dispatcher.OnResume(At(2027, 2, 2, 9, 0, 5));  // slept through the night and 09:00
    EXPECT_EQ(calendar.Today, 2);
    dispatcher.OnTimer(At(2027, 2, 2, 9, 0, 6));
    dispatcher.OnClockSet(At(2027, 1, 30, 9, 0, 40));  // set back three days
    EXPECT_EQ(calendar.Today, 30);
    EXPECT_EQ(Take(), (Log{"calendar", "calendar"}));
}

TEST_F(Dispatcher, ABusyThreadFiresMissedAlarmsLateButSpeaksOnlyTheCurrentTimeAndNeverNests) {
    settings.Alarms[0] = Alarm(20, 1);
    settings.Alarms[1] = Alarm(20, 2);
    settings.Alarms[2] = Alarm(20, 5);
    settings.TalkSpeed = 15;
    dispatcher.Start(On7th(20, 0, 10));
    dispatcher.OnTimer(On7th(20, 2, 40));  // the 12-hour mode still gets the 24-hour text
    EXPECT_EQ(Take(), (Log{"calendar", "alarm 0", "alarm 1", "talk 20:02 0 15"}));

    // The 20:05 alarm's message box stays open past 20:06; its loop dispatches the timer,
    // which waits for the next boundary rather than firing again at once.
    duringAlarm = [&] {
        dispatcher.OnTimer(On7th(20, 6, 0, 1));
        EXPECT_EQ(dispatcher.DelayMs(On7th(20, 6, 0, 1)), 59999);
    };
    dispatcher.OnTimer(On7th(20, 5, 0, 2));
    duringAlarm = nullptr;
    EXPECT_EQ(Take(), (Log{"alarm 2", "talk 20:05 0 15"}));
    EXPECT_EQ(dispatcher.DelayMs(On7th(20, 6, 20)), 0) << "re-armed at once when the box closes";
    dispatcher.OnTimer(On7th(20, 6, 20));
    EXPECT_EQ(Take(), Log{"talk 20:06 0 15"});
}

TEST_F(Dispatcher, ASuspendNoticeWithoutResumeStillHandlesTheNextMinuteAndReplaysNothingSlept) {
    settings.Alarms[0] = Alarm(8, 1);
    settings.Alarms[1] = Alarm(8, 3);
    dispatcher.Start(On7th(8, 0, 30));
    dispatcher.OnSuspend();  // vetoed: no resume notice follows
    dispatcher.OnTimer(On7th(8, 1, 0, 2));
    dispatcher.OnSuspend();                 // slept from 08:01:40 to 08:05:10,
    dispatcher.OnTimer(On7th(8, 5, 10));    // and the timer came before the resume notice
    dispatcher.OnResume(On7th(8, 5, 11));
    dispatcher.OnTimer(On7th(8, 6, 0, 2));
    EXPECT_EQ(Take(), (Log{"calendar", "alarm 0", "talk 08:01 0 2", "talk 08:05 0 2", "talk 08:06 0 2"}));
}

}  // namespace
}  // namespace hv
