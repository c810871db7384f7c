#include "settings/settings_schema.h"

#include <algorithm>

#include "util/units.h"

namespace hv {

namespace {

constexpr std::uint32_t kFontItalicBit = 1u << 16;
constexpr std::uint32_t kFontBoldBit = 1u << 20;
constexpr std::uint32_t kClock24Bit = 1u << 20;
constexpr std::uint32_t kTranslucentBit = 1u << 8;
constexpr std::uint32_t kQuietHoursBit = 1u << 31;

constexpr std::uint8_t kAttrEnabled = 0x80;
constexpr std::uint8_t kAttrLoop = 0x40;
constexpr std::uint8_t kAttrCdRandom = 0x20;

template <typename E>
constexpr auto Raw(E value) {
    return static_cast<std::uint32_t>(value);
}

}  // namespace

FontStyle UnpackFontStyle(std::uint32_t value) {
    FontStyle style;
    style.Size = static_cast<float>(value & 0xFFFF) / 100.0f;
    style.Italic = (value & kFontItalicBit) != 0;
    style.Bold = (value & kFontBoldBit) != 0;
    return style;
}

std::uint32_t PackFontStyle(float size, bool italic, bool bold) {
    double hundredths = RoundHalfEven(static_cast<double>(size) * 100.0);
    if (!(hundredths >= 0)) hundredths = 0;  // negative or NaN
    auto sizeBits = static_cast<std::uint32_t>(std::min(hundredths, 65535.0));
    return (bold ? kFontBoldBit : 0) + sizeBits + (italic ? kFontItalicBit : 0);
}

void UnpackTalk(std::uint32_t value, Settings& settings) {
    settings.AnnounceMinute = static_cast<std::uint16_t>(value & 0xFF);
    settings.AnnounceHour = static_cast<std::uint16_t>((value >> 8) & 0xFF);
    settings.AnnounceTiming = static_cast<AnnounceTiming>((value >> 16) & 0xF);
    settings.Clock24 = (value & kClock24Bit) != 0;
    settings.TalkSpeed = static_cast<std::uint8_t>((value >> 24) & 0xF);
}

std::uint32_t PackTalk(const Settings& settings) {
    return (settings.AnnounceMinute & 0xFFu) + ((settings.AnnounceHour & 0xFFu) << 8) +
           ((Raw(settings.AnnounceTiming) & 0xFu) << 16) + (settings.Clock24 ? kClock24Bit : 0) +
           ((settings.TalkSpeed & 0xFu) << 24);
}

void UnpackQuietHours(std::uint32_t value, Settings& settings) {
    // A hand-edited time beyond the clock reads as its last hour or minute, which the
    // dialog's boxes can show and a save writes back unchanged.
    auto within = [](std::uint32_t bits, std::uint16_t maximum) {
        return static_cast<std::uint16_t>(std::min<std::uint32_t>(bits, maximum));
    };
    settings.QuietFromMinute = within(value & 0xFF, kMaxQuietMinute);
    settings.QuietFromHour = within((value >> 8) & 0xFF, kMaxQuietHour);
    settings.QuietToMinute = within((value >> 16) & 0xFF, kMaxQuietMinute);
    settings.QuietToHour = within((value >> 24) & 0x7F, kMaxQuietHour);
    settings.QuietHours = (value & kQuietHoursBit) != 0;
}

std::uint32_t PackQuietHours(const Settings& settings) {
    auto within = [](std::uint16_t field, std::uint16_t maximum) {
        return static_cast<std::uint32_t>(std::min(field, maximum));
    };
    return within(settings.QuietFromMinute, kMaxQuietMinute) + (within(settings.QuietFromHour, kMaxQuietHour) << 8) +
           (within(settings.QuietToMinute, kMaxQuietMinute) << 16) + (within(settings.QuietToHour, kMaxQuietHour) << 24) +
           (settings.QuietHours ? kQuietHoursBit : 0);
}

void UnpackBackgroundType(std::uint32_t value, Settings& settings) {
    settings.BackgroundKind = static_cast<BackgroundKind>(value & 3);
    settings.Gradation = static_cast<Gradation>((value >> 2) & 3);
}

std::uint32_t PackBackgroundType(const Settings& settings) {
    return (Raw(settings.Gradation) & 3u) * 4 + (Raw(settings.BackgroundKind) & 3u);
}

void UnpackTranslucentRate(std::uint32_t value, Settings& settings) {
    // 100 % and beyond (a hand-edited value; the dialog offers 0 to 99) would give an invisible
    // window that every click goes through.
    settings.TranslucentRate = std::min(value & 0xFFu, kMaxTranslucentRate);
    settings.Translucent = (value & kTranslucentBit) != 0;
}

std::uint32_t PackTranslucentRate(const Settings& settings) {
    return (settings.TranslucentRate & 0xFFu) + (settings.Translucent ? kTranslucentBit : 0);
}

void UnpackAlarmAttr(const AlarmAttr& attr, AlarmEntry& alarm) {
    alarm.Enabled = (attr[0] & kAttrEnabled) != 0;
    alarm.Loop = (attr[0] & kAttrLoop) != 0;
    alarm.CdRandom = (attr[0] & kAttrCdRandom) != 0;
    alarm.SoundKind = static_cast<SoundKind>((attr[0] >> 3) & 3);
    alarm.DialogPosition = static_cast<DialogPosition>(attr[0] & 7);
    alarm.Hour = attr[1];
    alarm.Minute = attr[2];
    alarm.Weekdays = WeekdaysFromByte(attr[3]);
    alarm.IconIndex = attr[4];
    alarm.CdTrack = attr[5];
    alarm.CdTrackCount = attr[6];
}

AlarmAttr PackAlarmAttr(const AlarmEntry& alarm) {
    std::uint32_t flags = (alarm.Enabled ? kAttrEnabled : 0) + (alarm.Loop ? kAttrLoop : 0) +
                          (alarm.CdRandom ? kAttrCdRandom : 0) + ((Raw(alarm.SoundKind) & 3u) << 3) +
                          (Raw(alarm.DialogPosition) & 7u);
    auto byte = [](std::uint32_t v) { return static_cast<std::uint8_t>(v & 0xFF); };
    return AlarmAttr{byte(flags),
                     byte(alarm.Hour),
                     byte(alarm.Minute),
                     WeekdaysToByte(alarm.Weekdays),
                     byte(alarm.IconIndex),
                     byte(alarm.CdTrack),
                     byte(alarm.CdTrackCount)};
}

std::uint32_t PackSnooze(const AlarmEntry& alarm) {
    return (alarm.SnoozeMinutes & 0xFFu) + ((alarm.SnoozeLimit & 0xFFu) << 8);
}

void UnpackSnooze(std::uint32_t value, AlarmEntry& alarm) {
    const auto minutes = static_cast<std::uint16_t>(value & 0xFF);
    const auto limit = static_cast<std::uint16_t>((value >> 8) & 0xFF);
    alarm.SnoozeMinutes = minutes == 0 ? kDefaultSnoozeMinutes : std::min(minutes, kMaxSnoozeMinutes);
    alarm.SnoozeLimit = limit == kSnoozeUnlimited ? limit : std::min(limit, kMaxSnoozeCount);
}

std::wstring WeekdaysFromByte(std::uint8_t bits) {
    std::wstring weekdays;
    for (int k = 1; k <= kWeekdayCount; ++k) weekdays += (bits >> (7 - k)) & 1 ? L'1' : L'0';
    return weekdays;
}

std::uint8_t WeekdaysToByte(std::wstring_view weekdays) {
    std::uint8_t bits = 0;
    for (std::size_t k = 1; k <= kWeekdayCount && k <= weekdays.size(); ++k) {
        if (weekdays[k - 1] == L'1') bits = static_cast<std::uint8_t>(bits | (1u << (7 - k)));
    }
    return bits;
}

std::wstring NumberedName(std::wstring_view base, int number) {
    // Formatted by hand: the wide printf behind std::to_wstring is slow, and this runs for
    // every alarm value of every load and save.
    wchar_t digits[12];
    std::size_t count = 0;
    unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::wstring name(base);
    name.reserve(base.size() + count + 1);
    if (number < 0) name += L'-';
    while (count > 0) name += digits[--count];
    return name;
}

}  // namespace hv
