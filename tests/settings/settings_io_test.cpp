// Load and save over the memory store, which reads values by the same rules as the registry.
#include "settings/settings_io.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "settings/memory_store.h"
#include "settings/settings_schema.h"
#include "tests/settings/settings_test.h"

namespace hv {
namespace {

using test::LoadAll;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::wstring>;
using Op = MemorySettingsStore::Op;

TEST(SettingsLoad, FreshUserGetsEveryDefault) {
    MemorySettingsStore store;
    Settings d = test::EverythingChanged();  // every field is overwritten
    LoadSettings(store, d, true);
    LoadWindowPlacement(store, d);
    EXPECT_EQ(d, Settings{});
    EXPECT_FALSE(store.HasKey(L""));  // reading creates nothing
    EXPECT_EQ(std::tuple(d.FontName[1], d.FontName[2], d.FontSize[1], d.FontSize[2]),
              std::tuple(L"Arial", L"Times New Roman", 15.0f, 24.0f));
    // Silver, plain, every minute in 12-hour mode at speed 2, no style bit, opaque, 5400 x 3500 at no position.
    EXPECT_EQ(std::tuple(d.BackgroundColor[1], d.BackgroundKind, PackTalk(d),
                         d.Style | d.TranslucentRate | d.Translucent, d.WindowWidth, d.WindowHeight, d.WindowLeft < 0),
              std::tuple(0xC0C0C0u, BackgroundKind::Plain, 0x02010000u, 0u, 5400, 3500, true));
    EXPECT_EQ(PackAlarmAttr(d.Alarms[19]), (AlarmAttr{0, 0, 0, 0x7F, 0, 0, 0}));  // off at 00:00, every weekday
    EXPECT_EQ(d.Alarms[19].Weekdays, L"1111111");
}

// Relative luminance and contrast ratio as WCAG 2 defines them.
double Luminance(std::uint32_t color) {
    auto linear = [](std::uint32_t channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color & 0xFF) + 0.7152 * linear((color >> 8) & 0xFF) + 0.0722 * linear((color >> 16) & 0xFF);
}

TEST(SettingsDefaults, EveryTextColourReadsAtLeastFourAndAHalfToOneOnTheDefaultBackgroundAndKeepsItsMeaning) {
    const Settings d;
    auto rgb = [](std::uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); };
    std::printf("%-24s %-8s contrast on #%06X\n", "FontColor", "colour", rgb(d.BackgroundColor[1]));
    // The channel that carries each colour's meaning (red 0, green 8, blue 16; today: none but its own).
    for (const auto& [number, text, meaning] : {std::tuple{1, "weekdays' row", 16}, {2, "today", -1},
                                                {3, "Sundays and holidays", 0}, {4, "Monday to Friday", 8},
                                                {5, "Saturdays", 16}}) {
        const std::uint32_t color = d.FontColor[static_cast<std::size_t>(number)];
        const double ratio = (Luminance(d.BackgroundColor[1]) + 0.05) / (Luminance(color) + 0.05);
        std::printf("%d %-22s #%06X  %.2f:1\n", number, text, rgb(color), ratio);
        EXPECT_GE(ratio, 4.5) << text;
        if (meaning >= 0) { EXPECT_EQ(color & ~(0xFFu << meaning), 0u) << text; }
        if (number != 2) { EXPECT_NE(color, d.FontColor[2]) << text; }
    }
    EXPECT_EQ(d.FontColor[6], d.BackgroundColor[1]) << "no shadow by default";
}

// Stored words as the layouts give them. (The fuzzer saves what it loads and checks that
// it reloads unchanged, so the writing side is held to the same layouts.)
TEST(SettingsLoad, PackedValuesSplitIntoTheirFields) {
    MemorySettingsStore store;
    store.PutDword(L"", L"Talk", 0x01160715);
    store.PutDword(L"", L"FontStyle1", 0x00111194);
    store.PutDword(L"", L"BackgroundType", 2 * 4 + 1);
    store.PutDword(L"", L"TranslucentRate", 256 + 40);
    store.PutBinary(L"\\Alarm", L"Attr20", {244, 23, 45, 0x41, 3, 12, 99});
    Settings s = LoadAll(store);

    EXPECT_EQ(std::tuple(s.AnnounceHour, s.AnnounceMinute, s.AnnounceTiming, s.Clock24, s.TalkSpeed),
              std::tuple(7, 21, AnnounceTiming::AnnounceFixedTime, true, 1));
    EXPECT_EQ(std::tuple(s.FontSize[1], s.FontItalic[1], s.FontBold[1]), std::tuple(45.0f, true, true));
    EXPECT_EQ(std::tuple(s.BackgroundKind, s.Gradation, s.TranslucentRate, s.Translucent),
              std::tuple(BackgroundKind::Desktop, Gradation::TopToBottom, 40u, true));
    // 100 % and beyond would be an invisible window that clicks go through.
    for (const auto& [stored, rate] : {std::pair(99u, 99u), std::pair(100u, 99u), std::pair(255u, 99u)}) {
        store.PutDword(L"", L"TranslucentRate", 256 + stored);
        EXPECT_EQ(std::tuple(LoadAll(store).TranslucentRate, LoadAll(store).Translucent), std::tuple(rate, true));
    }
    // Weekdays: Sunday and Saturday.
    EXPECT_EQ(s.Alarms[19], (AlarmEntry{.Enabled = true, .Hour = 23, .Minute = 45, .Weekdays = L"1000001",
                                        .Message = L"", .SoundKind = SoundKind::CdAudio, .WavFile = L"", .MidFile = L"",
                                        .Loop = true, .CdTrack = 12, .CdRandom = true, .CdTrackCount = 99,
                                        .DialogPosition = DialogPosition::BottomRight, .IconFile = L"",
                                        .IconIndex = 3}));
}

// Quiet hours and the focus rule came after Talk: settings without them load as before,
// with quiet hours off (22:00 to 7:00 proposed) and the focus rule on.
TEST(SettingsLoad, QuietHoursAndFocusRuleFromTheirValuesOrTheirDefaults) {
    EXPECT_EQ(std::tuple(PackQuietHours(Settings{}), Settings{}.QuietOnFocus), std::tuple(kDefaultQuietHours, true));
    const struct {
        std::optional<std::uint32_t> quietHours, onFocus;
        bool on;
        int from, to;  // hour * 100 + minute
        bool focus;
    } cases[] = {
        {{}, {}, false, 2200, 700, true},                     // an older version's settings
        {0x86170D1Eu, 0u, true, 1330, 623, false},            // on, 13:30 to 6:23
        {0x003B0000u, 2u, false, 0, 59, true},                // any non-zero focus value is on
        {0xFFFFFFFFu, {}, true, 2359, 2359, true},            // hand-edited: beyond the clock reads as its end
        {0x183C183Cu, {}, false, 2359, 2359, true},
    };
    for (const auto& c : cases) {
        MemorySettingsStore store;
        store.PutDword(L"", L"Talk", 0x0216071E);
        if (c.quietHours) store.PutDword(L"", L"QuietHours", *c.quietHours);
        if (c.onFocus) store.PutDword(L"", L"QuietOnFocus", *c.onFocus);
        const Settings s = LoadAll(store);
        EXPECT_EQ(std::tuple(s.QuietHours, s.QuietFromHour * 100 + s.QuietFromMinute,
                             s.QuietToHour * 100 + s.QuietToMinute, s.QuietOnFocus, PackTalk(s)),
                  std::tuple(c.on, c.from, c.to, c.focus, 0x0216071Eu))
            << std::hex << c.quietHours.value_or(0);
    }
}

TEST(SettingsSave, TheAnnouncementGroupKeepsQuietHoursAndTheFocusRule) {
    MemorySettingsStore store;
    Settings s;
    UnpackQuietHours(0x86170D1E, s);
    s.QuietOnFocus = false;
    SaveAnnounceSettings(store, s);
    EXPECT_EQ(store.WrittenNames(L""), (Names{L"Talk", L"QuietHours", L"QuietOnFocus", L"TalkHotkey"}));
    EXPECT_EQ(std::tuple(store.Dword(L"", L"QuietHours"), store.Dword(L"", L"QuietOnFocus")),
              std::tuple(0x86170D1Eu, 0u));
    EXPECT_EQ(LoadAll(store), s);
}

TEST(SettingsLoad, ValuesTooLongForTheirReaderGiveTheirDefaults) {
    MemorySettingsStore store;
    const std::wstring longest((kMaxTextBytes - 2) / 2, L'画');
    store.PutText(L"", L"FontName1", longest);
    store.PutText(L"", L"FontName2", longest + L"x");
    store.PutBinary(L"", L"Talk", Bytes(5, 1));
    store.PutBinary(L"\\Alarm", L"Attr1", Bytes(8, 1));
    const Settings s = LoadAll(store);
    EXPECT_EQ(std::tuple(s.FontName[1] == longest, s.FontName[2], PackTalk(s), s.Alarms[0]),
              std::tuple(true, L"Times New Roman", kDefaultTalk, AlarmEntry{}));
}

TEST(SettingsLoad, KeysThatCannotBeOpenedGiveDefaultsAndWriteNothing) {
    MemorySettingsStore store;
    test::SaveAll(store, test::EverythingChanged());
    store.FailKey(L"", kStoreAccessDenied);
    store.FailKey(L"\\Alarm", kStoreAccessDenied);
    store.ClearOperations();
    EXPECT_EQ(LoadAll(store), Settings{});
    test::SaveAll(store, test::EverythingChanged());
    for (const auto& op : store.operations()) EXPECT_TRUE(op.op == Op::Open || op.op == Op::Create);
    EXPECT_EQ(store.OpenKeyCount(), 0u);
}

TEST(SettingsSave, AppearanceWritesEveryValueInOrder) {
    MemorySettingsStore store;
    SaveAppearanceSettings(store, Settings{});
    EXPECT_EQ(store.WrittenNames(L""),
              (Names{L"BackgroundType", L"BackgroundColor", L"BackgroundColor2", L"TranslucentRate", L"FontName1",
                     L"FontName2", L"FontStyle1", L"FontStyle2", L"FontColor1", L"FontColor2", L"FontColor3",
                     L"FontColor4", L"FontColor5", L"FontColor6", L"ImageFile", L"ShowHeading", L"HeadingEra",
                     L"ShowRokuyo"}));
    EXPECT_EQ(store.Text(L"", L"ImageFile"), L"");  // written even when empty
}

TEST(SettingsSave, PackedFieldsRoundHalvesToEvenAndStayWithinTheirBits) {
    EXPECT_EQ(PackFontStyle(10.125f, false, true), 1012u + (1u << 20));  // 1012.5
    EXPECT_EQ(PackFontStyle(10.375f, true, false), 1038u + (1u << 16));  // 1037.5
    EXPECT_EQ(PackFontStyle(700.0f, false, false), 0xFFFFu);  // not italic or bold
    EXPECT_EQ(PackFontStyle(-3.0f, false, false), 0u);
    Settings s;
    s.AnnounceMinute = s.AnnounceHour = 0x1FF;
    s.AnnounceTiming = static_cast<AnnounceTiming>(0x1F);
    s.TalkSpeed = 0xFF;
    s.TranslucentRate = 0x1FF;
    EXPECT_EQ(PackTalk(s), 0x0F0FFFFFu);  // Clock24 (bit 20) stays clear
    EXPECT_EQ(PackTranslucentRate(s), 0xFFu);
    EXPECT_EQ(WeekdaysFromByte(0xFF), L"1111111");  // bit 7 is not a day
    EXPECT_EQ(WeekdaysToByte(L"2x1"), 0x10);        // only "1" marks a day; missing days are unmarked
}

TEST(SettingsSave, AlarmAtItsDefaultsLeavesNoTrace) {
    MemorySettingsStore store;
    Settings s;
    AlarmEntry& a = s.Alarms[4];
    a.Hour = 7;  // disabled, but set to 07:00: stored
    a.Message = L"起きて";
    SaveAlarmSettings(store, s);
    EXPECT_EQ(store.Binary(L"\\Alarm", L"Attr5"), (Bytes{0, 7, 0, 0x7F, 0, 0, 0}));
    EXPECT_EQ(store.Text(L"\\Alarm", L"Message5"), L"起きて");
    EXPECT_EQ(store.ValueCount(L"\\Alarm"), 2u);

    a = AlarmEntry{};  // back to 00:00, every weekday, WAVE, message cleared
    SaveAlarmSettings(store, s);
    EXPECT_EQ(store.ValueCount(L"\\Alarm"), 0u);
}

// An alarm stored without snooze, holiday rule and date loads as before (weekly, holidays
// kept, 5 minutes 3 times); one back at those defaults leaves none of them behind.
TEST(SettingsAlarm, SnoozeHolidaysAndDateFromTheirValuesOrTheirDefaults) {
    const struct {
        std::optional<std::uint32_t> snooze, skip, date;
        std::uint16_t minutes, limit;
        bool skips;
        std::uint32_t oneOff;
    } cases[] = {
        {{}, {}, {}, 5, 3, false, 0},                      // stored before they existed
        {0x0A01u, 1u, 20261210u, 1, 10, true, 20261210},
        {0xFF3Cu, 7u, 0u, 60, kSnoozeUnlimited, true, 0},  // unlimited; any non-zero skips
        {0x0000u, 0u, 20270230u, 5, kSnoozeOff, false, 20270230},  // minutes 0 read as 5; no date, kept
        {0xFFFF0B3Du, {}, {}, 60, 10, false, 0},           // hand-edited: beyond the offered ranges
    };
    for (const auto& c : cases) {
        MemorySettingsStore store;
        if (c.snooze) store.PutDword(L"\\Alarm", L"Snooze7", *c.snooze);
        if (c.skip) store.PutDword(L"\\Alarm", L"SkipHolidays7", *c.skip);
        if (c.date) store.PutDword(L"\\Alarm", L"Date7", *c.date);
        const AlarmEntry a = LoadAll(store).Alarms[6];
        EXPECT_EQ(std::tuple(a.SnoozeMinutes, a.SnoozeLimit, a.SkipHolidays, a.OneOffDate),
                  std::tuple(c.minutes, c.limit, c.skips, c.oneOff))
            << std::hex << c.snooze.value_or(0);
        Settings s;
        s.Alarms[6] = a;
        SaveAlarmSettings(store, s);
        const std::size_t written = (PackSnooze(a) != kDefaultSnooze ? 1 : 0) + (c.skips ? 1 : 0) + (c.oneOff ? 1 : 0);
        EXPECT_EQ(store.ValueCount(L"\\Alarm"), written) << std::hex << c.snooze.value_or(0);
        EXPECT_EQ(LoadAll(store).Alarms[6], a);
    }
}

TEST(SettingsSave, WindowPlacementIsRoundedAndKeptWhileHidden) {
    MemorySettingsStore store;
    Settings s;
    s.Style = 0x100 | kStyleAlwaysOnTop;  // an unknown bit survives
    SaveWindowSettings(store, s, {1234.5, 1235.5, -7.5, 1e12}, 0x00010001);
    EXPECT_EQ(store.WrittenNames(L""), (Names{L"PosX", L"PosY", L"Width", L"Height", L"Style", L"Version"}));
    EXPECT_EQ(std::tuple(store.Dword(L"", L"PosX"), store.Dword(L"", L"PosY"), store.Dword(L"", L"Width"),
                         store.Dword(L"", L"Height")),
              std::tuple(1234u, 1236u, static_cast<std::uint32_t>(-8), 0x7FFFFFFFu));

    store.ClearOperations();
    s.SetHiddenInTray(true);
    s.SetAlwaysOnTop(false);
    SaveWindowSettings(store, s, {1, 2, 3, 4}, 0x00010001);
    EXPECT_EQ(store.WrittenNames(L""), (Names{L"Style", L"Version"}));
    const Settings next = LoadAll(store);
    EXPECT_EQ(std::tuple(next.Style, next.WindowLeft), std::tuple(0x104u, 1234));
}

// Every group tells whether it was wholly stored: not when its key cannot be created, one of
// its values cannot be written or deleted (Attr1 of an alarm at its defaults is deleted), or
// its key takes no write at all.
TEST(SettingsSave, EveryGroupTellsWhetherItWasStored) {
    const std::tuple<bool (*)(SettingsStore&, const Settings&), const wchar_t*, const wchar_t*> groups[] = {
        {SaveAnnounceSettings, L"", L"QuietHours"}, {SaveAppearanceSettings, L"", L"ImageFile"},
        {SaveAlarmSettings, L"\\Alarm", L"Attr1"},
        {[](SettingsStore& store, const Settings& s) { return SaveWindowSettings(store, s, {}, 1); }, L"", L"Style"}};
    for (const auto& [save, subkey, value] : groups) {
        for (int failure = 0; failure < 4; ++failure) {
            MemorySettingsStore store;
            if (failure == 1) store.FailKey(subkey, kStoreAccessDenied);
            if (failure > 1) store.FailWrite(subkey, failure == 2 ? value : L"");
            EXPECT_EQ(save(store, Settings{}), failure == 0) << value << " " << failure;
        }
    }
}

TEST(RegistryText, TrimAtNul) {
    EXPECT_EQ(TrimAtNul(std::wstring(L"C:\\WINDOWS\0junk", 15)), L"C:\\WINDOWS");
    EXPECT_EQ(TrimAtNul(L"no terminator"), L"");
}

}  // namespace
}  // namespace hv
