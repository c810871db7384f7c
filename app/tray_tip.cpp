#include "app/tray_tip.h"

#include <string>

#include "app/tick_decisions.h"
#include "app/tray_commands.h"
#include "face/holidays.h"

namespace hv {

namespace {

// Weekly alarms are looked for this many days ahead: a week, and the holidays an alarm may
// skip in a row many times over.
constexpr int kDaysAhead = 366;

bool ValidTime(const AlarmEntry& alarm) { return alarm.Hour < 24 && alarm.Minute < 60; }

void KeepSooner(std::optional<long long>& next, long long minute) {
    if (!next || minute < *next) next = minute;
}

}  // namespace

std::optional<long long> NextAlarmMinute(const Settings& settings, const WallClock& now,
                                         std::optional<long long> snoozeDue) {
    const long long nowMinute = MinuteNumber(now);
    const long long today = DayNumber(now.date);
    std::optional<long long> next = snoozeDue && *snoozeDue > nowMinute ? snoozeDue : std::nullopt;
    bool weekly = false;
    for (const AlarmEntry& alarm : settings.Alarms) {
        if (!alarm.Enabled || !ValidTime(alarm)) continue;
        if (alarm.OneOffDate == 0) {
            weekly = true;
            continue;
        }
        const Date date = DateFromYmd(alarm.OneOffDate);
        if (!IsValidDate(date)) continue;
        const long long minute = MinuteNumber({date, alarm.Hour, alarm.Minute});
        if (minute > nowMinute) KeepSooner(next, minute);
    }
    for (int ahead = 0; weekly && ahead <= kDaysAhead; ++ahead) {
        const Date date = DateFromDayNumber(today + ahead);
        const long long dayMinute = MinuteNumber({date});
        if (next && *next < dayMinute) break;
        const bool holiday = IsHoliday(date);
        for (const AlarmEntry& alarm : settings.Alarms) {
            if (!alarm.Enabled || !ValidTime(alarm) || alarm.OneOffDate != 0 || !AlarmOnDate(alarm, date, holiday))
                continue;
            const long long minute = dayMinute + alarm.Hour * 60 + alarm.Minute;
            if (minute > nowMinute) KeepSooner(next, minute);
        }
    }
    return next;
}

std::wstring NextAlarmText(const Settings& settings, const WallClock& now, std::optional<long long> snoozeDue) {
    const std::optional<long long> next = NextAlarmMinute(settings, now, snoozeDue);
    if (!next) return {};
    static constexpr wchar_t kWeekdayNames[] = L"日月火水木金土";
    const WallClock at = WallClockOfMinute(*next);
    return L"次のアラーム " + std::to_wstring(at.date.month) + L"月" + std::to_wstring(at.date.day) + L"日(" +
           kWeekdayNames[WeekdayOf(at.date) - 1] + L") " + ClockText(at.hour, at.minute);
}

}  // namespace hv
