#include "app/tray_commands.h"

#include "hvplus/program_identity.h"

#include <array>
#include <cstdio>
#include <cwchar>
#include <utility>

namespace hv {
namespace {

constexpr long long kMinutesPerDay = 24 * 60;
constexpr int kMorningHour = 7;

// Minutes of the pause choices other than the morning.
constexpr std::array<std::pair<PauseChoice, int>, 2> kPauseMinutes{
    {{PauseChoice::HalfHour, 30}, {PauseChoice::Hour, 60}}};

}  // namespace

std::wstring ClockText(int hour, int minute) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%d:%02d", hour, minute);
    return text;
}

std::uint32_t PauseUntil(PauseChoice choice, const Settings& settings, const WallClock& now) {
    const long long minute = MinuteNumber(now);
    for (const auto& [c, minutes] : kPauseMinutes)
        if (c == choice) return static_cast<std::uint32_t>(minute + minutes);
    if (choice != PauseChoice::Morning) return 0;
    const int morning = settings.QuietHours ? settings.QuietToHour * 60 + settings.QuietToMinute : kMorningHour * 60;
    const long long today = minute - (now.hour * 60 + now.minute);
    const long long until = today + morning;
    return static_cast<std::uint32_t>(until > minute ? until : until + kMinutesPerDay);
}

bool TalkPaused(const Settings& settings, long long minute) { return minute < settings.TalkPausedUntil; }

long long WallClockMs(const WallClock& clock) {
    return MinuteNumber(clock) * 60000 + clock.second * 1000 + clock.millisecond;
}

WallClock WallClockOfMs(long long ms) {
    long long minute = ms / 60000, rest = ms % 60000;
    if (rest < 0) rest += 60000, --minute;
    WallClock clock = WallClockOfMinute(minute);
    clock.second = static_cast<int>(rest / 1000);
    clock.millisecond = static_cast<int>(rest % 1000);
    return clock;
}

long long SecondsToShow(long long msLeft) { return msLeft <= 0 ? 0 : (msLeft + 999) / 1000; }

int MsToNextSecond(long long msLeft) {
    if (msLeft <= 0) return 0;
    const int rest = static_cast<int>(msLeft % 1000);
    return rest == 0 ? 1000 : rest;
}

std::wstring ComposeTalkTrayTip(const Settings& settings, const WallClock& now, long long timerMsLeft,
                                const std::wstring& refusedHotkey, const std::wstring& nextAlarm) {
    std::wstring tip = kProgramTitle;
    const long long minute = MinuteNumber(now);
    if (TalkPaused(settings, minute)) {
        const WallClock end = WallClockOfMinute(settings.TalkPausedUntil);
        const long long days = DayNumber(end.date) - DayNumber(now.date);
        std::wstring day;
        if (days == 1) day = L"明日 ";
        else if (days > 1) day = std::to_wstring(end.date.month) + L"月" + std::to_wstring(end.date.day) + L"日 ";
        tip += L"\n発声停止中: " + day + ClockText(end.hour, end.minute) + L" まで";
    }
    if (timerMsLeft >= 0) {
        const long long seconds = SecondsToShow(timerMsLeft);
        wchar_t left[32];
        if (seconds >= 3600)
            std::swprintf(left, 32, L"%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
        else
            std::swprintf(left, 32, L"%lld:%02lld", seconds / 60, seconds % 60);
        const WallClock end = WallClockOfMs(WallClockMs(now) + timerMsLeft);
        tip += L"\nタイマー: 残り " + std::wstring(left) + L" (" + ClockText(end.hour, end.minute) + L" に終了)";
    }
    if (!nextAlarm.empty()) tip += L"\n" + nextAlarm;
    if (!refusedHotkey.empty()) tip += L"\n" + refusedHotkey + L" は他のプログラムが使用中です";
    return tip;
}

}  // namespace hv
