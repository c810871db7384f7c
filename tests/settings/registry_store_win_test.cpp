// The settings over the real per-user registry (the test prefix's), and the conversion
// from a real store of the previous version. Every test starts and ends without the
// program's keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "settings/registry_store_win.h"
#include "tests/settings/settings_test.h"

namespace hv {
namespace {

using test::LoadAll;
using test::ScriptedPrompt;
using Bytes = std::vector<std::uint8_t>;

constexpr wchar_t kMainPath[] = L"Software\\Kelvane\\Horavox";
constexpr wchar_t kAlarmPath[] = L"Software\\Kelvane\\Horavox\\Alarm";
constexpr wchar_t kNeighbourPath[] = L"Software\\VB and VBA Program Settings\\HoravoxTestNeighbour";

bool KeyExists(const wchar_t* path) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A value's type and bytes as the registry holds them; type 0 when it is missing.
std::pair<DWORD, Bytes> Raw(const wchar_t* path, const wchar_t* name) {
    Bytes data(4096);
    DWORD type = 0, size = static_cast<DWORD>(data.size());
    if (RegGetValueW(HKEY_CURRENT_USER, path, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size)) return {};
    data.resize(size);
    return {type, data};
}

// As another program writes a value; texts through the ANSI API, in the system code page,
// as the previous version wrote them.
void Put(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

std::string Ansi(const std::wstring& text) {
    std::string out(text.size() * 2 + 1, '\0');
    out.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), int(out.size()), nullptr, nullptr) - 1));
    return out;
}

void PutAnsiText(const std::wstring& path, const char* name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Ansi(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
    RegCloseKey(key);
}

class RegistrySettings : public ::testing::Test {
protected:
    static void RemoveTestKeys() {
        for (const wchar_t* path : {kMainPath, kOldSettingsPath, kNeighbourPath}) RegDeleteTreeW(HKEY_CURRENT_USER, path);
        // The folders above go only when nothing else lives in them.
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Kelvane");
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings");
    }
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override { RemoveTestKeys(); }

    RegistrySettingsStore store;
};

TEST_F(RegistrySettings, SubkeysNameTheMainAndAlarmKeys) {
    EXPECT_EQ(LoadAll(store), Settings{});
    EXPECT_FALSE(KeyExists(kMainPath));  // reading creates nothing
    SettingsKey key = 123;
    EXPECT_EQ(store.OpenSettingsKey(kAlarmSubkey, key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, kNoSettingsKey);

    for (const wchar_t* subkey : {kAlarmSubkey, kMainSubkey}) {
        ASSERT_EQ(store.CreateSettingsKey(subkey, key), ERROR_SUCCESS);
        store.SetDwordValue(key, L"Probe", subkey == kAlarmSubkey ? 1 : 2);
        store.CloseSettingsKey(key);
    }
    EXPECT_EQ(Raw(kAlarmPath, L"Probe"), (std::pair<DWORD, Bytes>{REG_DWORD, {1, 0, 0, 0}}));
    EXPECT_EQ(Raw(kMainPath, L"Probe"), (std::pair<DWORD, Bytes>{REG_DWORD, {2, 0, 0, 0}}));
    EXPECT_EQ(LoadAll(store), Settings{});  // every reader, in keys without the values
}

TEST_F(RegistrySettings, EveryGroupRoundTripsInTheStoredLayouts) {
    const Settings s = test::EverythingChanged();
    test::SaveAll(store, s);
    EXPECT_EQ(LoadAll(store), s);  // Japanese, empty and 1000-character texts included

    const std::wstring name = L"ＭＳ Ｐゴシック";
    const auto* units = reinterpret_cast<const std::uint8_t*>(name.c_str());
    EXPECT_EQ(Raw(kMainPath, L"FontName1"), (std::pair<DWORD, Bytes>{REG_SZ, {units, units + 2 * name.size() + 2}}));
    EXPECT_EQ(Raw(kAlarmPath, L"Attr1"), (std::pair<DWORD, Bytes>{REG_BINARY, {0xE0, 0, 59, 0x41, 0, 255, 0}}));
    EXPECT_EQ(Raw(kMainPath, L"Talk"), (std::pair<DWORD, Bytes>{REG_DWORD, {59, 23, 0x16, 0x0F}}));

    // Alarms back at their defaults leave no value behind, and read back as defaults.
    SaveAlarmSettings(store, Settings{});
    EXPECT_EQ(LoadAll(store).Alarms, Settings{}.Alarms);
    DWORD values = 1;
    HKEY alarm;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kAlarmPath, 0, KEY_QUERY_VALUE, &alarm), ERROR_SUCCESS);
    RegQueryInfoKeyW(alarm, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(alarm);
    EXPECT_EQ(values, 0u);
}

TEST_F(RegistrySettings, ValuesAsOtherProgramsWroteThem) {
    const std::uint8_t three[] = {0x80, 7, 30}, nine[] = {0x80, 8, 15, 0x41, 0, 0, 0, 9, 9}, two[] = {1, 2};
    const std::uint8_t four[] = {0x44, 0x33, 0x22, 0x11};
    const wchar_t unterminated[] = {L'A', L'b'};
    Put(kAlarmPath, L"Attr3", REG_BINARY, three, sizeof three);  // fills its leading bytes
    Put(kAlarmPath, L"Attr4", REG_BINARY, nine, sizeof nine);    // too long: ignored
    Put(kMainPath, L"FontColor1", REG_BINARY, two, sizeof two);  // DWORDs are taken by their size
    Put(kMainPath, L"FontColor2", REG_BINARY, four, sizeof four);
    Put(kMainPath, L"FontName1", REG_BINARY, four, sizeof four);  // texts by their type
    Put(kMainPath, L"FontName2", REG_SZ, unterminated, sizeof unterminated);
    // 163 Japanese characters: 326 bytes in Shift-JIS, beyond any 255-byte reader.
    std::wstring japanese;
    for (int i = 0; i < 20; ++i) japanese += L"目覚ましの時間☆";
    japanese += L"です。";
    PutAnsiText(kAlarmPath, "Message5", Ansi(japanese));

    Settings s = LoadAll(store);
    EXPECT_TRUE(s.Alarms[2].Enabled);
    EXPECT_EQ(s.Alarms[2].Minute, 30);
    EXPECT_EQ(s.Alarms[2].Weekdays, L"1111111");
    EXPECT_EQ(s.Alarms[3], AlarmEntry{});
    EXPECT_EQ(s.FontColor[1], 0x800000u);
    EXPECT_EQ(s.FontColor[2], 0x11223344u);
    EXPECT_EQ(s.FontName[1], L"Arial");
    EXPECT_EQ(s.FontName[2], L"Ab");
    ASSERT_EQ(GetACP(), 932u);  // the prefix is Japanese
    EXPECT_EQ(s.Alarms[4].Message, japanese);
}

TEST_F(RegistrySettings, MigrationAnsweredNoRepeatsAndYesDeletesOnlyTheOldSettings) {
    const std::wstring old = kOldSettingsPath;
    PutAnsiText(old + L"\\Others", "Version", "1.20");
    PutAnsiText(old + L"\\Window", "AlphabeticFontName", Ansi(L"ＭＳ 明朝"));
    PutAnsiText(old + L"\\Window", "AlphabeticFontSize", "10.5");
    PutAnsiText(old + L"\\Talk", "Timing", "2");
    PutAnsiText(old + L"\\Alarm1", "WaveLoop", "-1");
    PutAnsiText(old + L"\\Alarm1", "WeekEnabled", "0111110");
    PutAnsiText(old + L"\\Alarm1", "Message", Ansi(L"出勤の時間です"));
    PutAnsiText(std::wstring(kNeighbourPath) + L"\\Main", "Kept", "yes");  // another program's settings
    RegistryOldSettingsStore oldStore;

    auto expectConverted = [&] {
        Settings s = LoadAll(store);
        EXPECT_EQ(s.FontName[1], L"ＭＳ 明朝");
        EXPECT_FLOAT_EQ(s.FontSize[1], 10.5f);
        EXPECT_EQ(s.AnnounceTiming, AnnounceTiming::AnnounceHourly);
        EXPECT_TRUE(s.Alarms[0].Loop);
        EXPECT_EQ(s.Alarms[0].Weekdays, L"0111110");
        EXPECT_EQ(s.Alarms[0].Message, L"出勤の時間です");
    };
    ScriptedPrompt no(false);
    MigratePreviousSettings(store, oldStore, no);
    EXPECT_NE(no.lastText.find(L"（Ver1.20）"), std::wstring::npos);
    expectConverted();
    EXPECT_TRUE(KeyExists(kOldSettingsPath));

    // The next start converts again, over a change made in between, and asks again.
    Settings changed = LoadAll(store);
    changed.AnnounceTiming = AnnounceTiming::AnnounceNone;
    SaveAnnounceSettings(store, changed);
    ScriptedPrompt yes(true);
    MigratePreviousSettings(store, oldStore, yes);
    EXPECT_EQ(yes.asked, 1);
    expectConverted();
    EXPECT_FALSE(KeyExists(kOldSettingsPath));
    EXPECT_TRUE(KeyExists(kNeighbourPath));

    ScriptedPrompt next(true);
    MigratePreviousSettings(store, oldStore, next);
    EXPECT_EQ(next.asked, 0);
}

// The real question box, answered No by clicking its button from another thread. The
// answer that deletes nothing must not come back as Yes.
TEST(MessageBoxPrompt, NoButtonAnswersNo) {
    std::atomic<bool> clicked{false};
    std::thread clicker([&] {
        for (int i = 0; i < 500 && !clicked; ++i) {
            HWND box = FindWindowW(L"#32770", kMigrationQuestionTitle);
            if (box && IsWindowVisible(box)) {
                SendMessageW(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
                clicked = true;
            }
            Sleep(20);
        }
    });
    MessageBoxPrompt prompt;
    bool answer = prompt.AskYesNo(kMigrationQuestionTitle, MigrationQuestionText(L"1.20"));
    clicked = true;
    clicker.join();
    EXPECT_FALSE(answer);
}

}  // namespace
}  // namespace hv
