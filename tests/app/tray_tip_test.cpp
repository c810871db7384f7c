// The next alarm as the tooltips tell it.
#include <gtest/gtest.h>

#include "app/tray_tip.h"
#include "tests/app/tick_test_clock.h"

namespace hv {
namespace {

using test::At;

AlarmEntry Alarm(std::uint16_t hour, std::uint16_t minute, const wchar_t* weekdays, std::uint32_t date = 0) {
    AlarmEntry a;
    a.Enabled = true;
    a.Hour = hour;
    a.Minute = minute;
    a.Weekdays = weekdays;
    a.OneOffDate = date;
    return a;
}

TEST(NextAlarm, TheSoonestEnabledAlarmAfterThisMinuteHolidaysSkippedDatesAndSnoozesCounted) {
    AlarmEntry workdays = Alarm(7, 0, L"0111110");
    workdays.SkipHolidays = true;
    AlarmEntry off = Alarm(6, 0, kEveryWeekday);
    off.Enabled = false;
    const struct {
        std::vector<AlarmEntry> alarms;
        WallClock now;
        const wchar_t* text;
        std::optional<long long> snooze = {};
    } cases[] = {
        {{}, At(2026, 12, 9, 22, 40), L""},
        {{off, Alarm(25, 0, kEveryWeekday)}, At(2026, 12, 9, 22, 40), L""},  // off; a stored hour that never comes
        {{workdays, off}, At(2026, 12, 9, 22, 40), L"次のアラーム 12月10日(木) 7:00"},
        {{workdays}, At(2026, 12, 9, 6, 59, 59), L"次のアラーム 12月9日(水) 7:00"},
        {{workdays}, At(2026, 12, 9, 7, 0, 1), L"次のアラーム 12月10日(木) 7:00"},
        {{workdays}, At(2026, 12, 11, 8, 0), L"次のアラーム 12月14日(月) 7:00"},   // over the weekend
        {{workdays}, At(2026, 12, 31, 8, 0), L"次のアラーム 1月4日(月) 7:00"},     // 元日 skipped
        {{workdays, Alarm(23, 5, L"0000000", 20270102)}, At(2026, 12, 31, 8, 0), L"次のアラーム 1月2日(土) 23:05"},
        {{Alarm(9, 0, kEveryWeekday, 20261209)}, At(2026, 12, 9, 9, 0), L""},  // its minute under way: done
        {{Alarm(9, 0, kEveryWeekday, 20280101)}, At(2026, 12, 9, 9, 0), L"次のアラーム 1月1日(土) 9:00"},
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
