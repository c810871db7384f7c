// What one minute tick does, decided without the system: which alarms are due, whether the
// time is announced, and what is handed to the alarm actions and the library.
// Portable: the Win32 tick (app/minute_tick_win.h) supplies the clock and the timer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/tick_schedule.h"
#include "face/month_calendar.h"
#include "settings/settings.h"

namespace hv {

// "HH:MM", 24-hour, two digits each: the text the library speaks.
std::string TimeText(int hour, int minute);

// The announcement rule: the timing's minutes outside the quiet hours. Timings outside 0..6
// (a hand-edited value) announce every minute.
bool ShouldAnnounce(const Settings& settings, int hour, int minute);

// Whether hour:minute is a quiet minute: QuietHours on and the minute from QuietFrom up to,
// not including, QuietTo (past midnight when QuietTo is not after QuietFrom; the whole day
// when they are equal).
bool InQuietHours(const Settings& settings, int hour, int minute);

// What Windows says of the user, as the shell's notification state reports it (the values
// are the system's); Unknown when it cannot be read.
enum class UserFocus : int {
    Unknown = 0,
    NotPresent = 1,            // screen saver, locked, another user's session in front
    Busy = 2,                  // a full-screen program, or presentation settings
    FullScreenDirect3D = 3,    // an exclusive full-screen Direct3D program (a game)
    Presentation = 4,          // presentation settings on
    AcceptsNotifications = 5,  // none of the others
    QuietTime = 6,             // the first hour after a new user's first sign-in
    App = 7,                   // a full-screen store app in front
};

// Whether the time is kept unspoken for `focus`: with QuietOnFocus, while the user presents,
// plays or watches full screen or is in quiet time. Away (screen saver, locked) or unknown
// speaks: the clock talks to the room, and a failed query must not silence it.
bool FocusKeepsQuiet(const Settings& settings, UserFocus focus);

// Indices of the alarms due at hour:minute on `weekday` (1 = Sunday ... 7 = Saturday), in
// ascending order: Enabled, the weekday's character of Weekdays, Hour and Minute.
std::vector<int> DueAlarms(const Settings& settings, int weekday, int hour, int minute);

// The arguments of hvTalkTime: TimeText, Clock24 as the mode, TalkSpeed.
struct TalkTimeArgs {
    std::string text;
    std::int16_t mode = 0;
    std::uint8_t speed = 0;
    bool operator==(const TalkTimeArgs&) const = default;
};
TalkTimeArgs TalkArgs(const Settings& settings, int hour, int minute);

// What the tick does to the outside world; the program binds it to the alarm actions and
// hvplus.dll, tests to a recorder.
class TickActions {
public:
    virtual ~TickActions() = default;
    // One due alarm, by reference into Settings::Alarms (the call may trim its Message).
    virtual void FireAlarm(AlarmEntry& alarm, bool modal) = 0;
    virtual void TalkTime(const TalkTimeArgs& args) = 0;
    // What Windows says of the user now: asked once for each minute the announcement rule
    // would speak, and only while QuietOnFocus is on.
    virtual UserFocus QueryUserFocus() { return UserFocus::AcceptsNotifications; }
    // MonthCalendar was recomputed for a new date: the face must be repainted.
    virtual void CalendarChanged() = 0;
};

// The tick's state and rules over a wall clock that the caller reads: the schedule, the
// date the calendar was computed for, and the handling of each due minute.
class TickDispatcher {
public:
    // `calendarDate` is the date `calendar` was computed for, kept with it by whoever computed
    // it first (a default Date when nobody has): the dispatcher recomputes both when the date
    // changes.
    TickDispatcher(Settings& settings, MonthCalendar& calendar, Date& calendarDate, TickActions& actions)
        : settings_(settings), calendar_(calendar), calendarDate_(calendarDate), actions_(actions) {}

    // The timer starts (or restarts after a dialog or resume): nothing is handled now.
    void Start(const WallClock& now);
    // The timer fired: handles the due minutes (alarms of each, then the announcement of
    // the newest, unless the user's focus keeps it quiet). A call made while an earlier one is still running (a message box inside
    // an alarm dispatches timer messages) does nothing; the outer call catches up.
    void OnTimer(const WallClock& now);
    // The system clock was set, or the machine woke up.
    void OnClockSet(const WallClock& now);
    void OnResume(const WallClock& now);
    // The machine is about to sleep. The timer stays armed: the resume notice may never come
    // (a suspend that another program vetoed, modern standby), and a timer that fires proves
    // the machine awake. The first tick after the notice handles only the minute under way.
    void OnSuspend() { suspended_ = true; }
    bool suspended() const { return suspended_; }

    // The delay to arm the timer with after any of the calls above. Inside a tick (a message
    // box of an alarm runs its own message loop) the due minute waits for the outer call,
    // which re-arms when it returns: until then one wake-up per minute boundary, never a
    // timer re-armed at once over and over.
    int DelayMs(const WallClock& now) const { return busy_ ? MsToNextMinute(now) : schedule_.DelayMs(now); }
    const TickSchedule& schedule() const { return schedule_; }

private:
    void RefreshCalendar(const Date& today);
    void HandleMinute(long long minute, bool announce);

    Settings& settings_;
    MonthCalendar& calendar_;
    Date& calendarDate_;
    TickActions& actions_;
    TickSchedule schedule_;
    bool busy_ = false;
    bool suspended_ = false;
};

}  // namespace hv
