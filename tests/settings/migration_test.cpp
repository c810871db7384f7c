#include "settings/migration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/memory_store.h"
#include "settings/settings_io.h"
#include "settings/settings_schema.h"

namespace hv {
namespace {

class ScriptedPrompt : public ConfirmationPrompt {
public:
    explicit ScriptedPrompt(bool answer) : answer_(answer) {}
    bool AskYesNo(std::wstring_view title, std::wstring_view text) override {
        ++asked;
        lastTitle = title;
        lastText = text;
        return answer_;
    }
    int asked = 0;
    std::wstring lastTitle;
    std::wstring lastText;

private:
    bool answer_;
};

MemoryOldSettingsStore OldStoreWithVersion(std::wstring_view version = L"1.05") {
    MemoryOldSettingsStore old;
    old.Put(L"Others", L"Version", version);
    return old;
}

Settings LoadAll(MemorySettingsStore& store) {
    Settings s;
    LoadSettings(store, s, true);
    LoadWindowPlacement(store, s);
    return s;
}

std::uint32_t MigratedTalk(const wchar_t* key, const wchar_t* value) {
    MemorySettingsStore store;
    MemoryOldSettingsStore old = OldStoreWithVersion();
    if (value) old.Put(L"Talk", key, value);
    ScriptedPrompt prompt(false);
    MigratePreviousSettings(store, old, prompt);
    return store.Dword(L"", L"Talk").value_or(0xDEAD);
}

TEST(Migration, WithoutTheVersionMarkerNothingHappens) {
    MemorySettingsStore store;
    MemoryOldSettingsStore old;
    old.Put(L"Window", L"Width", L"9000");
    old.Put(L"Alarm1", L"Enabled", L"1");
    ScriptedPrompt prompt(true);
    MigratePreviousSettings(store, old, prompt);
    EXPECT_TRUE(store.operations().empty());
    EXPECT_EQ(prompt.asked, 0);
    EXPECT_EQ(old.deleteCount(), 0);
}

TEST(Migration, MainValuesAreConvertedInOrder) {
    MemorySettingsStore store;
    MemoryOldSettingsStore old = OldStoreWithVersion();
    old.Put(L"Window", L"AlphabeticFontName", L"ＭＳ 明朝");
    old.Put(L"Window", L"AlphabeticFontSize", L"10.5");
    old.Put(L"Window", L"AlphabeticFontBold", L"1");
    old.Put(L"Window", L"AlphabeticFontItalic", L"0");
    old.Put(L"Window", L"NumericFontItalic", L"1");
    old.Put(L"Window", L"CalendarBackColor", L"16777215");
    old.Put(L"Window", L"SaturdayColor", L"255");
    old.Put(L"Talk", L"Timing", L"3");
    old.Put(L"Talk", L"Hour", L"7");
    old.Put(L"Talk", L"Minute", L"21");
    old.Put(L"Talk", L"AmPm", L"0");
    old.Put(L"Window", L"Width", L"6000");
    old.Put(L"Window", L"PosY", L"-15");
    old.Put(L"Window", L"TopMost", L"1");
    old.Put(L"Window", L"Hide", L"1");
    old.Put(L"Window", L"TransParent", L"1");
    ScriptedPrompt prompt(false);
    MigratePreviousSettings(store, old, prompt);

    EXPECT_EQ(store.WrittenNames(L""),
              (std::vector<std::wstring>{L"FontName1", L"FontName2", L"FontStyle1", L"FontStyle2", L"BackgroundColor",
                                         L"FontColor1", L"FontColor2", L"FontColor3", L"FontColor4", L"FontColor5",
                                         L"Talk", L"Width", L"Height", L"PosX", L"PosY", L"Style",
                                         L"BackgroundType"}));
    EXPECT_EQ(store.Text(L"", L"FontName1"), L"ＭＳ 明朝");
    EXPECT_EQ(store.Text(L"", L"FontName2"), L"Times New Roman");
    EXPECT_EQ(store.Dword(L"", L"FontStyle1"), 1049626u);  // 1050 + bold
    EXPECT_EQ(store.Dword(L"", L"FontStyle2"), 2400u + 65536u);
    EXPECT_EQ(store.Dword(L"", L"BackgroundColor"), 0xFFFFFFu);
    EXPECT_EQ(store.Dword(L"", L"FontColor1"), 0x800000u);
    EXPECT_EQ(store.Dword(L"", L"FontColor5"), 255u);
    EXPECT_EQ(store.Dword(L"", L"Talk"), 0x00160715u);  // speed 0, not the default 2
    EXPECT_EQ(store.Dword(L"", L"Width"), 6000u);
    EXPECT_EQ(store.Dword(L"", L"Height"), 3500u);
    EXPECT_EQ(store.Dword(L"", L"PosX"), static_cast<std::uint32_t>(-1));
    EXPECT_EQ(store.Dword(L"", L"PosY"), static_cast<std::uint32_t>(-15));
    EXPECT_EQ(store.Dword(L"", L"Style"), 5u);
    EXPECT_EQ(store.Dword(L"", L"BackgroundType"), 1u);
    EXPECT_EQ(store.OpenKeyCount(), 0u);

    Settings s = LoadAll(store);
    EXPECT_EQ(s.TalkSpeed, 0);
    EXPECT_TRUE(s.Clock24);
    EXPECT_EQ(s.AnnounceTiming, AnnounceTiming::AnnounceFixedTime);
    EXPECT_EQ(s.FontColor[6], 0xC0C0C0u);  // no old counterpart
    EXPECT_EQ(s.WindowTop, -15);
}

TEST(Migration, OldTimingsAreRenumbered) {
    constexpr std::uint32_t kTiming = 0xF0000;
    EXPECT_EQ(MigratedTalk(L"Timing", nullptr) & kTiming, 1u << 16);  // missing: every minute
    const std::pair<const wchar_t*, std::uint32_t> cases[] = {
        {L"0", 1}, {L"1", 4}, {L"2", 5}, {L"3", 6}, {L"4", 0}, {L"5", 2}, {L"6", 3}, {L"9", 9},
        // Not a number, or beyond the four bits: as if missing.
        {L"abc", 1}, {L"16", 1}, {L"-1", 1}};
    for (const auto& [old, timing] : cases) EXPECT_EQ(MigratedTalk(L"Timing", old) & kTiming, timing << 16) << old;
}

TEST(Migration, AmPmBecomesClock24) {
    constexpr std::uint32_t kClock24 = 1u << 20;
    EXPECT_EQ(MigratedTalk(L"AmPm", nullptr), 1u << 16);  // 12-hour, speed 0
    EXPECT_EQ(MigratedTalk(L"AmPm", L"0"), kClock24 | (1u << 16));
    EXPECT_EQ(MigratedTalk(L"AmPm", L"1") & kClock24, 0u);
    // Values other than 0 and 1 leave the other bits of Talk alone.
    EXPECT_EQ(MigratedTalk(L"AmPm", L"2"), 1u << 16);
    EXPECT_EQ(MigratedTalk(L"AmPm", L"True"), 1u << 16);
    EXPECT_EQ(MigratedTalk(L"Hour", L"300") & 0xFF00u, 0u);
}

TEST(Migration, AlarmsOneToNineAreConverted) {
    MemorySettingsStore store;
    store.PutBinary(L"\\Alarm", L"Attr1", {0x80, 6, 0, 0x7F, 0, 0, 0});
    store.PutBinary(L"\\Alarm", L"Attr10", {0x80, 10, 0, 0x7F, 0, 0, 0});
    MemoryOldSettingsStore old = OldStoreWithVersion();
    const std::pair<const wchar_t*, const wchar_t*> nine[] = {
        {L"Enabled", L"1"}, {L"WaveLoop", L"-1"}, {L"RandomPlay", L"-1"}, {L"SoundType", L"2"}, {L"WinPos", L"4"},
        {L"Hour", L"6"},    {L"Minute", L"45"},   {L"WeekEnabled", L"0111110"}, {L"IconPos", L"2"},
        {L"Track", L"5"},   {L"MaxTrack", L"12"}, {L"Message", L"朝の会議"},     {L"WaveFile", L"C:\\a.wav"},
        {L"IconFile", L"moricons.dll"}};
    for (const auto& [key, value] : nine) old.Put(L"Alarm9", key, value);
    old.Put(L"Alarm10", L"Enabled", L"1");  // there never was an alarm 10
    ScriptedPrompt prompt(false);
    MigratePreviousSettings(store, old, prompt);

    EXPECT_EQ(store.Binary(L"\\Alarm", L"Attr9"), (std::vector<std::uint8_t>{244, 6, 45, 0x3E, 2, 5, 12}));
    EXPECT_EQ(store.Text(L"\\Alarm", L"Message9"), L"朝の会議");
    EXPECT_EQ(store.Text(L"\\Alarm", L"WavFile9"), L"C:\\a.wav");
    EXPECT_EQ(store.Text(L"\\Alarm", L"IconFile9"), L"moricons.dll");
    EXPECT_EQ(store.Find(L"\\Alarm", L"MidFile9"), nullptr);
    // Old alarms at their defaults write nothing: what is stored stays.
    EXPECT_EQ(store.WrittenNames(L"\\Alarm"),
              (std::vector<std::wstring>{L"Attr9", L"Message9", L"WavFile9", L"IconFile9"}));
    EXPECT_EQ(store.Binary(L"\\Alarm", L"Attr1"), (std::vector<std::uint8_t>{0x80, 6, 0, 0x7F, 0, 0, 0}));
    EXPECT_EQ(store.Binary(L"\\Alarm", L"Attr10"), (std::vector<std::uint8_t>{0x80, 10, 0, 0x7F, 0, 0, 0}));

    AlarmEntry a = LoadAll(store).Alarms[8];
    EXPECT_TRUE(a.Enabled && a.Loop && a.CdRandom);
    EXPECT_EQ(a.SoundKind, SoundKind::CdAudio);
    EXPECT_EQ(a.DialogPosition, DialogPosition::BottomRight);
    EXPECT_EQ(a.Weekdays, L"0111110");
}

TEST(Migration, YesDeletesTheOldSettingsNoKeepsThemForTheNextStart) {
    MemorySettingsStore store;
    MemoryOldSettingsStore old = OldStoreWithVersion(L"2.10");
    old.Put(L"Talk", L"Timing", L"2");
    ScriptedPrompt no(false);
    MigratePreviousSettings(store, old, no);
    EXPECT_EQ(no.asked, 1);
    EXPECT_EQ(no.lastTitle, L"削除の確認");
    EXPECT_EQ(no.lastText,
              L"このコンピュータには、以前のバージョン（Ver2.10）の設定が残っています。\r\n"
              L"現バージョンへ引継いだので、以前のバージョンの設定は今後使いません。\r\n"
              L"\r\n"
              L"以前のバージョンの設定情報を削除しても宜しいですか？\r\n"
              L"[いいえ]を選んだ場合、次回起動時にも、このダイアログを表示します。");
    EXPECT_EQ(old.deleteCount(), 0);

    // A change made with this version is overwritten again at the next start.
    Settings s = LoadAll(store);
    s.AnnounceTiming = AnnounceTiming::AnnounceNone;
    SaveAnnounceSettings(store, s);
    ScriptedPrompt yes(true);
    MigratePreviousSettings(store, old, yes);
    EXPECT_EQ(LoadAll(store).AnnounceTiming, AnnounceTiming::AnnounceHourly);
    EXPECT_EQ(old.deleteCount(), 1);
    EXPECT_TRUE(old.empty());

    ScriptedPrompt after(true);
    MigratePreviousSettings(store, old, after);
    EXPECT_EQ(after.asked, 0);
}

TEST(Migration, KeysThatCannotBeCreatedStopTheConversionBeforeTheQuestion) {
    MemorySettingsStore mainFails;
    mainFails.FailKey(L"", kStoreAccessDenied);
    MemoryOldSettingsStore old = OldStoreWithVersion();
    old.Put(L"Alarm1", L"Enabled", L"1");
    ScriptedPrompt prompt(true);
    MigratePreviousSettings(mainFails, old, prompt);
    EXPECT_EQ(mainFails.operations().size(), 1u);
    EXPECT_EQ(prompt.asked, 0);

    MemorySettingsStore alarmFails;
    alarmFails.FailKey(L"\\Alarm", kStoreAccessDenied);
    MigratePreviousSettings(alarmFails, old, prompt);
    EXPECT_TRUE(alarmFails.Dword(L"", L"Talk"));  // the main values are already written
    EXPECT_TRUE(alarmFails.WrittenNames(L"\\Alarm").empty());
    EXPECT_EQ(prompt.asked, 0);
    EXPECT_EQ(old.deleteCount(), 0);
    EXPECT_EQ(alarmFails.OpenKeyCount(), 0u);
}

TEST(Migration, OldNumbersAsTheyWereWritten) {
    EXPECT_EQ(ParseOldNumber(L"10.5"), 10.5);
    EXPECT_EQ(ParseOldNumber(L" -1 "), -1);
    EXPECT_EQ(ParseOldNumber(L"+3"), 3);
    EXPECT_EQ(ParseOldNumber(L".5"), 0.5);
    EXPECT_EQ(ParseOldNumber(L"5."), 5);
    EXPECT_EQ(ParseOldNumber(L"1.5E2"), 150);
    EXPECT_EQ(ParseOldNumber(L"&HFF"), 255);
    EXPECT_EQ(ParseOldNumber(L"&HFFFFFFFF"), -1);
    EXPECT_EQ(ParseOldNumber(L"True"), -1);
    EXPECT_EQ(ParseOldNumber(L"FALSE"), 0);
    for (const wchar_t* bad : {L"", L" ", L"abc", L"1.2.3", L"1e", L"--1", L"inf", L"nan", L"１２", L"12abc",
                               L"&H", L"&H123456789", L"&HXY", L"1e999", L"."}) {
        EXPECT_FALSE(ParseOldNumber(bad)) << bad;
    }
}

TEST(Migration, UnconvertibleOldValuesFallBackToTheirDefaults) {
    MemorySettingsStore store;
    MemoryOldSettingsStore old = OldStoreWithVersion();
    old.Put(L"Window", L"AlphabeticFontSize", L"十五");
    old.Put(L"Window", L"NumericFontSize", L"1000");  // would spill into italic and bold
    old.Put(L"Window", L"NumericFontBold", L"True");
    old.Put(L"Window", L"Width", L"wide");
    old.Put(L"Window", L"PosX", L"99999999999");
    old.Put(L"Window", L"TopMost", L"-1");
    old.Put(L"Window", L"TransParent", L"-1");
    old.Put(L"Talk", L"Minute", L"-5");
    old.Put(L"Alarm1", L"Enabled", L"2");  // byte 1 = 256
    old.Put(L"Alarm1", L"Hour", L"300");
    old.Put(L"Alarm1", L"Minute", L"29.5");
    old.Put(L"Alarm1", L"Track", L"-1");
    old.Put(L"Alarm1", L"MaxTrack", L"x");
    old.Put(L"Alarm1", L"IconPos", L"255.4");
    old.Put(L"Alarm1", L"WeekEnabled", L"101");
    old.Put(L"Alarm2", L"WeekEnabled", L"9999999");
    old.Put(L"Alarm2", L"Hour", L"1");
    old.Put(L"Alarm3", L"WeekEnabled", L"1x00001");
    ScriptedPrompt prompt(false);
    MigratePreviousSettings(store, old, prompt);

    EXPECT_EQ(store.Dword(L"", L"FontStyle1"), 1500u);
    EXPECT_EQ(store.Dword(L"", L"FontStyle2"), 2400u + (1u << 20));
    EXPECT_EQ(store.Dword(L"", L"Width"), 5400u);
    EXPECT_EQ(store.Dword(L"", L"PosX"), static_cast<std::uint32_t>(-1));
    EXPECT_EQ(store.Dword(L"", L"Style"), 1u);
    EXPECT_EQ(store.Dword(L"", L"BackgroundType"), 1u);
    EXPECT_EQ(store.Dword(L"", L"Talk"), 1u << 16);
    EXPECT_EQ(store.Binary(L"\\Alarm", L"Attr1"), (std::vector<std::uint8_t>{0, 0, 30, 0x50, 255, 0, 0}));
    EXPECT_EQ(store.Binary(L"\\Alarm", L"Attr2"), (std::vector<std::uint8_t>{0, 1, 0, 0x7F, 0, 0, 0}));
    EXPECT_EQ(store.Binary(L"\\Alarm", L"Attr3"), (std::vector<std::uint8_t>{0, 0, 0, 0x41, 0, 0, 0}));

    Settings s = LoadAll(store);
    EXPECT_EQ(s.BackgroundKind, BackgroundKind::Desktop);
    EXPECT_EQ(s.Gradation, Gradation::None);
    EXPECT_EQ(s.Style, kStyleAlwaysOnTop);
    EXPECT_EQ(s.Alarms[0].Weekdays, L"1010000");
}

}  // namespace
}  // namespace hv
