// What a tick does: the announcement rule, the due alarms, the arguments handed on, and the
// dispatcher over a simulated clock (order of actions, midnight, catch-up, re-entry).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/tick_decisions.h"

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

Settings WithTiming(int timing, int hour = 0, int minute = 0) {
    Settings s;
    s.AnnounceTiming = static_cast<AnnounceTiming>(timing);
    s.AnnounceHour = static_cast<std::uint16_t>(hour);
    s.AnnounceMinute = static_cast<std::uint16_t>(minute);
    return s;
}

std::vector<int> AnnouncedMinutes(const Settings& s, int hour) {
    std::vector<int> minutes;
    for (int m = 0; m < 60; ++m)
        if (ShouldAnnounce(s, hour, m)) minutes.push_back(m);
    return minutes;
}

TEST(AnnouncementRule, EachTimingAnnouncesAtItsMinutes) {
    EXPECT_TRUE(AnnouncedMinutes(WithTiming(0), 10).empty());
    EXPECT_EQ(AnnouncedMinutes(WithTiming(1), 10).size(), 60u);
    EXPECT_EQ(AnnouncedMinutes(WithTiming(2), 10), (std::vector<int>{0, 10, 20, 30, 40, 50}));
    EXPECT_EQ(AnnouncedMinutes(WithTiming(3), 10), (std::vector<int>{0, 15, 30, 45}));
    EXPECT_EQ(AnnouncedMinutes(WithTiming(4), 10), (std::vector<int>{0, 30}));
    EXPECT_EQ(AnnouncedMinutes(WithTiming(5), 10), (std::vector<int>{0}));
}

TEST(AnnouncementRule, FixedTimeMatchesHourAndMinuteOnTheTwentyFourHourClock) {
    Settings s = WithTiming(6, 7, 30);
    EXPECT_TRUE(ShouldAnnounce(s, 7, 30));
    EXPECT_FALSE(ShouldAnnounce(s, 19, 30));
    EXPECT_FALSE(ShouldAnnounce(s, 7, 31));
    EXPECT_FALSE(ShouldAnnounce(s, 8, 30));
}

TEST(AnnouncementRule, TimingsOutsideTheKnownKindsAnnounceEveryMinute) {
    for (int timing : {7, 15, 0x7FFF, 0xFFFF}) {
        SCOPED_TRACE(timing);
        EXPECT_EQ(AnnouncedMinutes(WithTiming(timing), 3).size(), 60u);
    }
}

TEST(TalkArguments, TimeTextIsTwentyFourHourZeroPaddedAndTheModeTravelsApart) {
    Settings s;
    s.TalkSpeed = 2;
    EXPECT_EQ(TalkArgs(s, 9, 5), (TalkTimeArgs{"09:05", 0, 2}));
    EXPECT_EQ(TalkArgs(s, 21, 5), (TalkTimeArgs{"21:05", 0, 2}));
    s.Clock24 = true;
    s.TalkSpeed = 15;
    EXPECT_EQ(TalkArgs(s, 21, 5), (TalkTimeArgs{"21:05", 1, 15}));
    EXPECT_EQ(TimeText(0, 0), "00:00");
    EXPECT_EQ(TimeText(23, 59), "23:59");
}

AlarmEntry Alarm(int hour, int minute, const wchar_t* weekdays = kEveryWeekday, bool enabled = true) {
    AlarmEntry a;
    a.Enabled = enabled;
    a.Hour = static_cast<std::uint16_t>(hour);
    a.Minute = static_cast<std::uint16_t>(minute);
    a.Weekdays = weekdays;
    return a;
}

TEST(DueAlarms, MatchEnabledWeekdayHourAndMinuteInIndexOrder) {
    Settings s;
    s.Alarms[7] = Alarm(8, 0);
    s.Alarms[2] = Alarm(8, 0);
    s.Alarms[3] = Alarm(8, 0, L"1111111", false);  // disabled: never
    s.Alarms[4] = Alarm(8, 1);
    s.Alarms[5] = Alarm(20, 0);                     // 20:00 is not 08:00
    s.Alarms[6] = Alarm(8, 0, L"0111110");          // weekdays only
    EXPECT_EQ(DueAlarms(s, kMonday, 8, 0), (std::vector<int>{2, 6, 7}));
    EXPECT_EQ(DueAlarms(s, kSunday, 8, 0), (std::vector<int>{2, 7}));
    EXPECT_EQ(DueAlarms(s, kSaturday, 8, 0), (std::vector<int>{2, 7}));
    EXPECT_EQ(DueAlarms(s, kMonday, 8, 1), (std::vector<int>{4}));
}

TEST(DueAlarms, ADamagedWeekdaysTextOrWeekdayNeverMatches) {
    Settings s;
    s.Alarms[0] = Alarm(8, 0, L"11");  // too short for Tuesday onwards
    s.Alarms[1] = Alarm(8, 0, L"");
    EXPECT_EQ(DueAlarms(s, kSunday, 8, 0), (std::vector<int>{0}));
    EXPECT_TRUE(DueAlarms(s, 4, 8, 0).empty());
    EXPECT_TRUE(DueAlarms(s, 0, 8, 0).empty());
    EXPECT_TRUE(DueAlarms(s, 8, 8, 0).empty());
}

// Records what the dispatcher does, in order.
class Recorder : public TickActions {
public:
    std::vector<std::string> log;
    std::vector<AlarmEntry*> fired;
    std::function<void()> duringAlarm;

    void FireAlarm(AlarmEntry& alarm, bool modal) override {
        fired.push_back(&alarm);
        log.push_back("alarm " + std::to_string(alarm.Hour) + ":" + std::to_string(alarm.Minute) +
                      (modal ? " modal" : ""));
        if (duringAlarm) duringAlarm();
    }
    void TalkTime(const TalkTimeArgs& args) override {
        log.push_back("talk " + args.text + " " + std::to_string(args.mode) + " " + std::to_string(args.speed));
    }
    void CalendarChanged() override { log.push_back("calendar"); }
};

class Dispatcher : public ::testing::Test {
protected:
    Settings settings;
    MonthCalendar calendar;
    Recorder actions;
    TickDispatcher dispatcher{settings, calendar, actions};
};

TEST_F(Dispatcher, FiresDueAlarmsByReferenceInIndexOrderThenAnnounces) {
    settings.AnnounceTiming = AnnounceTiming::AnnounceFixedTime;
    settings.AnnounceHour = 8;
    settings.TalkSpeed = 3;
    settings.Alarms[9] = Alarm(8, 0);
    settings.Alarms[1] = Alarm(8, 0);
    dispatcher.Start(At(2026, 12, 7, 7, 59, 40));  // a Monday
    EXPECT_EQ(actions.log, (std::vector<std::string>{"calendar"}));
    EXPECT_EQ(calendar.TodayWeekday, kMonday);
    EXPECT_EQ(calendar.Today, 7);
    actions.log.clear();

    dispatcher.OnTimer(At(2026, 12, 7, 7, 59, 59, 995));  // early: nothing
    dispatcher.OnTimer(At(2026, 12, 7, 8, 0, 0, 4));
    dispatcher.OnTimer(At(2026, 12, 7, 8, 0, 31));  // twice in the minute: nothing more
    EXPECT_EQ(actions.log, (std::vector<std::string>{"alarm 8:0", "alarm 8:0", "talk 08:00 0 3"}));
    ASSERT_EQ(actions.fired.size(), 2u);
    EXPECT_EQ(actions.fired[0], &settings.Alarms[1]);
    EXPECT_EQ(actions.fired[1], &settings.Alarms[9]);
}

TEST_F(Dispatcher, NothingAtStartAndNothingLateForADialogOpenOverTheAlarm) {
    settings.Alarms[0] = Alarm(8, 0);
    dispatcher.Start(At(2026, 12, 7, 8, 0, 0, 500));  // started within the alarm's minute
    dispatcher.OnTimer(At(2026, 12, 7, 8, 0, 20));
    // The alarm settings dialog is open from 08:01:50 over 08:02 (timer stopped); closing
    // it restarts the tick, and the 08:02 alarm does not fire late.
    settings.Alarms[1] = Alarm(8, 2);
    dispatcher.Start(At(2026, 12, 7, 8, 2, 10));
    dispatcher.OnTimer(At(2026, 12, 7, 8, 2, 30));
    dispatcher.OnTimer(At(2026, 12, 7, 8, 3, 0, 2));
    EXPECT_EQ(actions.log, (std::vector<std::string>{"calendar", "talk 08:03 0 2"}));
}

TEST_F(Dispatcher, AfterMidnightRecomputesTheCalendarAndMatchesTheNewWeekday) {
    settings.AnnounceTiming = AnnounceTiming::AnnounceNone;
    settings.Alarms[0] = Alarm(0, 0, L"0100000");  // Mondays only
    settings.Alarms[1] = Alarm(0, 0, L"1000000");  // Sundays only
    dispatcher.Start(At(2027, 1, 31, 23, 59, 30));  // Sunday, last day of January
    EXPECT_EQ(calendar.DaysInMonth, 31);
    actions.log.clear();
    dispatcher.OnTimer(At(2027, 2, 1, 0, 0, 0, 3));
    EXPECT_EQ(actions.log, (std::vector<std::string>{"calendar", "alarm 0:0"}));
    EXPECT_EQ(actions.fired.at(0), &settings.Alarms[0]);
    EXPECT_EQ(calendar.Today, 1);
    EXPECT_EQ(calendar.TodayWeekday, kMonday);
    EXPECT_EQ(calendar.DaysInMonth, 28);
}

TEST_F(Dispatcher, ClockSetOrResumeToAnotherDateRepaintsAtOnceWithoutReplaying) {
    settings.Alarms[0] = Alarm(9, 0);
    dispatcher.Start(At(2026, 12, 7, 8, 59, 30));
    actions.log.clear();
    dispatcher.OnResume(At(2026, 12, 8, 9, 0, 5));  // slept through the night and 09:00
    EXPECT_EQ(actions.log, (std::vector<std::string>{"calendar"}));
    EXPECT_EQ(calendar.Today, 8);
    dispatcher.OnTimer(At(2026, 12, 8, 9, 0, 6));
    dispatcher.OnClockSet(At(2026, 12, 6, 9, 0, 40));  // set back two days
    EXPECT_EQ(calendar.Today, 6);
    dispatcher.OnTimer(At(2026, 12, 6, 9, 1, 0, 2));
    EXPECT_EQ(actions.log, (std::vector<std::string>{"calendar", "calendar", "talk 09:01 0 2"}));
}

TEST_F(Dispatcher, ABusyThreadFiresTheMissedAlarmsLateButSpeaksOnlyTheCurrentTime) {
    settings.Alarms[0] = Alarm(8, 1);
    settings.Alarms[1] = Alarm(8, 2);
    dispatcher.Start(At(2026, 12, 7, 8, 0, 10));
    actions.log.clear();
    dispatcher.OnTimer(At(2026, 12, 7, 8, 2, 40));
    EXPECT_EQ(actions.log, (std::vector<std::string>{"alarm 8:1", "alarm 8:2", "talk 08:02 0 2"}));
}

TEST_F(Dispatcher, ATimerMessageDispatchedInsideAnAlarmDoesNotStartASecondTick) {
    settings.Alarms[0] = Alarm(8, 1);
    dispatcher.Start(At(2026, 12, 7, 8, 0, 10));
    actions.log.clear();
    int nested = 0;
    actions.duringAlarm = [&] {
        // The alarm's message box is open past the next boundary; its loop dispatches the timer.
        ++nested;
        dispatcher.OnTimer(At(2026, 12, 7, 8, 2, 0, 1));
    };
    dispatcher.OnTimer(At(2026, 12, 7, 8, 1, 0, 2));
    actions.duringAlarm = nullptr;
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(actions.log, (std::vector<std::string>{"alarm 8:1", "talk 08:01 0 2"}));
    // When the box closes the tick is re-armed at once and the 08:02 minute follows.
    EXPECT_EQ(dispatcher.DelayMs(At(2026, 12, 7, 8, 2, 20)), 0);
    dispatcher.OnTimer(At(2026, 12, 7, 8, 2, 20));
    EXPECT_EQ(actions.log.back(), "talk 08:02 0 2");
}

}  // namespace
}  // namespace hv
