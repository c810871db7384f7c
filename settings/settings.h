// The user's settings as the program holds them while it runs: one `Settings` record,
// loaded once at start-up and changed in place by the dialogs, which save their group.
//
// Texts are UTF-16 (std::wstring, one wchar_t per code unit on every platform). Numbered
// families keep the numbering of their stored names: FontColor[1] is "FontColor1", up to
// FontColor[6]; the alarms alone count from 0 (Alarms[0] is stored under the number 1).
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string>

namespace hv {

// A fixed array indexed 1..N, for the families the registry numbers from 1.
template <typename T, std::size_t N>
struct NumberedArray {
    std::array<T, N> items{};

    T& operator[](std::size_t number) {
        assert(number >= 1 && number <= N);
        return items[number - 1];
    }
    const T& operator[](std::size_t number) const {
        assert(number >= 1 && number <= N);
        return items[number - 1];
    }
    static constexpr std::size_t size() { return N; }
    auto begin() { return items.begin(); }
    auto end() { return items.end(); }
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }
    bool operator==(const NumberedArray&) const = default;
};

// How the calendar face is backed (BackgroundType bits 0-1). The underlying value is what
// is stored; a stored 3 is kept as read.
enum class BackgroundKind : std::uint16_t {
    Plain = 0,    // BackgroundColor[1], or the gradation
    Desktop = 1,  // the desktop picture under the window
    Image = 2,    // the picture in ImageFile
};

// Two-colour gradation of a plain background (BackgroundType bits 2-3).
enum class Gradation : std::uint16_t {
    None = 0,
    LeftToRight = 1,
    TopToBottom = 2,
};

// When the time is spoken (Talk bits 16-19). Values 7..15 can be stored (a converted old
// setting may carry one) and are kept as read; the minute tick speaks every minute for them.
enum class AnnounceTiming : std::uint16_t {
    AnnounceNone = 0,            // "(なし)"
    AnnounceEveryMinute = 1,     // "1分毎"
    AnnounceEvery10Minutes = 2,  // "10分毎"
    AnnounceEvery15Minutes = 3,  // "15分毎"
    AnnounceEvery30Minutes = 4,  // "30分毎"
    AnnounceHourly = 5,          // "1時間毎"
    AnnounceFixedTime = 6,       // "定刻(&K):", at AnnounceHour:AnnounceMinute
};

// What an alarm plays (Attr byte 1 bits 3-4). A stored 3 is kept as read; it plays nothing.
enum class SoundKind : std::uint16_t {
    Wave = 0,     // "WAVEサウンド": WavFile
    Midi = 1,     // "MIDIシーケンサ": MidFile
    CdAudio = 2,  // "CDオーディオ": CdTrack, or a random track up to CdTrackCount
};

// Where an alarm's notification dialog appears (Attr byte 1 bits 0-2). Stored values 5..7
// are kept as read; show those at the screen centre.
enum class DialogPosition : std::uint16_t {
    ScreenCentre = 0,
    TopLeft = 1,
    BottomLeft = 2,
    TopRight = 3,
    BottomRight = 4,
};

// Bits of Settings::Style. The word is kept as read so that bits this version does not
// know survive a save.
inline constexpr std::uint32_t kStyleAlwaysOnTop = 1u << 0;
inline constexpr std::uint32_t kStyleTitleBarHidden = 1u << 1;
inline constexpr std::uint32_t kStyleHiddenInTray = 1u << 2;

inline constexpr int kAlarmCount = 20;
inline constexpr int kWeekdayCount = 7;  // weekdays are numbered 1 = Sunday ... 7 = Saturday
inline constexpr wchar_t kEveryWeekday[] = L"1111111";

inline constexpr std::uint16_t kDefaultSnoozeMinutes = 5;
inline constexpr std::uint16_t kMaxSnoozeMinutes = 60;
inline constexpr std::uint16_t kDefaultSnoozeLimit = 3;
inline constexpr std::uint16_t kSnoozeOff = 0;          // SnoozeLimit: the notice offers no snooze
inline constexpr std::uint16_t kMaxSnoozeCount = 10;    // the most a limit counts
inline constexpr std::uint16_t kSnoozeUnlimited = 255;  // SnoozeLimit: as often as the user likes

// One of the 20 alarms.
struct AlarmEntry {
    bool Enabled = false;
    std::uint16_t Hour = 0;    // 0..23
    std::uint16_t Minute = 0;  // 0..59
    // Seven characters "0" or "1": character 1 is Sunday ... character 7 Saturday.
    std::wstring Weekdays = kEveryWeekday;
    // The notification text; one beginning with "#exec " is a command instead.
    std::wstring Message;
    hv::SoundKind SoundKind = hv::SoundKind::Wave;
    std::wstring WavFile;
    std::wstring MidFile;
    bool Loop = false;              // the WAVE sound repeats until stopped
    std::uint16_t CdTrack = 0;      // 0..255
    bool CdRandom = false;          // a random track 1..CdTrackCount instead of CdTrack
    std::uint16_t CdTrackCount = 0;  // 0..255
    hv::DialogPosition DialogPosition = hv::DialogPosition::ScreenCentre;
    std::wstring IconFile;
    std::uint16_t IconIndex = 0;  // 0..255, icon number within IconFile

    // A weekly alarm that stays silent on Japan's national holidays (substitute and citizens'
    // holidays included).
    bool SkipHolidays = false;
    // A one-off alarm: year * 10000 + month * 100 + day. It goes off on that date at its time,
    // whatever Weekdays and SkipHolidays say, and then switches itself off (Enabled). 0: weekly.
    std::uint32_t OneOffDate = 0;
    // The notice's snooze button: the alarm goes off again SnoozeMinutes (1..60) after it was
    // pressed, up to SnoozeLimit times in a row (kSnoozeOff: no button; kSnoozeUnlimited).
    std::uint16_t SnoozeMinutes = kDefaultSnoozeMinutes;
    std::uint16_t SnoozeLimit = kDefaultSnoozeLimit;

    // Whether Weekdays allows the alarm on `weekday` (1 = Sunday ... 7 = Saturday).
    bool AllowsWeekday(int weekday) const {
        return weekday >= 1 && weekday <= kWeekdayCount && static_cast<std::size_t>(weekday) <= Weekdays.size() &&
               Weekdays[static_cast<std::size_t>(weekday - 1)] == L'1';
    }

    bool operator==(const AlarmEntry&) const = default;
};

// Every user setting. Each field holds its default until something else is loaded.
struct Settings {
    NumberedArray<std::wstring, 2> FontName{{L"Arial", L"Times New Roman"}};
    NumberedArray<float, 2> FontSize{{15.0f, 24.0f}};  // points
    NumberedArray<bool, 2> FontItalic{{false, false}};
    NumberedArray<bool, 2> FontBold{{false, false}};
    NumberedArray<std::uint32_t, 6> FontColor{{0x800000, 0x800080, 0x0000A0, 0x005A00, 0xFF0000, 0xC0C0C0}};

    hv::BackgroundKind BackgroundKind = hv::BackgroundKind::Plain;
    hv::Gradation Gradation = hv::Gradation::None;
    NumberedArray<std::uint32_t, 2> BackgroundColor{{0xC0C0C0, 0xC0C0C0}};  // COLORREF
    std::wstring ImageFile;

    std::uint32_t TranslucentRate = 0;  // percent, 0..100 (0 opaque)
    bool Translucent = false;           // layered window on

    // What the face shows beyond the weekdays and the days: a heading row with the shown
    // month, in the Western ("2026年12月") or the era form ("令和8年12月"), and the 六曜 under
    // each day. All off by default, the face as it always was.
    bool ShowHeading = false;
    bool HeadingEra = false;
    bool ShowRokuyo = false;

    hv::AnnounceTiming AnnounceTiming = hv::AnnounceTiming::AnnounceEveryMinute;
    std::uint16_t AnnounceHour = 0;    // fixed announcement time, 0..23
    std::uint16_t AnnounceMinute = 0;  // 0..59
    bool Clock24 = false;              // false: 12-hour mode ("12時間制"), true: "24時間制"
    std::uint8_t TalkSpeed = 2;        // 0..15, pause scale of the spoken time

    // Quiet hours: no time is spoken from QuietFrom (the first quiet minute) up to QuietTo
    // (the first minute spoken again); a range whose end is before its start runs past
    // midnight, and equal times make no quiet minute. Alarms are never silenced.
    bool QuietHours = false;
    std::uint16_t QuietFromHour = 22;  // 0..23
    std::uint16_t QuietFromMinute = 0;  // 0..59
    std::uint16_t QuietToHour = 7;      // 0..23
    std::uint16_t QuietToMinute = 0;    // 0..59
    // No time is spoken while Windows reports that the user is not to be disturbed
    // (presentation, a full-screen program).
    bool QuietOnFocus = true;

    // Announcements paused from the notification-area menu until this minute (MinuteNumber of
    // the local wall clock; 0 not paused). Alarms still ring.
    std::uint32_t TalkPausedUntil = 0;
    // The global key that speaks the time: bits 0-7 the virtual key, bit 8 Shift, 9 Ctrl,
    // 10 Alt (as the hotkey control gives it); 0 none. Ctrl+Alt+T unless the user changes it.
    std::uint16_t TalkHotkey = 0x0654;

    std::uint32_t Style = 0;  // kStyle... bits, other bits kept as read

    // Placement in twips; a left or top of -1 means "not placed yet" (kNotPlaced).
    std::int32_t WindowLeft = -1;
    std::int32_t WindowTop = -1;
    std::int32_t WindowWidth = 5400;
    std::int32_t WindowHeight = 3500;

    std::array<AlarmEntry, kAlarmCount> Alarms{};  // index i is stored under number i + 1

    bool AlwaysOnTop() const { return (Style & kStyleAlwaysOnTop) != 0; }
    bool TitleBarHidden() const { return (Style & kStyleTitleBarHidden) != 0; }
    bool HiddenInTray() const { return (Style & kStyleHiddenInTray) != 0; }
    void SetAlwaysOnTop(bool on) { SetStyleBit(kStyleAlwaysOnTop, on); }
    void SetTitleBarHidden(bool on) { SetStyleBit(kStyleTitleBarHidden, on); }
    void SetHiddenInTray(bool on) { SetStyleBit(kStyleHiddenInTray, on); }
    void SetStyleBit(std::uint32_t bit, bool on) { Style = on ? (Style | bit) : (Style & ~bit); }

    bool operator==(const Settings&) const = default;
};

}  // namespace hv
