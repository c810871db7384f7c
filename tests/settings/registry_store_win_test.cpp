// The settings over the real per-user registry (the test prefix's), and the conversion
// from a real store of the previous version. Every test starts and ends without the
// program's keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "settings/migration.h"
#include "settings/registry_store_win.h"
#include "settings/settings_io.h"
#include "settings/settings_schema.h"

namespace hv {
namespace {

constexpr wchar_t kMainPath[] = L"Software\\Kelvane\\Horavox";
constexpr wchar_t kAlarmPath[] = L"Software\\Kelvane\\Horavox\\Alarm";
constexpr wchar_t kOldParent[] = L"Software\\VB and VBA Program Settings";

void RemoveTestKeys() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kMainPath);
    RegDeleteTreeW(HKEY_CURRENT_USER, kOldSettingsPath);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\HoravoxTestNeighbour");
    // The folders above go only when nothing else lives in them.
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Kelvane");
    RegDeleteKeyW(HKEY_CURRENT_USER, kOldParent);
}

bool KeyExists(const wchar_t* path) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void PutRaw(const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

// As the previous version wrote its texts: through the ANSI API, in the system code page.
std::string Ansi(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

std::wstring FromAnsi(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), n);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

void PutAnsiText(const std::wstring& path, const char* name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Ansi(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

class RegistrySettings : public ::testing::Test {
protected:
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override {
        RemoveTestKeys();
        EXPECT_FALSE(KeyExists(kMainPath));
    }

    Settings Loaded() {
        Settings s;
        LoadSettings(store, s, true);
        LoadWindowPlacement(store, s);
        return s;
    }

    RegistrySettingsStore store;
};

TEST_F(RegistrySettings, MissingKeysAndValuesGiveTheCallersDefaults) {
    SettingsKey key = 123;
    EXPECT_EQ(store.OpenSettingsKey(kAlarmSubkey, key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, kNoSettingsKey);
    EXPECT_EQ(Loaded(), Settings{});
    EXPECT_FALSE(KeyExists(kMainPath));  // reading creates nothing

    ASSERT_EQ(store.CreateSettingsKey(kMainSubkey, key), ERROR_SUCCESS);
    EXPECT_EQ(store.GetTextValue(key, L"Missing", L"既定"), L"既定");
    EXPECT_EQ(store.GetDwordValue(key, L"Missing", 77), 77u);
    std::uint8_t bytes[3] = {1, 2, 3};
    store.GetBinaryValue(key, L"Missing", bytes);
    EXPECT_EQ(bytes[2], 3);
    store.CloseSettingsKey(key);
}

TEST_F(RegistrySettings, SubkeysNameTheMainAndAlarmKeys) {
    SettingsKey key;
    ASSERT_EQ(store.CreateSettingsKey(kAlarmSubkey, key), ERROR_SUCCESS);
    store.SetDwordValue(key, L"Probe", 1);
    store.CloseSettingsKey(key);
    ASSERT_EQ(store.CreateSettingsKey(kMainSubkey, key), ERROR_SUCCESS);
    store.SetDwordValue(key, L"Probe", 2);
    store.CloseSettingsKey(key);

    DWORD value = 0, size = sizeof(value);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kAlarmPath, L"Probe", RRF_RT_REG_DWORD, nullptr, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kMainPath, L"Probe", RRF_RT_REG_DWORD, nullptr, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 2u);
}

TEST_F(RegistrySettings, EveryGroupRoundTripsWithJapaneseAndLongTexts) {
    Settings s;
    s.FontName[1] = L"ＭＳ Ｐゴシック";
    s.FontSize[2] = 10.5f;
    s.FontBold[2] = true;
    s.FontColor[6] = 0x123456;
    s.BackgroundKind = BackgroundKind::Image;
    s.Gradation = Gradation::LeftToRight;
    s.BackgroundColor[2] = 0xABCDEF;
    s.ImageFile = L"C:\\" + std::wstring(991, L'画') + L"\\a.jpg";  // 1000 characters
    ASSERT_EQ(s.ImageFile.size(), 1000u);
    s.TranslucentRate = 35;
    s.Translucent = true;
    s.AnnounceTiming = AnnounceTiming::AnnounceFixedTime;
    s.AnnounceHour = 7;
    s.AnnounceMinute = 21;
    s.Clock24 = true;
    s.TalkSpeed = 9;
    s.Style = kStyleAlwaysOnTop | kStyleTitleBarHidden | 0x40;
    s.WindowLeft = 300;
    s.WindowTop = 450;
    s.WindowWidth = 6000;
    s.WindowHeight = 4000;
    AlarmEntry& a = s.Alarms[0];
    a.Enabled = true;
    a.Hour = 6;
    a.Minute = 30;
    a.Weekdays = L"0111110";
    a.Message = L"起床時間です。今日も一日頑張りましょう！";
    a.SoundKind = SoundKind::Midi;
    a.MidFile = L"C:\\音楽\\目覚まし.mid";
    a.IconFile = L"C:\\Windows\\System32\\shell32.dll";
    a.IconIndex = 41;
    s.Alarms[19].Message = L"#exec notepad.exe";
    s.Alarms[19].CdTrack = 255;

    SaveAppearanceSettings(store, s);
    SaveAnnounceSettings(store, s);
    SaveAlarmSettings(store, s);
    SaveWindowSettings(store, s, {300, 450, 6000, 4000}, 0x00010001);
    Settings loaded = Loaded();
    EXPECT_EQ(loaded, s);

    // Stored as the layouts say: wide REG_SZ, 7-byte REG_BINARY, REG_DWORD.
    wchar_t text[64] = {};
    DWORD size = sizeof(text), type = 0;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kMainPath, L"FontName1", RRF_RT_ANY, &type, text, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(text, L"ＭＳ Ｐゴシック");
    std::uint8_t attr[16] = {};
    size = sizeof(attr);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kAlarmPath, L"Attr1", RRF_RT_ANY, &type, attr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(attr[0], 0x88);
    EXPECT_EQ(attr[3], 0x3E);
    DWORD word = 0;
    size = sizeof(word);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kMainPath, L"Talk", RRF_RT_REG_DWORD, nullptr, &word, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(word, 0x09160715u);
    // Alarms at their defaults left nothing behind.
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kAlarmPath, L"Attr2", RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kAlarmPath, L"Message2", RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistrySettings, ShortAttrFillsItsLeadingBytesAndLongAttrIsIgnored) {
    const std::uint8_t three[] = {0x80, 7, 30};
    const std::uint8_t nine[] = {0x80, 8, 15, 0x41, 0, 0, 0, 9, 9};
    PutRaw(kAlarmPath, L"Attr3", REG_BINARY, three, sizeof(three));
    PutRaw(kAlarmPath, L"Attr4", REG_BINARY, nine, sizeof(nine));
    Settings s = Loaded();
    EXPECT_TRUE(s.Alarms[2].Enabled);
    EXPECT_EQ(s.Alarms[2].Hour, 7);
    EXPECT_EQ(s.Alarms[2].Minute, 30);
    EXPECT_EQ(s.Alarms[2].Weekdays, L"1111111");
    EXPECT_EQ(s.Alarms[3], AlarmEntry{});
}

TEST_F(RegistrySettings, DwordsAreTakenByTheirSizeTextsByTheirType) {
    const std::uint8_t two[] = {1, 2};
    const std::uint8_t four[] = {0x44, 0x33, 0x22, 0x11};
    PutRaw(kMainPath, L"FontColor1", REG_BINARY, two, sizeof(two));
    PutRaw(kMainPath, L"FontColor2", REG_BINARY, four, sizeof(four));
    PutRaw(kMainPath, L"FontName1", REG_BINARY, four, sizeof(four));
    const wchar_t unterminated[] = {L'A', L'b'};
    PutRaw(kMainPath, L"FontName2", REG_SZ, unterminated, sizeof(unterminated));
    Settings s = Loaded();
    EXPECT_EQ(s.FontColor[1], 0x800000u);
    EXPECT_EQ(s.FontColor[2], 0x11223344u);
    EXPECT_EQ(s.FontName[1], L"Arial");
    EXPECT_EQ(s.FontName[2], L"Ab");
}

TEST_F(RegistrySettings, TextsWrittenThroughTheAnsiApiReadBackTheSame) {
    // 163 Japanese characters: 326 bytes in Shift-JIS, beyond a 255-byte reader.
    std::wstring japanese;
    for (int i = 0; i < 20; ++i) japanese += L"目覚ましの時間☆";
    japanese += L"です。";
    std::string ansi = Ansi(japanese);
    if (GetACP() == 932) {
        EXPECT_GT(ansi.size(), 255u);
    }
    PutAnsiText(kAlarmPath, "Message5", ansi);
    PutAnsiText(kMainPath, "FontName1", Ansi(L"ＭＳ 明朝"));

    Settings s = Loaded();
    EXPECT_EQ(s.Alarms[4].Message, FromAnsi(ansi)) << "code page " << GetACP();
    EXPECT_EQ(s.FontName[1], FromAnsi(Ansi(L"ＭＳ 明朝")));
    if (GetACP() == 932) {
        EXPECT_EQ(s.Alarms[4].Message, japanese);
    }
}

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

class RegistryMigration : public RegistrySettings {
protected:
    // An old store as the previous version left it.
    void WriteOldStore() {
        std::wstring old = kOldSettingsPath;
        PutAnsiText(old + L"\\Others", "Version", "1.20");
        PutAnsiText(old + L"\\Window", "AlphabeticFontName", Ansi(L"ＭＳ 明朝"));
        PutAnsiText(old + L"\\Window", "AlphabeticFontSize", "10.5");
        PutAnsiText(old + L"\\Window", "AlphabeticFontBold", "1");
        PutAnsiText(old + L"\\Window", "TodayColor", "65280");
        PutAnsiText(old + L"\\Window", "TopMost", "1");
        PutAnsiText(old + L"\\Window", "Width", "7200");
        PutAnsiText(old + L"\\Talk", "Timing", "2");
        PutAnsiText(old + L"\\Talk", "AmPm", "0");
        PutAnsiText(old + L"\\Alarm1", "Enabled", "1");
        PutAnsiText(old + L"\\Alarm1", "WaveLoop", "-1");
        PutAnsiText(old + L"\\Alarm1", "Hour", "7");
        PutAnsiText(old + L"\\Alarm1", "Minute", "45");
        PutAnsiText(old + L"\\Alarm1", "WeekEnabled", "0111110");
        PutAnsiText(old + L"\\Alarm1", "Message", Ansi(L"出勤の時間です"));
        PutAnsiText(old + L"\\Alarm1", "WaveFile", "C:\\Windows\\Media\\chimes.wav");
        // Another program's settings in the same store must survive the deletion.
        PutAnsiText(std::wstring(kOldParent) + L"\\HoravoxTestNeighbour\\Main", "Kept", "yes");
    }

    void ExpectConverted() {
        Settings s = Loaded();
        EXPECT_EQ(s.FontName[1], L"ＭＳ 明朝");
        EXPECT_FLOAT_EQ(s.FontSize[1], 10.5f);
        EXPECT_TRUE(s.FontBold[1]);
        EXPECT_EQ(s.FontColor[2], 65280u);
        EXPECT_EQ(s.Style, kStyleAlwaysOnTop);
        EXPECT_EQ(s.WindowWidth, 7200);
        EXPECT_EQ(s.AnnounceTiming, AnnounceTiming::AnnounceHourly);
        EXPECT_TRUE(s.Clock24);
        EXPECT_EQ(s.TalkSpeed, 0);
        const AlarmEntry& a = s.Alarms[0];
        EXPECT_TRUE(a.Enabled);
        EXPECT_TRUE(a.Loop);
        EXPECT_EQ(a.Hour, 7);
        EXPECT_EQ(a.Minute, 45);
        EXPECT_EQ(a.Weekdays, L"0111110");
        EXPECT_EQ(a.Message, L"出勤の時間です");
        EXPECT_EQ(a.WavFile, L"C:\\Windows\\Media\\chimes.wav");
        EXPECT_EQ(s.Alarms[1], AlarmEntry{});
    }

    RegistryOldSettingsStore old;
};

TEST_F(RegistryMigration, AnsweredNoConvertsAndKeepsTheOldSettings) {
    WriteOldStore();
    ScriptedPrompt no(false);
    MigratePreviousSettings(store, old, no);
    EXPECT_EQ(no.asked, 1);
    EXPECT_EQ(no.lastTitle, L"削除の確認");
    EXPECT_NE(no.lastText.find(L"（Ver1.20）"), std::wstring::npos);
    ExpectConverted();
    EXPECT_TRUE(KeyExists(kOldSettingsPath));

    // The next start converts again, over a change made in between.
    Settings changed = Loaded();
    changed.AnnounceTiming = AnnounceTiming::AnnounceNone;
    SaveAnnounceSettings(store, changed);
    ScriptedPrompt again(false);
    MigratePreviousSettings(store, old, again);
    EXPECT_EQ(again.asked, 1);
    EXPECT_EQ(Loaded().AnnounceTiming, AnnounceTiming::AnnounceHourly);
}

TEST_F(RegistryMigration, AnsweredYesConvertsAndDeletesTheOldSettings) {
    WriteOldStore();
    ScriptedPrompt yes(true);
    MigratePreviousSettings(store, old, yes);
    EXPECT_EQ(yes.asked, 1);
    ExpectConverted();
    EXPECT_FALSE(KeyExists(kOldSettingsPath));
    EXPECT_TRUE(KeyExists(L"Software\\VB and VBA Program Settings\\HoravoxTestNeighbour\\Main"));

    ScriptedPrompt next(true);
    MigratePreviousSettings(store, old, next);
    EXPECT_EQ(next.asked, 0);
}

TEST_F(RegistryMigration, OldSectionsWithoutTheVersionAreLeftAlone) {
    PutAnsiText(std::wstring(kOldSettingsPath) + L"\\Window", "Width", "9000");
    ScriptedPrompt prompt(true);
    MigratePreviousSettings(store, old, prompt);
    EXPECT_EQ(prompt.asked, 0);
    EXPECT_FALSE(KeyExists(kMainPath));
    EXPECT_TRUE(KeyExists(kOldSettingsPath));
}

// The real message box, answered by clicking its buttons from another thread.
bool AnswerRealBox(int button) {
    std::atomic<bool> clicked{false};
    std::thread clicker([&] {
        for (int i = 0; i < 500 && !clicked; ++i) {
            HWND box = FindWindowW(L"#32770", kMigrationQuestionTitle);
            if (box && IsWindowVisible(box)) {
                // HV_HOLD_MS keeps the box up for a screenshot.
                if (const char* hold = std::getenv("HV_HOLD_MS")) Sleep(static_cast<DWORD>(std::atoi(hold)));
                SendMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
                clicked = true;
            }
            Sleep(20);
        }
    });
    MessageBoxPrompt prompt;
    bool answer = prompt.AskYesNo(kMigrationQuestionTitle, MigrationQuestionText(L"1.20"));
    clicked = true;
    clicker.join();
    return answer;
}

TEST(MessageBoxPrompt, YesAndNoButtonsGiveTheAnswer) {
    EXPECT_TRUE(AnswerRealBox(IDYES));
    EXPECT_FALSE(AnswerRealBox(IDNO));
}

}  // namespace
}  // namespace hv
