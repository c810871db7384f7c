// What a tick does, over a simulated clock: the announcement rule, the due alarms, midnight, catch-up, re-entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/tick_decisions.h"
#include "app/tray_tip.h"
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

Settings Quiet(int fromHour, int fromMinute, int toHour, int toMinute) {
    Settings s;
    s.QuietHours = true;
    s.QuietFromHour = static_cast<std::uint16_t>(fromHour);
    s.QuietFromMinute = static_cast<std::uint16_t>(fromMinute);
    s.QuietToHour = static_cast<std::uint16_t>(toHour);
    s.QuietToMinute = static_cast<std::uint16_t>(toMinute);
    return s;
}

TEST(QuietHours, RunFromTheFirstQuietMinuteUpToTheEndWithinADayOrPastMidnight) {
    const struct {
        Settings settings;
        std::vector<std::pair<int, int>> quiet, spoken;  // hour, minute
    } cases[] = {
        {Quiet(13, 0, 14, 30), {{13, 0}, {14, 29}}, {{12, 59}, {14, 30}, {1, 0}}},
        {Quiet(22, 0, 7, 0), {{22, 0}, {23, 59}, {0, 0}, {6, 59}}, {{21, 59}, {7, 0}, {12, 0}}},
        {Quiet(23, 59, 0, 0), {{23, 59}}, {{23, 58}, {0, 0}}},
        {Quiet(0, 0, 0, 1), {{0, 0}}, {{0, 1}, {23, 59}}},
        {Quiet(8, 15, 8, 15), {}, {{8, 15}, {8, 14}, {0, 0}, {23, 59}}},  // equal: no quiet minute
        {Settings{}, {}, {{22, 0}, {3, 0}, {6, 59}}},                      // off: the stored default range
    };
    for (const auto& c : cases) {
        const Settings& s = c.settings;
        const std::string range = TimeText(s.QuietFromHour, s.QuietFromMinute) + "-" +
                                  TimeText(s.QuietToHour, s.QuietToMinute) + (s.QuietHours ? "" : " off");
        for (const auto& [h, m] : c.quiet) EXPECT_TRUE(InQuietHours(s, h, m)) << range << " at " << TimeText(h, m);
        for (const auto& [h, m] : c.spoken) EXPECT_FALSE(InQuietHours(s, h, m)) << range << " at " << TimeText(h, m);
    }
}

TEST(QuietHours, EveryTimingKeepsItsMinutesOutsideTheQuietOnes) {
    // Announcements in a day with 22:00 to 7:00 quiet (15 hours spoken).
    const std::pair<int, int> cases[] = {{0, 0}, {1, 900}, {2, 90}, {3, 60}, {4, 30}, {5, 15}, {11, 900}};
    for (const auto& [timing, expected] : cases) {
        Settings s = Quiet(22, 0, 7, 0);
        s.AnnounceTiming = static_cast<AnnounceTiming>(timing);
        int count = 0;
        for (int m = 0; m < 24 * 60; ++m) count += ShouldAnnounce(s, m / 60, m % 60) ? 1 : 0;
        EXPECT_EQ(count, expected) << timing;
    }
    // The fixed time: at the quiet hours' first and last minute it is silent, at their end spoken.
    for (const auto& [hour, minute, spoken] : {std::tuple(22, 0, false), std::tuple(6, 59, false),
                                               std::tuple(7, 0, true), std::tuple(21, 59, true)}) {
        Settings s = Quiet(22, 0, 7, 0);
        s.AnnounceTiming = AnnounceTiming::AnnounceFixedTime;
        s.AnnounceHour = static_cast<std::uint16_t>(hour);
        s.AnnounceMinute = static_cast<std::uint16_t>(minute);
        EXPECT_EQ(ShouldAnnounce(s, hour, minute), spoken) << TimeText(hour, minute);
    }
}

TEST(FocusRule, PresentationsFullScreenAndDoNotDisturbKeepQuietAwayUnknownAndQuietTimeSpeak) {
    // The shell's 0..7 (6: quiet time) or a later value; the mode none (Windows 10), 0, 1, 2 or a later 3.
    const std::tuple<int, std::optional<int>, bool> cases[] = {
        {0, {}, false}, {1, {}, false}, {2, {}, true}, {3, {}, true}, {4, {}, true}, {5, {}, false}, {6, {}, false},
        {7, {}, true},  {8, {}, false}, {-1, {}, false}, {5, 0, false}, {5, 1, true}, {0, 2, true}, {1, 1, true},
        {6, 3, false},  {4, 0, true}};
    for (const auto& [shell, mode, quiet] : cases) {
        Settings s;
        const UserFocus focus = WithNotificationMode(static_cast<UserFocus>(shell), mode);
        EXPECT_EQ(FocusKeepsQuiet(s, focus), quiet) << shell << " " << mode.value_or(-1);
        s.QuietOnFocus = false;
        EXPECT_FALSE(FocusKeepsQuiet(s, focus)) << shell << " with the rule off";
    }
}

AlarmEntry Alarm(std::uint16_t hour, std::uint16_t minute, const wchar_t* weekdays = kEveryWeekday, bool on = true) {
    AlarmEntry a;
    std::tie(a.Enabled, a.Hour, a.Minute, a.Weekdays) = std::tie(on, hour, minute, weekdays);
    return a;
}
AlarmEntry OnDate(AlarmEntry a, std::uint32_t date) { return a.OneOffDate = date, a; }

TEST(AlarmRule, WeekdaysSkipTheHolidaysOfTheFaceAndAOneOffDateGoesOffOnItsDayOnly) {
    AlarmEntry weekdays = Alarm(7, 0, L"0111110"), skipping = weekdays, oneOff = Alarm(7, 0, L"0000000");
    skipping.SkipHolidays = true;
    oneOff.OneOffDate = 20270322;
    oneOff.SkipHolidays = true;  // a date chosen is meant, holiday or not
    AlarmEntry noDate = oneOff;
    noDate.OneOffDate = 20270230;
    const struct {
        Date date;
        bool weekdays, skipping, oneOff;
    } cases[] = {
        {{2026, 12, 8}, true, true, false},   // an ordinary Tuesday
        {{2026, 11, 3}, true, false, false},  // 文化の日 on a Tuesday
        {{2025, 11, 24}, true, false, false}, // 振替休日 for a Sunday holiday
        {{2026, 9, 22}, true, false, false},  // 国民の休日 between two holidays
        {{2027, 3, 22}, true, false, true},   // 振替休日 for the equinox on Sunday: the one-off date
        {{2028, 3, 22}, true, true, false},   // the same date a year on
        {{2027, 3, 21}, false, false, false}, // the equinox itself, a Sunday
        {{2027, 1, 1}, true, false, false},   // 元日, a Friday
    };
    for (const auto& c : cases) {
        const std::string date = std::to_string(YmdOf(c.date));
        EXPECT_EQ(AlarmGoesOff(weekdays, c.date, 7, 0), c.weekdays) << date;
        EXPECT_EQ(AlarmGoesOff(skipping, c.date, 7, 0), c.skipping) << date;
        EXPECT_EQ(AlarmGoesOff(oneOff, c.date, 7, 0), c.oneOff) << date;
        EXPECT_FALSE(AlarmGoesOff(oneOff, c.date, 7, 1)) << date;
        EXPECT_FALSE(AlarmGoesOff(noDate, c.date, 7, 0)) << date;
    }
}

// Records what the dispatcher does, in order; alarms by their index in Settings::Alarms,
// which shows they were passed by reference.
class Dispatcher : public ::testing::Test, public TickActions {
protected:
    void FireAlarm(AlarmEntry& alarm, const AlarmRing& ring) override {
        EXPECT_EQ(&alarm - settings.Alarms.data(), ring.index);
        log.push_back("alarm " + std::to_string(ring.index) + (ring.snoozed ? " again" : "") +
                      (ring.snoozeMinutes ? " snooze " + std::to_string(ring.snoozeMinutes) : ""));
        if (duringAlarm) duringAlarm();
    }
    void AlarmsSwitchedOff() override { log.push_back("saved"); }
    void TalkTime(const TalkTimeArgs& args) override {
        log.push_back("talk " + args.text + " " + std::to_string(args.mode) + " " + std::to_string(args.speed));
    }
    void CalendarChanged() override { log.push_back("calendar"); }
    UserFocus QueryUserFocus() override {
        ++focusQueries;
        return focus;
    }
    Log Take() { return std::exchange(log, {}); }

    UserFocus focus = UserFocus::AcceptsNotifications;
    int focusQueries = 0;

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

// Started (nothing then), or a settings dialog opened, at `handled`, and closed at `closed`:
// the alarms due meanwhile fire as it closes, each once; nothing is spoken until the next minute.
TEST_F(Dispatcher, NothingAtStartAndAlarmsDueWhileADialogWasOpenFireOnceAsItClosesWithinTheHour) {
    const struct {
        WallClock handled, closed;
        std::vector<AlarmEntry> alarms;
        Log fired;
        std::vector<AlarmEntry> edited = {};  // in the alarm dialog meanwhile
    } cases[] = {
        {On7th(8, 0, 0, 500), On7th(8, 5, 10), {Alarm(8, 0), Alarm(8, 1), Alarm(8, 5)},
         {"alarm 1", "alarm 2", "talk 08:06 0 2"}},
        // 07:00 is more than an hour before 08:00:30; by minute, then index.
        {On7th(6, 59, 0, 2), On7th(8, 0, 30), {Alarm(8, 0), Alarm(7, 0), Alarm(7, 1), Alarm(8, 0)},
         {"alarm 2", "alarm 0", "alarm 3", "talk 08:01 0 2"}},
        {At(2026, 12, 8, 23, 58, 0, 2), At(2026, 12, 9, 0, 10),  // 23:59 matched as Tuesday, 00:05 as Wednesday
         {Alarm(23, 59, L"0010000"), Alarm(0, 5, L"0010000"), Alarm(0, 5, L"0001000")},
         {"calendar", "alarm 0", "alarm 2", "talk 00:11 0 2"}},
        {On7th(10, 0, 0, 2), On7th(9, 50), {Alarm(9, 55), Alarm(10, 0)}, {"talk 09:51 0 2"}},  // the clock set back
        // Set so when its minute passed and still; one made or moved since only for the minute of the closing.
        {On7th(8, 0, 0, 2), On7th(8, 4), {Alarm(8, 1), Alarm(8, 2), Alarm(8, 3)},
         {"alarm 0", "alarm 2", "talk 08:05 0 2"}, {Alarm(8, 1), Alarm(8, 2, L"1", false), Alarm(8, 4), Alarm(8, 3)}},
    };
    settings.AnnounceTiming = AnnounceTiming::AnnounceEveryMinute;
    for (const auto& c : cases) {
        for (std::size_t i = 0; i < settings.Alarms.size(); ++i)
            settings.Alarms[i] = i < c.alarms.size() ? c.alarms[i] : AlarmEntry{};
        dispatcher.Start(c.handled);
        for (const std::string& done : Take()) EXPECT_EQ(done, "calendar");
        dispatcher.Pause();
        std::copy(c.edited.begin(), c.edited.end(), settings.Alarms.begin());
        dispatcher.Resume(c.closed);
        dispatcher.OnTimer(WallClockOfMinute(MinuteNumber(c.closed) + 1));
        EXPECT_EQ(Take(), c.fired) << TimeText(c.closed.hour, c.closed.minute);
    }
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

TEST_F(Dispatcher, QuietMinutesAndABusyUserSilenceTheTimeNeverAnAlarmAndTheSystemIsAskedOnlyWhenItMatters) {
    settings.QuietHours = true;  // 22:00 to 7:00, every minute
    settings.Alarms[0] = Alarm(22, 0);
    settings.Alarms[2] = Alarm(21, 0);
    dispatcher.Start(On7th(20, 59, 30));
    focus = UserFocus::Presentation;
    dispatcher.OnTimer(On7th(21, 0, 0, 2));
    EXPECT_EQ(focusQueries, 1);
    focus = UserFocus::AcceptsNotifications;
    dispatcher.OnTimer(On7th(21, 1, 0, 2));
    EXPECT_EQ(focusQueries, 2);
    dispatcher.OnTimer(On7th(21, 59, 59));
    dispatcher.OnTimer(On7th(22, 0, 0, 2));  // quiet: not asked
    EXPECT_EQ(focusQueries, 3);
    settings.QuietOnFocus = false;  // the rule off: never asked
    settings.QuietHours = false;
    focus = UserFocus::FullScreenDirect3D;
    dispatcher.OnTimer(On7th(22, 1, 0, 2));
    EXPECT_EQ(focusQueries, 3);
    EXPECT_EQ(Take(), (Log{"calendar", "alarm 2", "talk 21:01 0 2", "talk 21:59 0 2", "alarm 0", "talk 22:01 0 2"}));
    // A pause up to 22:03 from the menu: the alarm of 22:02 rings, the time of 22:03 is spoken.
    settings.TalkPausedUntil = static_cast<std::uint32_t>(MinuteNumber(On7th(22, 3, 0)));
    settings.Alarms[1] = Alarm(22, 2);
    dispatcher.OnTimer(On7th(22, 2, 0, 2));
    dispatcher.OnTimer(On7th(22, 3, 0, 2));
    EXPECT_EQ(Take(), (Log{"alarm 1", "talk 22:03 0 2"}));
}

TEST_F(Dispatcher, AOneOffAlarmGoesOffAtItsMinuteSwitchesItselfOffAndIsSavedFirst) {
    settings.AnnounceTiming = AnnounceTiming::AnnounceNone;
    settings.Alarms[2] = OnDate(Alarm(0, 0), 20261208);
    settings.Alarms[3] = OnDate(Alarm(0, 1, L"0000000"), 20261208);
    dispatcher.Start(On7th(23, 59, 30));
    dispatcher.OnTimer(At(2026, 12, 8, 0, 0, 0, 2));
    EXPECT_EQ(Take(), (Log{"calendar", "calendar", "saved", "alarm 2"}));
    EXPECT_FALSE(settings.Alarms[2].Enabled);
    // Late, as a dialog closes: switched off too.
    dispatcher.Pause();
    dispatcher.Resume(At(2026, 12, 8, 0, 3));
    EXPECT_EQ(Take(), (Log{"saved", "alarm 3"}));
    settings.Alarms[2].Enabled = true;  // the user switches it on again: its date is past
    for (int day = 8; day <= 15; ++day) dispatcher.OnTimer(At(2026, 12, day, 0, 0, 0, 2));
    EXPECT_EQ(Take(), Log(7, "calendar"));
}

TEST_F(Dispatcher, SnoozeRepeatsTheNoticeAcrossMidnightUpToItsLimitAndNeverReplaysASleptOne) {
    settings.AnnounceTiming = AnnounceTiming::AnnounceNone;
    settings.Alarms[0] = Alarm(23, 55);
    settings.Alarms[0].Message = L"起きて";
    settings.Alarms[0].SnoozeLimit = 2;
    settings.Alarms[1] = Alarm(23, 55);
    settings.Alarms[1].Message = L"#exec notepad.exe";  // a command: nothing to snooze
    settings.Alarms[2] = Alarm(23, 58);
    std::tie(settings.Alarms[2].Message, settings.Alarms[2].SnoozeLimit) = std::tuple(L"寝る", kSnoozeOff);
    const auto tick = [&](int day, int h, int m) { dispatcher.OnTimer(At(2026, 12, day, h, m, 0, 2)); };
    dispatcher.Start(On7th(23, 54, 30));
    tick(7, 23, 55);
    dispatcher.Snooze(On7th(23, 56, 40));  // again at 00:01
    tick(7, 23, 58);
    dispatcher.Snooze(On7th(23, 58, 10));  // 0 of them: only alarm 2 rings, and has no snooze
    EXPECT_EQ(Take(), (Log{"calendar", "alarm 0 snooze 5", "alarm 1", "alarm 2"}));
    EXPECT_EQ(dispatcher.NextSnooze(), MinuteNumber(At(2026, 12, 8, 0, 1)));
    tick(8, 0, 0);
    tick(8, 0, 1);
    dispatcher.Snooze(At(2026, 12, 8, 0, 1, 50));
    tick(8, 0, 6);
    dispatcher.Snooze(At(2026, 12, 8, 0, 6, 5));  // the limit reached: nothing more
    tick(8, 0, 11);
    EXPECT_EQ(Take(), (Log{"calendar", "alarm 0 again snooze 5", "alarm 0 again"}));
    EXPECT_EQ(dispatcher.NextSnooze(), std::nullopt);
    // Its own time again counts afresh; a snooze slept through is dropped; OK ends the ringing.
    tick(8, 23, 55);
    dispatcher.Snooze(At(2026, 12, 8, 23, 55, 20));
    dispatcher.OnSuspend();
    tick(9, 0, 30);
    tick(9, 23, 55);
    dispatcher.Confirm();
    dispatcher.Snooze(At(2026, 12, 9, 23, 55, 20));
    EXPECT_EQ(Take(), (Log{"alarm 0 snooze 5", "alarm 1", "calendar", "alarm 0 snooze 5", "alarm 1"}));
    EXPECT_EQ(dispatcher.NextSnooze(), std::nullopt);
}

TEST(NextAlarm, TheSoonestEnabledAlarmAfterThisMinuteHolidaysSkippedDatesAndSnoozesCounted) {
    AlarmEntry workdays = Alarm(7, 0, L"0111110"), off = Alarm(6, 0, kEveryWeekday, false);
    workdays.SkipHolidays = true;
    const struct {
        std::vector<AlarmEntry> alarms;
        WallClock now;
        const wchar_t* text;
        std::optional<long long> snooze = {};
    } cases[] = {
        {{off, Alarm(25, 0)}, At(2026, 12, 9, 22, 40), L""},  // off; a stored hour that never comes
        {{workdays, off}, At(2026, 12, 9, 22, 40), L"次のアラーム 12月10日(木) 7:00"},
        {{workdays}, At(2026, 12, 9, 6, 59, 59), L"次のアラーム 12月9日(水) 7:00"},
        {{workdays}, At(2026, 12, 9, 7, 0, 1), L"次のアラーム 12月10日(木) 7:00"},
        {{workdays}, At(2026, 12, 11, 8, 0), L"次のアラーム 12月14日(月) 7:00"},  // over the weekend
        {{workdays}, At(2026, 12, 31, 8, 0), L"次のアラーム 1月4日(月) 7:00"},    // 元日 skipped
        {{workdays, OnDate(Alarm(23, 5), 20270102)}, At(2026, 12, 31, 8, 0), L"次のアラーム 1月2日(土) 23:05"},
        {{OnDate(Alarm(9, 0), 20261209)}, At(2026, 12, 9, 9, 0), L""},  // its minute under way: done
        {{OnDate(Alarm(9, 0), 20280101)}, At(2026, 12, 9, 9, 0), L"次のアラーム 1月1日(土) 9:00"},
        {{workdays}, At(2026, 12, 9, 22, 40), L"次のアラーム 12月9日(水) 22:45", MinuteNumber(At(2026, 12, 9, 22, 45))},
    };
    for (const auto& c : cases) {
        Settings s;
        std::copy(c.alarms.begin(), c.alarms.end(), s.Alarms.begin());
        EXPECT_EQ(NextAlarmText(s, c.now, c.snooze), c.text) << c.now.date.day << " " << c.now.hour;
    }
}

}  // namespace
}  // namespace hv
