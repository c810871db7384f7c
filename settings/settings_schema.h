// How the settings are laid out in the registry: value names, stored defaults and the
// packed words and bytes that several fields share.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace hv {

// Stored defaults, used when a value is missing. They match the defaults of Settings.
inline constexpr std::uint32_t kDefaultBackgroundType = 0;
inline constexpr std::uint32_t kDefaultBackgroundColor = 0xC0C0C0;
// The day colours read at 4.5:1 or better on the default silver (navy weekdays' row, purple
// today, dark red Sundays and holidays, dark green weekdays, blue Saturdays); the shadow is off
// (silver on silver). Stored colours, whatever they are, are taken as stored.
inline constexpr std::array<std::uint32_t, 6> kDefaultFontColors{0x800000, 0x800080, 0x0000A0,
                                                                 0x005A00, 0xFF0000, 0xC0C0C0};
inline constexpr std::uint32_t kDefaultFontStyle1 = 1500;  // 15 pt
inline constexpr std::uint32_t kDefaultFontStyle2 = 2400;  // 24 pt
inline constexpr std::uint32_t kDefaultTalk = 0x02010000;  // every minute, 12-hour mode, speed 2, 00:00
inline constexpr std::uint32_t kDefaultQuietHours = 0x07001600;  // off, 22:00 to 7:00
inline constexpr std::uint32_t kDefaultQuietOnFocus = 1;          // on
inline constexpr std::uint32_t kDefaultStyle = 0;
inline constexpr std::uint32_t kDefaultTranslucentRate = 0;
inline constexpr std::int32_t kDefaultWidth = 5400;
inline constexpr std::int32_t kDefaultHeight = 3500;
inline constexpr std::int32_t kDefaultPosX = -1;
inline constexpr std::int32_t kDefaultPosY = -1;
inline constexpr wchar_t kDefaultFontName1[] = L"Arial";
inline constexpr wchar_t kDefaultFontName2[] = L"Times New Roman";

// FontStyle1/2: bits 0-15 the size in points x 100, bit 16 italic, bit 20 bold.
struct FontStyle {
    float Size = 0;
    bool Italic = false;
    bool Bold = false;
};
FontStyle UnpackFontStyle(std::uint32_t value);
// The size is rounded to hundredths (halves to even) and kept within the 16 bits it has,
// so an out-of-range size cannot spill into the italic and bold bits.
std::uint32_t PackFontStyle(float size, bool italic, bool bold);

// Talk: bits 0-7 AnnounceMinute, 8-15 AnnounceHour, 16-19 AnnounceTiming, 20 Clock24,
// 24-27 TalkSpeed. Each field is written within its bits.
void UnpackTalk(std::uint32_t value, Settings& settings);
std::uint32_t PackTalk(const Settings& settings);

// QuietHours: bits 0-7 QuietFromMinute, 8-15 QuietFromHour, 16-23 QuietToMinute, 24-30
// QuietToHour, bit 31 QuietHours (on). An hour above 23 reads as 23, a minute above 59 as 59.
// A range that ends where it starts holds no quiet minute.
// QuietOnFocus: 0 off, any other value on (written as 1).
// Both were added after Talk and stand beside it in the program's key; a missing value
// gives the default above (quiet hours off, 22:00 to 7:00; the focus rule on).
inline constexpr std::uint16_t kMaxQuietHour = 23;
inline constexpr std::uint16_t kMaxQuietMinute = 59;
void UnpackQuietHours(std::uint32_t value, Settings& settings);
std::uint32_t PackQuietHours(const Settings& settings);

// ShowHeading, HeadingEra and ShowRokuyo: what the face shows beyond the weekdays and the
// days; each 0 off, any other value on (written as 1). They were added after the appearance
// values and stand beside them in the program's key, saved with them; a missing value is off,
// so the face looks as it always did until the user switches one on.
//   ShowHeading  a heading row with the shown month above the weekday row
//   HeadingEra   that heading (and the window title naming another month) in the era form
//                "令和8年12月" instead of "2026年12月"
//   ShowRokuyo   the 六曜 of each day under its number
// TalkPausedUntil: the minute (minutes since 1970-01-01 00:00 of the local wall clock) up to
//   which no time is announced, set from the notification-area menu; missing or 0 not paused
//   (as before it existed); a minute already past is no pause. Alarms ring all the same.
// TalkHotkey: the key that speaks the time from any program: bits 0-7 its virtual key, bit 8
//   Shift, bit 9 Ctrl, bit 10 Alt, other bits ignored; 0 no key. Missing: Ctrl+Alt+T. Saved
//   with the announcement values, TalkPausedUntil on its own whenever the pause changes.
inline constexpr std::uint32_t kDefaultTalkPausedUntil = 0;
inline constexpr std::uint32_t kDefaultTalkHotkey = 0x0654;  // Ctrl+Alt+T
inline constexpr std::uint32_t kTalkHotkeyMask = 0x07FF;

inline constexpr std::uint32_t kDefaultShowHeading = 0;
inline constexpr std::uint32_t kDefaultHeadingEra = 0;
inline constexpr std::uint32_t kDefaultShowRokuyo = 0;

// BackgroundType: bits 0-1 BackgroundKind, 2-3 Gradation.
void UnpackBackgroundType(std::uint32_t value, Settings& settings);
std::uint32_t PackBackgroundType(const Settings& settings);

// TranslucentRate: bits 0-7 the rate in percent, bit 8 Translucent. A rate above
// kMaxTranslucentRate reads as kMaxTranslucentRate.
inline constexpr std::uint32_t kMaxTranslucentRate = 99;
void UnpackTranslucentRate(std::uint32_t value, Settings& settings);
std::uint32_t PackTranslucentRate(const Settings& settings);

// Attr<n>: the fixed-size fields of an alarm in 7 bytes (index 0 here is byte 1).
//   byte 1: bit 7 Enabled, 6 Loop, 5 CdRandom, 3-4 SoundKind, 0-2 DialogPosition
//   byte 2 Hour, 3 Minute, 4 weekdays (bit 6 Sunday ... bit 0 Saturday), 5 IconIndex,
//   6 CdTrack, 7 CdTrackCount
inline constexpr std::size_t kAlarmAttrSize = 7;
using AlarmAttr = std::array<std::uint8_t, kAlarmAttrSize>;
inline constexpr AlarmAttr kDefaultAlarmAttr{0, 0, 0, 0x7F, 0, 0, 0};
void UnpackAlarmAttr(const AlarmAttr& attr, AlarmEntry& alarm);
AlarmAttr PackAlarmAttr(const AlarmEntry& alarm);

// Values of an alarm that came after Attr<n> and its texts. They stand beside them in the
// alarm key, one of each per alarm numbered like them, and are saved with them (written when
// not at their default, deleted when they are, as the texts are); a missing value gives the
// default, so alarms stored before them load and go off as they always did, weekly and with
// no holiday kept.
//   Snooze<n>        DWORD: bits 0-7 SnoozeMinutes, bits 8-15 SnoozeLimit (0 the notice has no
//                    snooze button, 1..10 times in a row, 255 unlimited); other bits 0.
//                    Missing: 5 minutes, 3 times (0x0305). Minutes 0 read as 5, above 60 as 60;
//                    a limit of 11..254 reads as 10.
//   SkipHolidays<n>  DWORD: non-zero (written as 1), the weekly alarm stays silent on national
//                    holidays. Missing: 0.
//   Date<n>          DWORD: OneOffDate, year * 10000 + month * 100 + day (20261210): the alarm
//                    goes off once, on that date at its time, and then switches itself off
//                    (Attr<n> stored again with Enabled clear). Missing or 0: weekly. A value
//                    that is no date is kept as read and never goes off.
inline constexpr std::uint32_t kDefaultSnooze = 0x0305;
std::uint32_t PackSnooze(const AlarmEntry& alarm);
void UnpackSnooze(std::uint32_t value, AlarmEntry& alarm);

// The weekday byte and the seven-character Weekdays text. Only "1" marks a day; a text
// shorter than seven characters leaves the missing days unmarked.
std::wstring WeekdaysFromByte(std::uint8_t bits);
std::uint8_t WeekdaysToByte(std::wstring_view weekdays);

// The record of the conversion of the previous version's settings (settings/migration.h):
// Migrated, a DWORD of the main key: missing or 0 never converted, 1 done (the stored values
//   are the user's), 2 under way (a start was cut short by a failed write).
// MigrationPending, a text in the main key and in the alarm key while the conversion is under
//   way: the names of that key's values still to convert, separated by spaces. The program's
//   saves strike the names they store; missing, nothing is left in that key.
inline constexpr wchar_t kMigratedValueName[] = L"Migrated";
inline constexpr std::uint32_t kMigrationDone = 1;
inline constexpr std::uint32_t kMigrationUnderway = 2;
inline constexpr wchar_t kMigrationPendingValueName[] = L"MigrationPending";

// "Attr" and 3 give "Attr3".
std::wstring NumberedName(std::wstring_view base, int number);

}  // namespace hv
