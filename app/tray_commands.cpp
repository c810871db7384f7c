#include "app/tray_commands.h"

#include <array>
#include <cstdio>
#include <cwchar>
#include <utility>

namespace hv {
namespace {

constexpr long long kMinutesPerDay = 24 * 60;
constexpr int kMorningHour = 7;

// Minutes of the pause choices other than the morning.
constexpr std::array<std::pair<PauseChoice, int>, 2> kPauseMinutes{{{PauseChoice::HalfHour, 30}, {PauseChoice::Hour, 60}}};

// Keys with names of their own (the rest: letters and digits as themselves, F1..F24).
constexpr std::array<std::pair<int, const wchar_t*>, 22> kKeyNames{{
    {0x08, L"Backspace"}, {0x09, L"Tab"}, {0x0D, L"Enter"}, {0x13, L"Pause"}, {0x1B, L"Esc"}, {0x20, L"Space"},
    {0x21, L"PageUp"}, {0x22, L"PageDown"}, {0x23, L"End"}, {0x24, L"Home"}, {0x25, L"Left"}, {0x26, L"Up"},
    {0x27, L"Right"}, {0x28, L"Down"}, {0x2D, L"Insert"}, {0x2E, L"Delete"}, {0x6A, L"Num *"}, {0x6B, L"Num +"},
    {0x6D, L"Num -"}, {0x6E, L"Num ."}, {0x6F, L"Num /"}, {0x91, L"ScrollLock"}}};

std::wstring KeyName(int vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::wstring(1, static_cast<wchar_t>(vk));
    if (vk >= 0x60 && vk <= 0x69) return L"Num " + std::to_wstring(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87) return L"F" + std::to_wstring(vk - 0x6F);
    for (const auto& [key, name] : kKeyNames)
        if (key == vk) return name;
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%02X", vk);
    return text;
}

std::wstring Clock(int hour, int minute) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%d:%02d", hour, minute);
    return text;
}

}  // namespace

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

std::wstring HotkeyText(std::uint16_t hotkey) {
    const int vk = hotkey & 0xFF;
    if (vk == 0) return L"";
    std::wstring text;
    if (hotkey & 0x200) text += L"Ctrl+";
    if (hotkey & 0x100) text += L"Shift+";
    if (hotkey & 0x400) text += L"Alt+";
    return text + KeyName(vk);
}

std::wstring ComposeTalkTrayTip(const Settings& settings, const WallClock& now, long long timerMsLeft,
                                const std::wstring& refusedHotkey) {
    std::wstring tip = L"Horavox";
    const long long minute = MinuteNumber(now);
    if (TalkPaused(settings, minute)) {
        const WallClock end = WallClockOfMinute(settings.TalkPausedUntil);
        const long long days = DayNumber(end.date) - DayNumber(now.date);
        std::wstring day;
        if (days == 1) day = L"明日 ";
        else if (days > 1) day = std::to_wstring(end.date.month) + L"月" + std::to_wstring(end.date.day) + L"日 ";
        tip += L"\n発声停止中: " + day + Clock(end.hour, end.minute) + L" まで";
    }
    if (timerMsLeft >= 0) {
        const long long seconds = SecondsToShow(timerMsLeft);
        wchar_t left[32];
        if (seconds >= 3600)
            std::swprintf(left, 32, L"%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
        else
            std::swprintf(left, 32, L"%lld:%02lld", seconds / 60, seconds % 60);
        const WallClock end = WallClockOfMs(WallClockMs(now) + timerMsLeft);
        tip += L"\nタイマー: 残り " + std::wstring(left) + L" (" + Clock(end.hour, end.minute) + L" に終了)";
    }
    if (!refusedHotkey.empty()) tip += L"\n" + refusedHotkey + L" は他のプログラムが使用中です";
    return tip;
}

}  // namespace hv
