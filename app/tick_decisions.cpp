#include "app/tick_decisions.h"

#include "app/tray_commands.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace hv {

namespace {

constexpr int kMinutesPerDay = 24 * 60;

// The minutes from `from` forward to `to` on a clock face of one day, 0..1439.
int MinutesForward(int from, int to) { return ((to - from) % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay; }

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

namespace {

bool IsDue(const AlarmEntry& alarm, int weekday, int hour, int minute) {
    return alarm.Enabled && alarm.AllowsWeekday(weekday) && alarm.Hour == hour && alarm.Minute == minute;
}

}  // namespace

std::vector<int> DueAlarms(const Settings& settings, int weekday, int hour, int minute) {
    std::vector<int> due;
    for (int i = 0; i < kAlarmCount; ++i)
        if (IsDue(settings.Alarms[static_cast<std::size_t>(i)], weekday, hour, minute)) due.push_back(i);
    return due;
}

std::vector<LateAlarm> LateAlarms(const Settings& settings, const std::array<AlarmEntry, kAlarmCount>& atPause,
                                  long long lastHandled, long long resumed) {
    std::vector<LateAlarm> late;
    for (long long minute = std::max(lastHandled + 1, resumed - kMaxLateMinutes + 1); minute <= resumed; ++minute) {
        const WallClock at = WallClockOfMinute(minute);
        const int weekday = WeekdayOf(at.date);
        for (int index : DueAlarms(settings, weekday, at.hour, at.minute)) {
            if (minute == resumed || IsDue(atPause[static_cast<std::size_t>(index)], weekday, at.hour, at.minute))
                late.push_back({minute, index});
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
    const std::vector<LateAlarm> late =
        LateAlarms(settings_, alarmsAtPause_, schedule_.lastHandled(), MinuteNumber(now));
    // Handled before any alarm fires: a message box of one must not see them due again.
    schedule_.Restart(now);
    busy_ = true;
    for (const LateAlarm& alarm : late)
        actions_.FireAlarm(settings_.Alarms[static_cast<std::size_t>(alarm.index)], false);
    busy_ = false;
}

void TickDispatcher::OnTimer(const WallClock& now) {
    if (busy_) return;
    busy_ = true;
    if (std::exchange(suspended_, false)) schedule_.SkipMissed(now);
    RefreshCalendar(now.date);
    MinuteRange due = schedule_.Take(now);
    for (long long minute = due.first; minute <= due.last; ++minute) {
        // Only the minute under way is spoken: a time read out minutes late is wrong, an
        // alarm fired late is still wanted.
        HandleMinute(minute, minute == due.last);
    }
    busy_ = false;
}

void TickDispatcher::OnClockSet(const WallClock& now) {
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
    int weekday = WeekdayOf(at.date);
    for (int index : DueAlarms(settings_, weekday, at.hour, at.minute))
        actions_.FireAlarm(settings_.Alarms[static_cast<std::size_t>(index)], false);
    // A pause from the notification-area menu silences the time, never an alarm.
    if (!announce || TalkPaused(settings_, minute) || !ShouldAnnounce(settings_, at.hour, at.minute)) return;
    // The system is asked only for a minute that would be spoken, and not at all with the rule off.
    if (settings_.QuietOnFocus && FocusKeepsQuiet(settings_, actions_.QueryUserFocus())) return;
    actions_.TalkTime(TalkArgs(settings_, at.hour, at.minute));
}

}  // namespace hv
