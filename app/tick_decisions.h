// What one minute tick does, decided without the system: which alarms are due, whether the
// time is announced, and what is handed to the alarm actions and the library.
// Portable: the Win32 tick (app/minute_tick_win.h) supplies the clock and the timer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/tick_schedule.h"
#include "face/month_calendar.h"
#include "settings/settings.h"
#include "util/time_field.h"

namespace hv {

// The announcement rule: the timing's minutes outside the quiet hours. Timings outside 0..6
// (a hand-edited value) announce every minute.
bool ShouldAnnounce(const Settings& settings, int hour, int minute);

// Whether hour:minute is a quiet minute: QuietHours on and the minute from QuietFrom up to,
// not including, QuietTo (past midnight when QuietTo is before QuietFrom). A range that ends
// where it starts holds no minute: silencing the whole day would leave "every minute" chosen
// and nothing spoken, with nothing in the dialog to say why.
bool InQuietHours(const Settings& settings, int hour, int minute);

// What Windows says of the user: the shell's notification state (values 0..7 are the
// system's; Unknown when it cannot be read), or DoNotDisturb, the program's own value for
// the notification setting below.
enum class UserFocus : int {
    Unknown = 0,
    NotPresent = 1,            // screen saver, locked, another user's session in front
    Busy = 2,                  // a full-screen program, or presentation settings
    FullScreenDirect3D = 3,    // an exclusive full-screen Direct3D program (a game)
    Presentation = 4,          // presentation settings on
    AcceptsNotifications = 5,  // none of the others
    QuietTime = 6,             // the first hour after a new user's first sign-in
    App = 7,                   // a full-screen store app in front
    DoNotDisturb = 0x100,      // Windows' do not disturb: priority notifications or alarms only
};

// Whether `focus` asks the clock to keep quiet: while the user presents, plays or watches
// full screen, or has do not disturb on. Away (screen saver, locked) or unknown speaks: the
// clock talks to the room, and a failed query must not silence it. The shell's quiet time
// (the first hour after a new account's first sign-in) speaks too: it is no choice of the
// user's, and a fresh install that stays mute for an hour looks broken.
bool FocusAsksQuiet(UserFocus focus);
// The same, with QuietOnFocus on.
bool FocusKeepsQuiet(const Settings& settings, UserFocus focus);

// Windows' notification setting (ToastNotificationMode; the values are the system's). Only
// Windows 11 has it.
enum class NotificationMode : int { Unrestricted = 0, PriorityOnly = 1, AlarmsOnly = 2 };
// The user's focus once the notification setting is known (empty where Windows has none):
// priority only and alarms only keep the time unspoken, whatever the shell says; a mode
// this program does not know changes nothing.
UserFocus WithNotificationMode(UserFocus shell, std::optional<int> mode);

// Whether the alarm goes off on `date` at all, its time and Enabled aside: a one-off alarm
// on its date only (a stored value that is no date never), a weekly one on the days Weekdays
// marks, except national holidays (`holiday`: the date is one) when it skips them.
bool AlarmOnDate(const AlarmEntry& alarm, const Date& date, bool holiday);
// Whether the alarm goes off at hour:minute of `date`: Enabled, Hour, Minute and AlarmOnDate.
bool AlarmGoesOff(const AlarmEntry& alarm, const Date& date, int hour, int minute);

// Indices of the alarms due at hour:minute of `date`, in ascending order (AlarmGoesOff).
std::vector<int> DueAlarms(const Settings& settings, const Date& date, int hour, int minute);

// Whether the notice of an alarm that went off `count` times by snooze in a row offers
// snoozing once more: SnoozeLimit not reached (kSnoozeUnlimited never is, kSnoozeOff at once).
bool SnoozeLeft(const AlarmEntry& alarm, int count);

// An alarm that fell due while the tick rested (a settings dialog was open) still goes off
// when it resumes, if it was due in the minute of the resume or the 59 before it: a reminder
// a few minutes late is still wanted, but a dialog forgotten over lunch or overnight must not
// set off a pile of stale alarms, or start their commands, hours after their time.
inline constexpr long long kMaxLateMinutes = 60;

// One alarm at the minute (MinuteNumber) it fell due.
struct LateAlarm {
    long long minute = 0;
    int index = 0;
    bool operator==(const LateAlarm&) const = default;
};
// The alarms due after minute `lastHandled` up to and including `resumed` (minute numbers),
// within kMaxLateMinutes of `resumed`: by minute, then by index. Each minute's weekday is
// that of its own date, so an alarm of 23:59 matched across midnight keeps its day. An alarm
// counts as it was set when its minute passed (`atPause`) and as it is now: one the user
// switched off in the alarm dialog meanwhile stays quiet, and one made or moved there for a
// minute already past is meant for its next day; only for the minute of the resume itself
// does it go off now, as it was set for now.
std::vector<LateAlarm> LateAlarms(const Settings& settings, const std::array<AlarmEntry, kAlarmCount>& atPause,
                                  long long lastHandled, long long resumed);

// The arguments of hvTalkTime: TimeText, Clock24 as the mode, TalkSpeed.
struct TalkTimeArgs {
    std::string text;
    std::int16_t mode = 0;
    std::uint8_t speed = 0;
    bool operator==(const TalkTimeArgs&) const = default;
};
TalkTimeArgs TalkArgs(const Settings& settings, int hour, int minute);

// How one alarm goes off.
struct AlarmRing {
    int index = 0;
    bool snoozed = false;  // a snooze's repeat, not the alarm's own time
    int snoozeMinutes = 0;  // the notice offers snoozing for so long; 0: no snooze button
};

// What the tick does to the outside world; the program binds it to the alarm actions and
// hvplus.dll, tests to a recorder.
class TickActions {
public:
    virtual ~TickActions() = default;
    // One due alarm, by reference into Settings::Alarms (the call may trim its Message).
    virtual void FireAlarm(AlarmEntry& alarm, const AlarmRing& ring) = 0;
    // One-off alarms went off and switched themselves off in Settings: the alarms are saved.
    virtual void AlarmsSwitchedOff() = 0;
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

    // The timer starts (or restarts after a resume): nothing is handled now.
    void Start(const WallClock& now);
    // The timer rests while a settings dialog is open (the alarms as they are now are kept
    // for Resume), and restarts after it (it may have been told of clock changes and sleep
    // meanwhile): the alarms that fell due since the minute handled last fire now, late
    // (LateAlarms), once each; the times of that span, the minute under way included, stay
    // unspoken. From then on as after Start.
    void Pause() { alarmsAtPause_ = settings_.Alarms; }
    void Resume(const WallClock& now);
    // The timer fired: handles the due minutes (alarms of each, then the announcement of
    // the newest, unless the user's focus keeps it quiet). A call made while an earlier one is still running (a message box inside
    // an alarm dispatches timer messages) does nothing; the outer call catches up.
    void OnTimer(const WallClock& now);
    // The notice's snooze button: every alarm the open notice shows that may snooze once
    // more goes off again its SnoozeMinutes after `now`'s minute (counted in a row until it
    // goes off at its own time again). A snooze due while the program cannot fire it (the
    // machine asleep) is dropped, not replayed. Confirm: the notice was closed with OK.
    void Snooze(const WallClock& now);
    void Confirm() { ringing_.clear(); }
    // The minute (MinuteNumber) the earliest snooze goes off, if one waits.
    std::optional<long long> NextSnooze() const;

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
    // Fires the alarms of `minute` (regular ones, then snoozes due), one-off ones switched
    // off and saved first.
    void Fire(const std::vector<int>& regular, long long minute);
    void DropSnoozesBefore(long long minute);

    struct SnoozeState {
        std::optional<long long> due;  // minute number of the next repeat
        int count = 0;                 // repeats since the alarm went off at its own time
    };

    Settings& settings_;
    MonthCalendar& calendar_;
    Date& calendarDate_;
    TickActions& actions_;
    TickSchedule schedule_;
    std::array<AlarmEntry, kAlarmCount> alarmsAtPause_{};
    std::array<SnoozeState, kAlarmCount> snoozes_{};
    std::vector<int> ringing_;  // alarms the open notice shows, as fired since it opened
    bool busy_ = false;
    bool suspended_ = false;
};

}  // namespace hv
