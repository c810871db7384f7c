#include "app/tick_decisions.h"

#include "app/tray_commands.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "alarm/alarm_actions.h"
#include "face/holidays.h"

namespace hv {

namespace {

constexpr int kMinutesPerDay = 24 * 60;

// The minutes from `from` forward to `to` on a clock face of one day, 0..1439.
int MinutesForward(int from, int to) { return ((to - from) % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay; }

// The first minute a resume still catches up on: after the last handled, within kMaxLateMinutes.
long long FirstLateMinute(long long lastHandled, long long resumed) {
    return std::max(lastHandled + 1, resumed - kMaxLateMinutes + 1);
}

// By the shell's UserFocus values 0..7: whether it asks for quiet.
constexpr bool kShellAsksQuiet[] = {false, false, true, true, true, false, false, true};

// The timing's rule alone.
bool TimingAnnounces(const Settings& settings, int hour, int minute) {
    switch (settings.AnnounceTiming) {
    case AnnounceTiming::AnnounceNone:
        return false;
    case AnnounceTiming::AnnounceEveryMinute:
        return true;
    case AnnounceTiming::AnnounceEvery10Minutes:
        return minute % 10 == 0;
    case AnnounceTiming::AnnounceEvery15Minutes:
        return minute % 15 == 0;
    case AnnounceTiming::AnnounceEvery30Minutes:
        return minute == 0 || minute == 30;
    case AnnounceTiming::AnnounceHourly:
        return minute == 0;
    case AnnounceTiming::AnnounceFixedTime:
        return hour == settings.AnnounceHour && minute == settings.AnnounceMinute;
    }
    // A hand-edited Talk value: speaking every minute is the conservative reading.
    return true;
}

}  // namespace

bool InQuietHours(const Settings& settings, int hour, int minute) {
    if (!settings.QuietHours) return false;
    const int from = settings.QuietFromHour * 60 + settings.QuietFromMinute;
    const int to = settings.QuietToHour * 60 + settings.QuietToMinute;
    return MinutesForward(from, hour * 60 + minute) < MinutesForward(from, to);
}

bool FocusAsksQuiet(UserFocus focus) {
    if (focus == UserFocus::DoNotDisturb) return true;
    const auto index = static_cast<std::size_t>(focus);
    return index < std::size(kShellAsksQuiet) && kShellAsksQuiet[index];
}

bool FocusKeepsQuiet(const Settings& settings, UserFocus focus) {
    return settings.QuietOnFocus && FocusAsksQuiet(focus);
}

UserFocus WithNotificationMode(UserFocus shell, std::optional<int> mode) {
    const bool quietMode = mode == static_cast<int>(NotificationMode::PriorityOnly) ||
                           mode == static_cast<int>(NotificationMode::AlarmsOnly);
    return quietMode && !FocusAsksQuiet(shell) ? UserFocus::DoNotDisturb : shell;
}

bool ShouldAnnounce(const Settings& settings, int hour, int minute) {
    return TimingAnnounces(settings, hour, minute) && !InQuietHours(settings, hour, minute);
}

bool AlarmOnDate(const AlarmEntry& alarm, const Date& date, bool holiday) {
    if (alarm.OneOffDate != 0) return DateFromYmd(alarm.OneOffDate) == date;
    return alarm.AllowsWeekday(WeekdayOf(date)) && !(alarm.SkipHolidays && holiday);
}

bool AlarmGoesOff(const AlarmEntry& alarm, const Date& date, int hour, int minute) {
    // The holiday rules are asked last, and only for an alarm that skips holidays.
    return alarm.Enabled && alarm.Hour == hour && alarm.Minute == minute &&
           AlarmOnDate(alarm, date, alarm.SkipHolidays && IsHoliday(date));
}

std::vector<int> DueAlarms(const Settings& settings, const Date& date, int hour, int minute) {
    std::vector<int> due;
    for (int i = 0; i < kAlarmCount; ++i)
        if (AlarmGoesOff(settings.Alarms[static_cast<std::size_t>(i)], date, hour, minute)) due.push_back(i);
    return due;
}

bool SnoozeLeft(const AlarmEntry& alarm, int count) {
    return alarm.SnoozeLimit == kSnoozeUnlimited || count < alarm.SnoozeLimit;
}

std::vector<LateAlarm> LateAlarms(const Settings& settings, const std::array<AlarmEntry, kAlarmCount>& atPause,
                                  long long lastHandled, long long resumed) {
    std::vector<LateAlarm> late;
    for (long long minute = FirstLateMinute(lastHandled, resumed); minute <= resumed; ++minute) {
        const WallClock at = WallClockOfMinute(minute);
        for (int index : DueAlarms(settings, at.date, at.hour, at.minute)) {
            const AlarmEntry& then = atPause[static_cast<std::size_t>(index)];
            if (minute == resumed || AlarmGoesOff(then, at.date, at.hour, at.minute)) late.push_back({minute, index});
        }
    }
    return late;
}

TalkTimeArgs TalkArgs(const Settings& settings, int hour, int minute) {
    return {TimeText(hour, minute), static_cast<std::int16_t>(settings.Clock24 ? 1 : 0), settings.TalkSpeed};
}

void TickDispatcher::Start(const WallClock& now) {
    schedule_.Restart(now);
    RefreshCalendar(now.date);
}

void TickDispatcher::Resume(const WallClock& now) {
    if (!schedule_.started()) {
        Start(now);
        return;
    }
    // Inside a tick (an alarm's message box runs its own loop) the outer call handles the
    // minutes when it returns, as it would after any wait.
    if (busy_) return;
    // A sleep whose end was not reported: what it slept through is not replayed.
    if (std::exchange(suspended_, false)) schedule_.SkipMissed(now);
    RefreshCalendar(now.date);
    const long long resumed = MinuteNumber(now);
    const std::vector<LateAlarm> late = LateAlarms(settings_, alarmsAtPause_, schedule_.lastHandled(), resumed);
    // An alarm changed in the alarm dialog starts afresh: its snooze is forgotten.
    for (std::size_t i = 0; i < snoozes_.size(); ++i)
        if (!(settings_.Alarms[i] == alarmsAtPause_[i])) snoozes_[i] = {};
    DropSnoozesBefore(FirstLateMinute(schedule_.lastHandled(), resumed));
    // Handled before any alarm fires: a message box of one must not see them due again.
    schedule_.Restart(now);
    busy_ = true;
    for (std::size_t k = 0; k < late.size();) {
        std::vector<int> regular;
        const long long minute = late[k].minute;
        for (; k < late.size() && late[k].minute == minute; ++k) regular.push_back(late[k].index);
        Fire(regular, minute);
    }
    // Snoozes that fell due meanwhile go off once, late, like the alarms.
    Fire({}, resumed);
    busy_ = false;
}

void TickDispatcher::Fire(const std::vector<int>& regular, long long minute) {
    std::vector<std::pair<int, bool>> rings;  // index, a snooze's repeat
    for (int index : regular) rings.emplace_back(index, false);
    for (std::size_t i = 0; i < snoozes_.size(); ++i) {
        // At its minute, or, from Resume, an earlier one not yet dropped; an alarm that goes
        // off at its own time as well rings once, afresh.
        const int index = static_cast<int>(i);
        if (snoozes_[i].due && *snoozes_[i].due <= minute &&
            std::find(regular.begin(), regular.end(), index) == regular.end())
            rings.emplace_back(index, true);
    }
    bool switchedOff = false;
    for (const auto& [index, snoozed] : rings) {
        AlarmEntry& alarm = settings_.Alarms[static_cast<std::size_t>(index)];
        if (alarm.OneOffDate != 0 && !snoozed && alarm.Enabled) {
            alarm.Enabled = false;
            switchedOff = true;
        }
    }
    // Saved before anything goes off: a notice left open when the program ends must not
    // leave the alarm to go off again at its next start.
    if (switchedOff) actions_.AlarmsSwitchedOff();
    for (const auto& [index, snoozed] : rings) {
        SnoozeState& snooze = snoozes_[static_cast<std::size_t>(index)];
        snooze = {std::nullopt, snoozed ? snooze.count : 0};
        AlarmEntry& alarm = settings_.Alarms[static_cast<std::size_t>(index)];
        AlarmRing ring{index, snoozed, 0};
        // Only a notice can be snoozed: a command or a bare sound has nothing to press.
        if (ClassifyMessage(TrimSpaces(alarm.Message)).kind == MessageAction::Kind::Dialog) {
            if (std::find(ringing_.begin(), ringing_.end(), index) == ringing_.end()) ringing_.push_back(index);
            if (SnoozeLeft(alarm, snooze.count)) ring.snoozeMinutes = alarm.SnoozeMinutes;
        }
        actions_.FireAlarm(alarm, ring);
    }
}

void TickDispatcher::Snooze(const WallClock& now) {
    for (int index : std::exchange(ringing_, {})) {
        const AlarmEntry& alarm = settings_.Alarms[static_cast<std::size_t>(index)];
        SnoozeState& snooze = snoozes_[static_cast<std::size_t>(index)];
        if (!SnoozeLeft(alarm, snooze.count)) continue;
        const int minutes = std::clamp<int>(alarm.SnoozeMinutes, 1, kMaxSnoozeMinutes);
        snooze = {MinuteNumber(now) + minutes, snooze.count + 1};
    }
}

std::optional<long long> TickDispatcher::NextSnooze() const {
    std::optional<long long> next;
    for (const SnoozeState& snooze : snoozes_)
        if (snooze.due && (!next || *snooze.due < *next)) next = snooze.due;
    return next;
}

void TickDispatcher::DropSnoozesBefore(long long minute) {
    for (SnoozeState& snooze : snoozes_)
        if (snooze.due && *snooze.due < minute) snooze.due.reset();
}

void TickDispatcher::OnTimer(const WallClock& now) {
    if (busy_) return;
    busy_ = true;
    if (std::exchange(suspended_, false)) schedule_.SkipMissed(now);
    RefreshCalendar(now.date);
    MinuteRange due = schedule_.Take(now);
    // Minutes slept through or skipped by a clock set forward: their snoozes are dropped.
    DropSnoozesBefore(due.first);
    for (long long minute = due.first; minute <= due.last; ++minute) {
        // Only the minute under way is spoken: a time read out minutes late is wrong, an
        // alarm fired late is still wanted.
        HandleMinute(minute, minute == due.last);
    }
    busy_ = false;
}

void TickDispatcher::OnClockSet(const WallClock& now) {
    // A clock set back would hold a snooze for longer than it was asked for.
    for (SnoozeState& snooze : snoozes_)
        if (snooze.due && *snooze.due > MinuteNumber(now) + kMaxSnoozeMinutes) snooze.due.reset();
    schedule_.ClockSet(now);
    RefreshCalendar(now.date);
}

void TickDispatcher::OnResume(const WallClock& now) {
    suspended_ = false;
    schedule_.Restart(now);
    RefreshCalendar(now.date);
}

void TickDispatcher::RefreshCalendar(const Date& today) {
    if (today == calendarDate_ || !IsValidDate(today)) return;
    calendarDate_ = today;
    calendar_ = ComputeMonthCalendar(today);
    actions_.CalendarChanged();
}

void TickDispatcher::HandleMinute(long long minute, bool announce) {
    WallClock at = WallClockOfMinute(minute);
    Fire(DueAlarms(settings_, at.date, at.hour, at.minute), minute);
    // A pause from the notification-area menu silences the time, never an alarm.
    if (!announce || TalkPaused(settings_, minute) || !ShouldAnnounce(settings_, at.hour, at.minute)) return;
    // The system is asked only for a minute that would be spoken, and not at all with the rule off.
    if (settings_.QuietOnFocus && FocusKeepsQuiet(settings_, actions_.QueryUserFocus())) return;
    actions_.TalkTime(TalkArgs(settings_, at.hour, at.minute));
}

}  // namespace hv
