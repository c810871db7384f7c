// What the settings tests share, over the memory store and over the real registry alike:
// a prompt with a scripted answer, loading and saving every group, and a record with no
// field at its default.
#pragma once

#include <string>

#include "settings/migration.h"
#include "settings/settings_io.h"

namespace hv::test {

struct ScriptedPrompt : ConfirmationPrompt {
    explicit ScriptedPrompt(bool answer) : answer(answer) {}
    bool AskYesNo(std::wstring_view title, std::wstring_view text) override {
        lastTitle = title, lastText = text, ++asked;
        return answer;
    }
    bool answer;
    int asked = 0;
    std::wstring lastTitle, lastText;
};

inline Settings LoadAll(SettingsStore& store, bool translucency = true) {
    Settings s;
    LoadSettings(store, s, translucency);
    LoadWindowPlacement(store, s);
    return s;
}

inline void SaveAll(SettingsStore& store, const Settings& s) {
    SaveAppearanceSettings(store, s);
    SaveAnnounceSettings(store, s);
    SaveTalkPause(store, s);
    SaveAlarmSettings(store, s);
    SaveWindowSettings(store, s, {double(s.WindowLeft), double(s.WindowTop), double(s.WindowWidth),
                                  double(s.WindowHeight)}, 0x00010001);
}

// Packed fields at the edges of their ranges, unknown Style bits, Japanese texts, an
// empty one and one of 1000 characters.
inline Settings EverythingChanged() {
    Settings s{.FontName = {{L"ＭＳ Ｐゴシック", L""}}, .FontSize = {{10.5f, 655.35f}}, .FontItalic = {{true, false}},
               .FontBold = {{false, true}}, .FontColor = {{0x010203, 0x020406, 0x030609, 0x04080C, 0x050A0F, 0x060C12}},
               .BackgroundKind = BackgroundKind::Image, .Gradation = Gradation::TopToBottom,
               .BackgroundColor = {{0x123456, 0xFFFFFF}}, .ImageFile = L"C:\\" + std::wstring(991, L'画') + L"\\a.jpg",
               .TranslucentRate = 99, .Translucent = true, .ShowHeading = true, .HeadingEra = true,
               .ShowRokuyo = true, .AnnounceTiming = AnnounceTiming::AnnounceFixedTime,
               .AnnounceHour = 23, .AnnounceMinute = 59, .Clock24 = true, .TalkSpeed = 15, .QuietHours = true,
               .QuietFromHour = 23, .QuietFromMinute = 59, .QuietToHour = 0, .QuietToMinute = 1, .QuietOnFocus = false,
               .TalkPausedUntil = 0xFFFFFFFF, .TalkHotkey = 0x0770,
               .Style = 0xA0000003,
               .WindowLeft = 1500, .WindowTop = -30, .WindowWidth = 9000, .WindowHeight = 4500, .Alarms = {}};
    for (int i = 0; i < kAlarmCount; ++i) {
        AlarmEntry& a = s.Alarms[static_cast<std::size_t>(i)];
        auto u16 = [](int v) { return static_cast<std::uint16_t>(v); };
        a = {.Enabled = i % 2 == 0, .Hour = u16(i), .Minute = u16(59 - i),
             .Weekdays = i % 3 ? L"0111110" : L"1000001", .Message = L"会議 " + std::to_wstring(i + 1),
             .SoundKind = static_cast<SoundKind>(i % 3), .WavFile = L"C:\\wav\\" + std::to_wstring(i) + L".wav",
             .MidFile = i % 4 ? L"" : L"D:\\曲.mid", .Loop = i % 5 == 0, .CdTrack = u16(255 - i),
             .CdRandom = i % 7 == 0, .CdTrackCount = u16(i * 10),
             .DialogPosition = static_cast<DialogPosition>(i % 5), .IconFile = L"shell32.dll",
             .IconIndex = u16(i * 12), .SkipHolidays = i % 2 == 1, .OneOffDate = i % 4 ? 0u : 20261201u + i,
             .SnoozeMinutes = u16(i * 3 + 1), .SnoozeLimit = u16(i == 19 ? kSnoozeUnlimited : i % 11)};
    }
    return s;
}

}  // namespace hv::test
