// The settings over the real per-user registry (the test prefix's), and the conversion
// from a real store of the previous version. Every test starts and ends without the
// program's keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "settings/registry_store_win.h"
#include "tests/settings/settings_test.h"
#include "tests/support/dialog_driver_win.h"

namespace hv {
namespace {

using test::LoadAll;
using Raw = std::pair<DWORD, std::vector<std::uint8_t>>;

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
Raw Stored(const wchar_t* path, const wchar_t* name) {
    Raw value{0, std::vector<std::uint8_t>(4096)};
    DWORD size = static_cast<DWORD>(value.second.size());
    if (RegGetValueW(HKEY_CURRENT_USER, path, name, RRF_RT_ANY, &value.first, value.second.data(), &size)) return {};
    value.second.resize(size);
    return value;
}

// As other programs write values: raw bytes, or a text through the ANSI API in the system
// code page, as the previous version wrote its settings (returning the bytes written).
void Put(const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, path, name, type, data, size), ERROR_SUCCESS) << name;
}
DWORD PutAnsi(const std::string& path, const char* name, const std::wstring& text) {
    std::string ansi(text.size() * 2 + 1, '\0');
    ansi.resize(WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), int(ansi.size()), nullptr, nullptr));
    EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), name, REG_SZ, ansi.data(), DWORD(ansi.size())), 0);
    return DWORD(ansi.size());
}

class RegistrySettings : public ::testing::Test {
protected:
    static void RemoveTestKeys() {
        for (const wchar_t* path : {kMainPath, kOldSettingsPath, kNeighbourPath})
            RegDeleteTreeW(HKEY_CURRENT_USER, path);
        // The folders above go only when nothing else lives in them.
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Kelvane");
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings");
    }
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override { RemoveTestKeys(); }

    RegistrySettingsStore store;
};

TEST_F(RegistrySettings, EveryGroupRoundTripsInTheStoredLayouts) {
    EXPECT_EQ(LoadAll(store), Settings{});
    EXPECT_FALSE(KeyExists(kMainPath));  // reading creates nothing
    const Settings s = test::EverythingChanged();
    test::SaveAll(store, s);
    EXPECT_EQ(LoadAll(store), s);  // Japanese, empty and 1000-character texts included
    const std::wstring font = s.FontName[1];
    const auto* units = reinterpret_cast<const std::uint8_t*>(font.c_str());
    EXPECT_EQ(Stored(kMainPath, L"FontName1"), (Raw{REG_SZ, {units, units + 2 * font.size() + 2}}));
    EXPECT_EQ(Stored(kAlarmPath, L"Attr1"), (Raw{REG_BINARY, {0xE0, 0, 59, 0x41, 0, 255, 0}}));
    EXPECT_EQ(Stored(kMainPath, L"Talk"), (Raw{REG_DWORD, {59, 23, 0x16, 0x0F}}));  // in the main key itself

    // Alarms back at their defaults leave no value behind, and read back as defaults.
    SaveAlarmSettings(store, Settings{});
    EXPECT_EQ(LoadAll(store).Alarms, Settings{}.Alarms);
    EXPECT_EQ(Stored(kAlarmPath, L"Attr1").first + Stored(kAlarmPath, L"Message1").first, 0u);
}

TEST_F(RegistrySettings, ValuesAsOtherProgramsWroteThem) {
    const std::uint8_t three[] = {0x80, 7, 30}, nine[] = {0x80, 8, 15, 0x41, 0, 0, 0, 9, 9}, two[] = {1, 2};
    const std::uint8_t four[] = {0x44, 0x33, 0x22, 0x11}, eight[8] = {1};
    const wchar_t unterminated[] = {L'A', L'b'};
    Put(kAlarmPath, L"Attr3", REG_BINARY, three, sizeof three);  // fills its leading bytes
    Put(kAlarmPath, L"Attr4", REG_BINARY, nine, sizeof nine);    // too long: ignored
    Put(kMainPath, L"FontColor1", REG_BINARY, two, sizeof two);  // DWORDs are taken by their size
    Put(kMainPath, L"FontColor2", REG_BINARY, four, sizeof four);
    Put(kMainPath, L"FontColor3", REG_QWORD, eight, sizeof eight);
    Put(kMainPath, L"FontName1", REG_BINARY, four, sizeof four);  // texts by their type
    Put(kMainPath, L"FontName2", REG_SZ, unterminated, sizeof unterminated);
    const Settings s = LoadAll(store);
    const AlarmEntry& a = s.Alarms[2];
    EXPECT_EQ(std::tuple(a.Enabled, a.Minute, a.Weekdays), std::tuple(true, 30, L"1111111"));
    EXPECT_EQ(s.Alarms[3], AlarmEntry{});
    EXPECT_EQ(std::tuple(s.FontColor[1], s.FontColor[2], s.FontColor[3]), std::tuple(0x800000u, 0x11223344u, 0xA0u));
    EXPECT_EQ(std::tuple(s.FontName[1], s.FontName[2]), std::tuple(L"Arial", L"Ab"));
}

TEST_F(RegistrySettings, MigrationAnsweredNoAsksAgainWithoutConvertingAndYesDeletesOnlyTheOldSettings) {
    // 163 Japanese characters: 326 bytes in Shift-JIS, beyond any 255-byte reader.
    std::wstring japanese;
    for (int i = 0; i < 20; ++i) japanese += L"目覚ましの時間☆";
    japanese += L"です。";
    const std::string old = "Software\\VB and VBA Program Settings\\Horavox\\";
    for (const auto& [section, key, text] : std::initializer_list<std::tuple<const char*, const char*, std::wstring>>{
             {"Others", "Version", L"1.20"}, {"Window", "AlphabeticFontName", L"ＭＳ 明朝"},
             {"Talk", "Timing", L"2"}, {"Alarm1", "WaveLoop", L"-1"}}) {
        PutAnsi(old + section, key, text);
    }
    ASSERT_EQ(GetACP(), 932u);  // the prefix is Japanese
    EXPECT_GT(PutAnsi(old + "Alarm1", "Message", japanese), 256u);
    PutAnsi("Software\\VB and VBA Program Settings\\HoravoxTestNeighbour\\Main", "Kept", L"yes");
    RegistryOldSettingsStore oldStore;
    auto expectConverted = [&] {
        const Settings s = LoadAll(store);
        EXPECT_EQ(std::tuple(s.FontName[1], s.AnnounceTiming, s.Alarms[0].Loop, s.Alarms[0].Message),
                  std::tuple(L"ＭＳ 明朝", AnnounceTiming::AnnounceHourly, true, japanese));
    };

    test::ScriptedPrompt no(false);
    MigratePreviousSettings(store, oldStore, no);
    EXPECT_EQ(no.lastTitle, L"削除の確認");
    EXPECT_EQ(no.lastText,
              L"このコンピュータには、以前のバージョン（Ver1.20）の設定が残っています。\r\n"
              L"現バージョンへ引継いだので、以前のバージョンの設定は今後使いません。\r\n"
              L"\r\n"
              L"以前のバージョンの設定情報を削除しても宜しいですか？\r\n"
              L"[いいえ]を選んだ場合、次回起動時にも、このダイアログを表示します。");
    expectConverted();
    EXPECT_EQ(Stored(kMainPath, L"Migrated"), (Raw{REG_DWORD, {1, 0, 0, 0}}));
    // The next start asks again but keeps a change made in between.
    Settings changed = LoadAll(store);
    changed.AnnounceTiming = AnnounceTiming::AnnounceNone;
    SaveAnnounceSettings(store, changed);
    test::ScriptedPrompt yes(true);
    MigratePreviousSettings(store, oldStore, yes);
    EXPECT_EQ(yes.asked, 1);
    EXPECT_EQ(LoadAll(store).AnnounceTiming, AnnounceTiming::AnnounceNone);
    EXPECT_TRUE(!KeyExists(kOldSettingsPath) && KeyExists(kNeighbourPath));
    test::ScriptedPrompt next(true);
    MigratePreviousSettings(store, oldStore, next);
    EXPECT_EQ(next.asked, 0);
}

// The real question box, answered No by its button: the answer that deletes nothing must
// not come back as Yes.
TEST(MessageBoxPrompt, NoButtonAnswersNo) {
    hvtest::DialogScript driver([](hvtest::Driver& box) {
        EXPECT_EQ(hvtest::WindowText(box.dialog()), L"削除の確認");
        box.Click(IDNO);
    });
    EXPECT_FALSE(MessageBoxPrompt().AskYesNo(kMigrationQuestionTitle, MigrationQuestionText(L"1.20")));
    EXPECT_TRUE(driver.found());
}

}  // namespace
}  // namespace hv
