// Conversion of the previous version's texts, over the memory stores.
#include "settings/migration.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "settings/memory_store.h"
#include "tests/settings/settings_test.h"

namespace hv {
namespace {

using Bytes = std::vector<std::uint8_t>;
using OldValues = std::vector<std::pair<const wchar_t*, const wchar_t*>>;

// Old settings of version 1.05 with `values` in `section`, converted with the answer No.
MemorySettingsStore Migrated(const wchar_t* section, const OldValues& values) {
    MemorySettingsStore store;
    MemoryOldSettingsStore old;
    old.Put(L"Others", L"Version", L"1.05");
    for (const auto& [key, text] : values) old.Put(section, key, text);
    test::ScriptedPrompt no(false);
    MigratePreviousSettings(store, old, no);
    EXPECT_EQ(store.OpenKeyCount(), 0u);
    return store;
}

// The values converted into `subkey`, in order, without the conversion's own record.
std::vector<std::wstring> ConvertedNames(const MemorySettingsStore& store, std::wstring_view subkey) {
    auto names = store.WrittenNames(subkey);
    std::erase_if(names, [](const std::wstring& n) { return n.starts_with(L"Migrat"); });
    return names;
}

void ExpectDwords(const MemorySettingsStore& store, const std::vector<std::pair<const wchar_t*, std::uint32_t>>& want) {
    for (const auto& [name, value] : want) EXPECT_EQ(store.Dword(L"", name), value) << name;
}

TEST(Migration, MainValuesAreConvertedInOrder) {
    MemorySettingsStore store = Migrated(
        L"Window", {{L"AlphabeticFontName", L"ＭＳ 明朝"}, {L"AlphabeticFontSize", L"10.5"}, {L"AlphabeticFontBold", L"1"},
                    {L"NumericFontItalic", L"True"}, {L"CalendarBackColor", L"16777215"}, {L"SaturdayColor", L"&HFF"},
                    {L"Width", L"6000"}, {L"PosY", L"-15"}, {L"TopMost", L"1"}, {L"Hide", L"1"},
                    {L"TransParent", L"1"}});
    EXPECT_EQ(ConvertedNames(store, L""),
              (std::vector<std::wstring>{L"FontName1", L"FontName2", L"FontStyle1", L"FontStyle2", L"BackgroundColor",
                                         L"FontColor1", L"FontColor2", L"FontColor3", L"FontColor4", L"FontColor5",
                                         L"Talk", L"Width", L"Height", L"PosX", L"PosY", L"Style",
                                         L"BackgroundType"}));
    EXPECT_EQ(std::tuple(store.Text(L"", L"FontName1"), store.Text(L"", L"FontName2")),
              std::tuple(L"ＭＳ 明朝", L"Times New Roman"));
    ExpectDwords(store, {{L"FontStyle1", 1050 + (1 << 20)}, {L"FontStyle2", 2400 + (1 << 16)},
                         {L"BackgroundColor", 0xFFFFFF}, {L"FontColor1", 0x800000}, {L"FontColor5", 255},
                         {L"Talk", 1 << 16},  // every minute, speed 0 rather than the default 2
                         {L"Width", 6000}, {L"Height", 3500}, {L"PosX", 0xFFFFFFFF}, {L"PosY", 0xFFFFFFF1},
                         {L"Style", 5}, {L"BackgroundType", 1}});
    EXPECT_EQ(test::LoadAll(store).FontColor[6], 0xC0C0C0u);  // no old counterpart
}

TEST(Migration, TalkFromTheOldTimingHourMinuteAndAmPm) {
    auto talk = [](const OldValues& values) { return Migrated(L"Talk", values).Dword(L"", L"Talk"); };
    EXPECT_EQ(talk({{L"Timing", L"3"}, {L"Hour", L"7"}, {L"Minute", L"21"}, {L"AmPm", L"0"}}), 0x00160715u);
    // The old choices were numbered differently; a value that is not a number, or does
    // not fit the four bits, counts as missing (every minute).
    const std::pair<const wchar_t*, std::uint32_t> timings[] = {
        {L"0", 1}, {L"1", 4}, {L"2", 5}, {L"3", 6}, {L"4", 0}, {L"5", 2}, {L"6", 3}, {L"9", 9},
        {L"abc", 1}, {L"16", 1}, {L"-1", 1}};
    for (const auto& [old, timing] : timings) EXPECT_EQ(talk({{L"Timing", old}}), timing << 16) << old;
    // AmPm 1 (the default) is the 12-hour clock; values other than 0 and 1 touch no other bit.
    for (const wchar_t* amPm : {L"1", L"2", L"True"}) EXPECT_EQ(talk({{L"AmPm", amPm}}), 1u << 16) << amPm;
    EXPECT_EQ(talk({{L"Hour", L"300"}, {L"Minute", L"-5"}}), 1u << 16);
}

TEST(Migration, AlarmsOneToNineAreConverted) {
    MemorySettingsStore store = Migrated(L"Alarm9", {{L"Enabled", L"1"}, {L"WaveLoop", L"-1"}, {L"RandomPlay", L"-1"},
                                                     {L"SoundType", L"2"}, {L"WinPos", L"4"}, {L"Hour", L"6"},
                                                     {L"Minute", L"45"}, {L"WeekEnabled", L"0111110"},
                                                     {L"IconPos", L"2"}, {L"Track", L"5"}, {L"MaxTrack", L"12"},
                                                     {L"Message", L"朝の会議"}, {L"WaveFile", L"C:\\a.wav"}});
    EXPECT_EQ(std::tuple(store.Binary(L"\\Alarm", L"Attr9"), store.Text(L"\\Alarm", L"Message9"),
                         store.Text(L"\\Alarm", L"WavFile9")),
              std::tuple(Bytes{244, 6, 45, 0x3E, 2, 5, 12}, L"朝の会議", L"C:\\a.wav"));
    // Old alarms at their defaults, and empty texts, write nothing: what is stored stays.
    EXPECT_EQ(ConvertedNames(store, L"\\Alarm"), (std::vector<std::wstring>{L"Attr9", L"Message9", L"WavFile9"}));
    // There never was an alarm 10.
    EXPECT_TRUE(ConvertedNames(Migrated(L"Alarm10", {{L"Enabled", L"1"}}), L"\\Alarm").empty());
}

TEST(Migration, KeysThatCannotBeCreatedStopTheConversionBeforeTheQuestion) {
    MemoryOldSettingsStore old;
    old.Put(L"Others", L"Version", L"1.05");
    old.Put(L"Alarm1", L"Enabled", L"1");
    test::ScriptedPrompt prompt(true);
    for (const wchar_t* failing : {kMainSubkey, kAlarmSubkey}) {
        MemorySettingsStore store;
        store.FailKey(failing, kStoreAccessDenied);
        MigratePreviousSettings(store, old, prompt);
        EXPECT_TRUE(store.WrittenNames(L"\\Alarm").empty());
        EXPECT_EQ(store.OpenKeyCount(), 0u);
    }
    EXPECT_EQ(prompt.asked + old.deleteCount(), 0);
}

TEST(Migration, ConvertsOnceAsksUntilYesAndACutShortConversionGoesOnWithWhatIsLeft) {
    MemoryOldSettingsStore old;
    old.Put(L"Others", L"Version", L"1.05");
    old.Put(L"Window", L"PosX", L"300");
    old.Put(L"Talk", L"Timing", L"2");  // hourly
    old.Put(L"Alarm2", L"Message", L"朝");
    test::ScriptedPrompt no(false), yes(true);
    {
        // Writes that fail: nothing is asked. The next start stores what was left, except
        // what the user has saved in between (the window moved, a message typed).
        MemorySettingsStore store;
        for (const wchar_t* value : {L"PosX", L"Talk"}) store.FailWrite(kMainSubkey, value);
        store.FailWrite(kAlarmSubkey, L"Message2");
        test::ScriptedPrompt first(false);
        MigratePreviousSettings(store, old, first);
        store.ClearFailures();
        Settings s = test::LoadAll(store);
        s.Alarms[1].Message = L"私の";
        ASSERT_TRUE(SaveAlarmSettings(store, s) && SaveWindowSettings(store, s, {450, 0, 5400, 3500}, 1));
        MigratePreviousSettings(store, old, first);
        EXPECT_EQ(std::tuple(first.asked, store.Dword(L"", L"PosX"), store.Dword(L"", L"Talk"),
                             store.Text(kAlarmSubkey, L"Message2"), store.Dword(L"", L"Migrated")),
                  std::tuple(1, 450u, 5u << 16, L"私の", 1u));
    }
    MemorySettingsStore store;
    MigratePreviousSettings(store, old, no);
    EXPECT_EQ(std::tuple(no.asked, store.Dword(L"", L"PosX"), store.Dword(L"", L"Migrated")), std::tuple(1, 300u, 1u));
    // Moved since, and answered No again: the move stays, nothing is written, the question comes back.
    store.PutDword(L"", L"PosX", 450);
    store.ClearOperations();
    MigratePreviousSettings(store, old, no);
    MigratePreviousSettings(store, old, yes);
    EXPECT_EQ(std::tuple(no.asked, yes.asked, old.deleteCount(), store.Dword(L"", L"PosX")), std::tuple(2, 1, 1, 450u));
    EXPECT_TRUE(store.WrittenNames(L"").empty() && store.WrittenNames(L"\\Alarm").empty());
    EXPECT_EQ(store.OpenKeyCount(), 0u);
}

TEST(Migration, OldNumbersAsTheyWereWritten) {
    const std::pair<const wchar_t*, double> numbers[] = {{L"10.5", 10.5}, {L" -1 ", -1}, {L"+3", 3}, {L".5", 0.5},
                                                         {L"5.", 5}, {L"1.5E2", 150}, {L"&HFF", 255},
                                                         {L"&HFFFFFFFF", -1}, {L"True", -1}, {L"FALSE", 0}};
    for (const auto& [text, value] : numbers) EXPECT_EQ(ParseOldNumber(text), value) << text;
    for (const wchar_t* bad : {L"", L" ", L"abc", L"1.2.3", L"1e", L"--1", L"inf", L"nan", L"１２", L"12abc",
                               L"&H", L"&H123456789", L"&HXY", L"1e999", L"."}) {
        EXPECT_FALSE(ParseOldNumber(bad)) << bad;
    }
}

TEST(Migration, UnconvertibleOldValuesFallBackToTheirDefaults) {
    // A font size of 1000 would spill into the italic and bold bits.
    MemorySettingsStore window = Migrated(
        L"Window", {{L"AlphabeticFontSize", L"十五"}, {L"NumericFontSize", L"1000"}, {L"NumericFontBold", L"True"},
                    {L"Width", L"wide"}, {L"PosX", L"99999999999"}, {L"TopMost", L"-1"}, {L"TransParent", L"-1"}});
    ExpectDwords(window, {{L"FontStyle1", 1500}, {L"FontStyle2", 2400 + (1 << 20)}, {L"Width", 5400},
                          {L"PosX", 0xFFFFFFFF}, {L"Style", 1}, {L"BackgroundType", 1}});

    const std::pair<OldValues, Bytes> alarms[] = {
        {{{L"Enabled", L"2"}, {L"Hour", L"300"}, {L"Minute", L"29.5"}, {L"Track", L"-1"}, {L"MaxTrack", L"x"},
          {L"IconPos", L"255.4"}, {L"WeekEnabled", L"101"}},
         {0, 0, 30, 0x50, 255, 0, 0}},  // byte 1 would be 256
        {{{L"WeekEnabled", L"9999999"}, {L"Hour", L"1"}}, {0, 1, 0, 0x7F, 0, 0, 0}},
        {{{L"WeekEnabled", L"1x00001"}}, {0, 0, 0, 0x41, 0, 0, 0}}};
    for (const auto& [values, attr] : alarms) {
        EXPECT_EQ(Migrated(L"Alarm1", values).Binary(L"\\Alarm", L"Attr1"), attr) << values.front().second;
    }
}

}  // namespace
}  // namespace hv
