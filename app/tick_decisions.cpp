#include "app/tick_decisions.h"

#include <cstdio>
#include <iterator>
#include <utility>

namespace hv {

std::string TimeText(int hour, int minute) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", hour % 100, minute % 100);
    return text;
}

namespace {

constexpr int kMinutesPerDay = 24 * 60;

// The minutes from `from` forward to `to` on a clock face of one day, 0..1439.
int MinutesForward(int from, int to) { return ((to - from) % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay; }

// By UserFocus value: whether it asks for quiet.
constexpr bool kFocusAsksQuiet[] = {false, false, true, true, true, false, true, true};

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
    const int length = MinutesForward(from, to);
    return length == 0 || MinutesForward(from, hour * 60 + minute) < length;
}

bool FocusKeepsQuiet(const Settings& settings, UserFocus focus) {
    const auto index = static_cast<std::size_t>(focus);
    return settings.QuietOnFocus && index < std::size(kFocusAsksQuiet) && kFocusAsksQuiet[index];
}

bool ShouldAnnounce(const Settings& settings, int hour, int minute) {
    return TimingAnnounces(settings, hour, minute) && !InQuietHours(settings, hour, minute);
}

std::vector<int> DueAlarms(const Settings& settings, int weekday, int hour, int minute) {
    std::vector<int> due;
    for (int i = 0; i < kAlarmCount; ++i) {
        const AlarmEntry& alarm = settings.Alarms[static_cast<std::size_t>(i)];
        if (!alarm.Enabled || !alarm.AllowsWeekday(weekday)) continue;
        if (alarm.Hour != hour || alarm.Minute != minute) continue;
        due.push_back(i);
    }
    return due;
}

TalkTimeArgs TalkArgs(const Settings& settings, int hour, int minute) {
    return {TimeText(hour, minute), static_cast<std::int16_t>(settings.Clock24 ? 1 : 0), settings.TalkSpeed};
}

void TickDispatcher::Start(const WallClock& now) {
    schedule_.Restart(now);
    RefreshCalendar(now.date);
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
    if (!announce || !ShouldAnnounce(settings_, at.hour, at.minute)) return;
    // The system is asked only for a minute that would be spoken, and not at all with the rule off.
    if (settings_.QuietOnFocus && FocusKeepsQuiet(settings_, actions_.QueryUserFocus())) return;
    actions_.TalkTime(TalkArgs(settings_, at.hour, at.minute));
}

}  // namespace hv
