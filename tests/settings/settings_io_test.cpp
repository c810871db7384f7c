#include "settings/settings_io.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/memory_store.h"
#include "settings/rounding.h"
#include "settings/settings_schema.h"

namespace hv {
namespace {

using Op = MemorySettingsStore::Op;

Settings Loaded(MemorySettingsStore& store, bool translucency = true) {
    Settings settings;
    LoadSettings(store, settings, translucency);
    LoadWindowPlacement(store, settings);
    return settings;
}

// A record with no field at its default, every packed field at an edge of its range.
Settings EverythingChanged() {
    Settings s;
    s.FontName[1] = L"ＭＳ ゴシック";
    s.FontName[2] = L"";
    s.FontSize[1] = 10.5f;
    s.FontSize[2] = 655.35f;
    s.FontItalic[1] = true;
    s.FontBold[2] = true;
    for (std::size_t i = 1; i <= 6; ++i) s.FontColor[i] = 0x010203u * static_cast<std::uint32_t>(i);
    s.BackgroundKind = BackgroundKind::Image;
    s.Gradation = Gradation::TopToBottom;
    s.BackgroundColor[1] = 0x123456;
    s.BackgroundColor[2] = 0xFFFFFF;
    s.ImageFile = L"C:\\画像\\背景.jpg";
    s.TranslucentRate = 100;
    s.Translucent = true;
    s.AnnounceTiming = AnnounceTiming::AnnounceFixedTime;
    s.AnnounceHour = 23;
    s.AnnounceMinute = 59;
    s.Clock24 = true;
    s.TalkSpeed = 15;
    s.Style = 0xA0000003;
    s.WindowLeft = 1500;
    s.WindowTop = -30;
    s.WindowWidth = 9000;
    s.WindowHeight = 4500;
    for (int i = 0; i < kAlarmCount; ++i) {
        AlarmEntry& a = s.Alarms[static_cast<std::size_t>(i)];
        a.Enabled = i % 2 == 0;
        a.Hour = static_cast<std::uint16_t>(i);
        a.Minute = static_cast<std::uint16_t>(59 - i);
        a.Weekdays = i % 3 == 0 ? L"1000001" : L"0111110";
        a.Message = L"会議 " + std::to_wstring(i + 1);
        a.SoundKind = static_cast<SoundKind>(i % 3);
        a.WavFile = L"C:\\wav\\" + std::to_wstring(i) + L".wav";
        a.MidFile = i % 4 ? L"" : L"D:\\曲.mid";
        a.Loop = i % 5 == 0;
        a.CdTrack = static_cast<std::uint16_t>(255 - i);
        a.CdRandom = i % 7 == 0;
        a.CdTrackCount = static_cast<std::uint16_t>(i * 10);
        a.DialogPosition = static_cast<DialogPosition>(i % 5);
        a.IconFile = L"shell32.dll";
        a.IconIndex = static_cast<std::uint16_t>(i * 12);
    }
    return s;
}

void SaveEverything(MemorySettingsStore& store, const Settings& s) {
    SaveAppearanceSettings(store, s);
    SaveAnnounceSettings(store, s);
    SaveAlarmSettings(store, s);
    SaveWindowSettings(store, s, {double(s.WindowLeft), double(s.WindowTop), double(s.WindowWidth),
                                  double(s.WindowHeight)}, 0x00010001);
}

TEST(SettingsLoad, FreshUserGetsEveryDefault) {
    MemorySettingsStore store;
    Settings loaded;
    loaded.FontName[1] = L"left over";
    loaded.Alarms[3].Enabled = true;
    LoadSettings(store, loaded, true);
    LoadWindowPlacement(store, loaded);

    EXPECT_EQ(loaded, Settings{});
    EXPECT_EQ(loaded.FontName[1], L"Arial");
    EXPECT_EQ(loaded.FontName[2], L"Times New Roman");
    EXPECT_EQ(loaded.FontSize[1], 15.0f);
    EXPECT_EQ(loaded.FontSize[2], 24.0f);
    EXPECT_EQ(loaded.BackgroundColor[1], 0xC0C0C0u);
    EXPECT_EQ(loaded.AnnounceTiming, AnnounceTiming::AnnounceEveryMinute);
    EXPECT_FALSE(loaded.Clock24);
    EXPECT_EQ(loaded.TalkSpeed, 2);
    EXPECT_EQ(loaded.WindowWidth, 5400);
    EXPECT_EQ(loaded.WindowHeight, 3500);
    EXPECT_LT(loaded.WindowLeft, 0);
    for (const AlarmEntry& a : loaded.Alarms) {
        EXPECT_FALSE(a.Enabled);
        EXPECT_EQ(a.Weekdays, L"1111111");
    }
    EXPECT_EQ(store.OpenKeyCount(), 0u);
    EXPECT_FALSE(store.HasKey(L""));  // reading creates nothing
}

TEST(SettingsLoad, StoredDefaultsMatchTheRecordsDefaults) {
    Settings defaults;
    EXPECT_EQ(PackTalk(defaults), kDefaultTalk);
    EXPECT_EQ(PackFontStyle(defaults.FontSize[1], false, false), kDefaultFontStyle1);
    EXPECT_EQ(PackFontStyle(defaults.FontSize[2], false, false), kDefaultFontStyle2);
    EXPECT_EQ(PackAlarmAttr(AlarmEntry{}), kDefaultAlarmAttr);
    for (std::size_t i = 1; i <= 6; ++i) EXPECT_EQ(defaults.FontColor[i], kDefaultFontColors[i - 1]);
}

TEST(SettingsLoad, PackedWordsSplitIntoTheirFields) {
    MemorySettingsStore store;
    store.PutDword(L"", L"Talk", 0x01160715);
    store.PutDword(L"", L"FontStyle1", 0x00111194);
    store.PutDword(L"", L"BackgroundType", 2 * 4 + 1);
    store.PutDword(L"", L"TranslucentRate", 256 + 40);
    Settings s = Loaded(store);

    EXPECT_EQ(s.AnnounceHour, 7);
    EXPECT_EQ(s.AnnounceMinute, 21);
    EXPECT_EQ(s.AnnounceTiming, AnnounceTiming::AnnounceFixedTime);
    EXPECT_TRUE(s.Clock24);
    EXPECT_EQ(s.TalkSpeed, 1);
    EXPECT_FLOAT_EQ(s.FontSize[1], 45.0f);
    EXPECT_TRUE(s.FontItalic[1]);
    EXPECT_TRUE(s.FontBold[1]);
    EXPECT_EQ(s.BackgroundKind, BackgroundKind::Desktop);
    EXPECT_EQ(s.Gradation, Gradation::TopToBottom);
    EXPECT_EQ(s.TranslucentRate, 40u);
    EXPECT_TRUE(s.Translucent);
    EXPECT_EQ(PackTalk(s), 0x01160715u);
}

TEST(SettingsLoad, TranslucencyIsReadOnlyWhereTheSystemOffersIt) {
    MemorySettingsStore store;
    store.PutDword(L"", L"TranslucentRate", 256 + 60);
    Settings s;
    s.TranslucentRate = 5;
    LoadSettings(store, s, false);
    EXPECT_EQ(s.TranslucentRate, 0u);
    EXPECT_FALSE(s.Translucent);
    for (const auto& op : store.operations()) EXPECT_NE(op.name, L"TranslucentRate");
}

TEST(SettingsLoad, ValuesOfTheWrongShapeYieldTheirDefaults) {
    MemorySettingsStore store;
    store.Put(L"", L"FontColor1", ValueType::Dword, {1, 2});                         // short
    store.Put(L"", L"FontColor2", ValueType::Qword, {1, 0, 0, 0, 0, 0, 0, 0});      // long
    store.Put(L"", L"FontColor3", ValueType::Binary, {0x44, 0x33, 0x22, 0x11});     // 4 bytes: taken
    store.PutDword(L"", L"FontName1", 7);                                            // not a text
    store.Put(L"", L"FontName2", ValueType::Text, {'A', 0, 'b', 0});                 // no terminator
    store.Put(L"", L"ImageFile", ValueType::ExpandText, EncodeRegistryText(L"%WINDIR%\\a.bmp"));
    store.PutBinary(L"\\Alarm", L"Attr1", {0x80, 7, 30});                            // 3 bytes
    store.PutBinary(L"\\Alarm", L"Attr2", {0x80, 7, 30, 0, 0, 0, 0, 0, 0});           // 9 bytes
    store.PutText(L"\\Alarm", L"Attr3", L"ab");                                      // type not checked
    Settings s = Loaded(store);

    EXPECT_EQ(s.FontColor[1], 0x800000u);
    EXPECT_EQ(s.FontColor[2], 0x00FFFFu);
    EXPECT_EQ(s.FontColor[3], 0x11223344u);
    EXPECT_EQ(s.FontName[1], L"Arial");
    EXPECT_EQ(s.FontName[2], L"Ab");
    EXPECT_EQ(s.ImageFile, L"%WINDIR%\\a.bmp");

    const AlarmEntry& three = s.Alarms[0];
    EXPECT_TRUE(three.Enabled);
    EXPECT_EQ(three.Hour, 7);
    EXPECT_EQ(three.Minute, 30);
    EXPECT_EQ(three.Weekdays, L"1111111");  // byte 4 keeps its default
    EXPECT_EQ(s.Alarms[1], AlarmEntry{});
    EXPECT_EQ(s.Alarms[2].Hour, 0);  // "ab" as UTF-16 with its NUL: 'a', 0, 'b', 0, 0, 0
    EXPECT_EQ(s.Alarms[2].Minute, 'b');
    EXPECT_EQ(s.Alarms[2].Weekdays, L"0000000");
}

TEST(SettingsLoad, LongTextsReadBackWhole) {
    MemorySettingsStore store;
    std::wstring longPath = L"C:\\" + std::wstring(996, L'長') + L".bmp";
    store.PutText(L"", L"ImageFile", longPath);
    store.PutText(L"\\Alarm", L"Message20", std::wstring(300, L'x'));
    Settings s = Loaded(store);
    EXPECT_EQ(s.ImageFile, longPath);
    EXPECT_EQ(s.Alarms[19].Message, std::wstring(300, L'x'));
}

TEST(SettingsLoad, UnopenableKeysYieldDefaultsAndLeaveNothingOpen) {
    MemorySettingsStore store;
    SaveEverything(store, EverythingChanged());
    store.FailKey(L"", kStoreAccessDenied);
    store.FailKey(L"\\Alarm", kStoreAccessDenied);
    Settings s = EverythingChanged();
    LoadSettings(store, s, true);
    LoadWindowPlacement(store, s);
    EXPECT_EQ(s, Settings{});
    EXPECT_EQ(store.OpenKeyCount(), 0u);
}

TEST(SettingsSave, EveryGroupRoundTrips) {
    MemorySettingsStore store;
    Settings original = EverythingChanged();
    SaveEverything(store, original);
    EXPECT_EQ(Loaded(store), original);
    EXPECT_EQ(store.OpenKeyCount(), 0u);
}

TEST(SettingsSave, AppearanceWritesEveryValueInOrder) {
    MemorySettingsStore store;
    SaveAppearanceSettings(store, Settings{});
    const std::vector<std::wstring> expected = {
        L"BackgroundType", L"BackgroundColor", L"BackgroundColor2", L"TranslucentRate", L"FontName1",
        L"FontName2",      L"FontStyle1",      L"FontStyle2",       L"FontColor1",      L"FontColor2",
        L"FontColor3",     L"FontColor4",      L"FontColor5",       L"FontColor6",      L"ImageFile"};
    EXPECT_EQ(store.WrittenNames(L""), expected);
    EXPECT_EQ(store.Text(L"", L"ImageFile"), L"");  // written even when empty
    EXPECT_EQ(store.operations().front(), (MemorySettingsStore::Operation{Op::Create, L"", L""}));
    EXPECT_EQ(store.operations().back().op, Op::Close);
}

TEST(SettingsSave, FontSizesRoundToHundredthsHalvesToEven) {
    EXPECT_EQ(PackFontStyle(10.5f, false, true), 1050u + (1u << 20));
    EXPECT_EQ(PackFontStyle(10.125f, false, false), 1012u);  // 1012.5
    EXPECT_EQ(PackFontStyle(10.375f, true, false), 1038u + (1u << 16));  // 1037.5
    // Sizes the 16 bits cannot hold stay within them instead of turning italic or bold on.
    EXPECT_EQ(PackFontStyle(700.0f, false, false), 0xFFFFu);
    EXPECT_EQ(PackFontStyle(-3.0f, false, false), 0u);
}

TEST(SettingsSave, PackedFieldsStayWithinTheirBits) {
    Settings s;
    s.AnnounceMinute = 0x1FF;
    s.AnnounceHour = 0x1FF;
    s.AnnounceTiming = static_cast<AnnounceTiming>(0x1F);
    s.TalkSpeed = 0xFF;
    EXPECT_EQ(PackTalk(s), 0x0F0FFFFFu);  // Clock24 (bit 20) stays clear
    s.TranslucentRate = 0x1FF;
    s.Translucent = false;
    EXPECT_EQ(PackTranslucentRate(s), 0xFFu);
}

TEST(SettingsSave, AlarmAtItsDefaultsLeavesNoTrace) {
    MemorySettingsStore store;
    Settings s;
    AlarmEntry& a = s.Alarms[4];
    a.Hour = 7;  // disabled, but set to 07:00: stored
    SaveAlarmSettings(store, s);
    EXPECT_EQ(store.Binary(L"\\Alarm", L"Attr5"), (std::vector<std::uint8_t>{0, 7, 0, 0x7F, 0, 0, 0}));
    EXPECT_EQ(store.ValueCount(L"\\Alarm"), 1u);

    a.Hour = 0;
    SaveAlarmSettings(store, s);
    EXPECT_EQ(store.Find(L"\\Alarm", L"Attr5"), nullptr);
    EXPECT_EQ(store.ValueCount(L"\\Alarm"), 0u);
}

TEST(SettingsSave, AlarmBytesAndNumbering) {
    MemorySettingsStore store;
    Settings s;
    AlarmEntry& a = s.Alarms[19];
    a.Enabled = true;
    a.Loop = true;
    a.CdRandom = true;
    a.SoundKind = SoundKind::CdAudio;
    a.DialogPosition = DialogPosition::BottomRight;
    a.Hour = 23;
    a.Minute = 45;
    a.Weekdays = L"1000001";  // Sunday and Saturday
    a.IconIndex = 3;
    a.CdTrack = 12;
    a.CdTrackCount = 99;
    a.Message = L"起きて";
    SaveAlarmSettings(store, s);
    EXPECT_EQ(store.Binary(L"\\Alarm", L"Attr20"), (std::vector<std::uint8_t>{244, 23, 45, 0x41, 3, 12, 99}));
    EXPECT_EQ(store.Text(L"\\Alarm", L"Message20"), L"起きて");
    EXPECT_EQ(Loaded(store).Alarms[19], a);

    a.Message.clear();  // cleared: the value goes rather than holding an empty text
    SaveAlarmSettings(store, s);
    EXPECT_EQ(store.Find(L"\\Alarm", L"Message20"), nullptr);
}

TEST(SettingsSave, WeekdaysTextsOfOtherShapes) {
    EXPECT_EQ(WeekdaysToByte(L"1000001"), 0x41);
    EXPECT_EQ(WeekdaysFromByte(0x41), L"1000001");
    EXPECT_EQ(WeekdaysFromByte(0xFF), L"1111111");  // bit 7 is not a day
    EXPECT_EQ(WeekdaysToByte(L"11"), 0x60);          // missing days are unmarked
    EXPECT_EQ(WeekdaysToByte(L"2x11111"), 0x1F);     // only "1" marks a day
    EXPECT_EQ(WeekdaysToByte(L"11111110"), 0x7F);
    AlarmEntry a;
    a.Weekdays = L"0010000";
    EXPECT_TRUE(a.AllowsWeekday(3));
    EXPECT_FALSE(a.AllowsWeekday(1));
    EXPECT_FALSE(a.AllowsWeekday(0));
    EXPECT_FALSE(a.AllowsWeekday(8));
}

TEST(SettingsSave, WindowPlacementIsRoundedAndSkippedWhileHidden) {
    MemorySettingsStore store;
    Settings s;
    s.Style = 0x100 | kStyleAlwaysOnTop;  // an unknown bit survives
    SaveWindowSettings(store, s, {1234.5, 1235.5, -7.5, 5400.4}, 0x00010001);
    EXPECT_EQ(store.WrittenNames(L""),
              (std::vector<std::wstring>{L"PosX", L"PosY", L"Width", L"Height", L"Style", L"Version"}));
    EXPECT_EQ(store.Dword(L"", L"PosX"), 1234u);
    EXPECT_EQ(store.Dword(L"", L"PosY"), 1236u);
    EXPECT_EQ(store.Dword(L"", L"Width"), static_cast<std::uint32_t>(-8));
    EXPECT_EQ(store.Dword(L"", L"Height"), 5400u);
    EXPECT_EQ(store.Dword(L"", L"Version"), 0x00010001u);

    store.ClearOperations();
    s.SetHiddenInTray(true);
    s.SetAlwaysOnTop(false);
    SaveWindowSettings(store, s, {1, 2, 3, 4}, 0x00010001);
    EXPECT_EQ(store.WrittenNames(L""), (std::vector<std::wstring>{L"Style", L"Version"}));
    EXPECT_EQ(store.Dword(L"", L"Style"), 0x104u);
    Settings next = Loaded(store);
    EXPECT_TRUE(next.HiddenInTray());
    EXPECT_EQ(next.WindowLeft, 1234);
}

TEST(SettingsSave, UncreatableKeyWritesNothing) {
    MemorySettingsStore store;
    store.FailKey(L"", kStoreAccessDenied);
    store.FailKey(L"\\Alarm", kStoreAccessDenied);
    SaveEverything(store, EverythingChanged());
    for (const auto& op : store.operations()) EXPECT_EQ(op.op, Op::Create);
    EXPECT_EQ(store.OpenKeyCount(), 0u);
}

TEST(Rounding, HalvesGoToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundToInt32(1e12), 2147483647);
    EXPECT_EQ(RoundToInt32(-1e12), -2147483647 - 1);
    EXPECT_EQ(RoundToInt32(std::nan("")), 0);
}

TEST(RegistryText, EncodingAndTrimming) {
    EXPECT_EQ(EncodeRegistryText(L"あ"), (std::vector<std::uint8_t>{0x42, 0x30, 0, 0}));
    const std::uint8_t odd[] = {'O', 0, 'K', 0, 'x'};
    EXPECT_EQ(DecodeRegistryText(odd), L"OK");
    EXPECT_EQ(DecodeRegistryText(std::span<const std::uint8_t>()), L"");
    EXPECT_EQ(TrimAtNul(std::wstring(L"C:\\WINDOWS\0junk", 15)), L"C:\\WINDOWS");
    EXPECT_EQ(TrimAtNul(L"no terminator"), L"");
}

}  // namespace
}  // namespace hv
