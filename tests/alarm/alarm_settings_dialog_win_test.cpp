// The alarm settings dialog and the icon chooser as a user drives them: keys and clicks
// posted to the real dialogs, the alarms they store, the test button's sound and notice.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "alarm/alarm_overview.h"
#include "alarm/alarm_settings_dialog_win.h"
#include "alarm/icon_chooser_win.h"
#include "settings/memory_store.h"
#include "settings/settings_io.h"
#include "settings/settings_schema.h"
#include "tests/alarm/test_sound_win.h"
#include "tests/support/dialog_driver_win.h"
#include "tests/support/memory_host.h"
#include "tests/support/message_box_catcher_win.h"

namespace hv {
namespace {

using D = AlarmSettingsDialog;
using C = IconChooser;
using hvtest::DialogScript;
using hvtest::Driver;
using hvtest::Focus;
using hvtest::WindowText;

using hvtest::kClip;
using hvtest::WavePlaying;

std::wstring Fixture(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self, wcsrchr(self, L'\\') + 1);
    return folder + L"iconfixtures\\" + name;
}

// The chooser of `thread` once it shows (its message boxes carry the same title).
HWND FindChooser(DWORD thread) {
    for (int i = 0; i < 500; ++i) {
        HWND found = hvtest::FindDialog(thread, kIconChooserTitle);
        if (found && GetDlgItem(found, C::kIdFile)) return found;
        Sleep(20);
    }
    return nullptr;
}

class AlarmSettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { actions.SetProgramIcon(LoadIconW(nullptr, IDI_WARNING)); }
    void TearDown() override { actions.StopAllSounds(); }
    std::optional<std::vector<std::uint8_t>> Attr(int n) const {
        return host.store_.Binary(kAlarmSubkey, L"Attr" + std::to_wstring(n));
    }

    hvtest::MemoryHost host;
    AlarmActions actions{L"C:\\Horavox\\", nullptr};
};


// A click on the tab's header, as the mouse makes it.
void SelectTab(const Driver& d, int index) {
    HWND tabs = d.Item(D::kIdTabs);
    RECT r{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tabs, WM_LBUTTONUP, 0, at);
    d.Sync();
}

TEST_F(AlarmSettingsDialogTest, OkWithNothingChangedRewritesAllTwentyWithTheDefaultsDeleted) {
    MemorySettingsStore& store = host.store_;
    store.PutBinary(kAlarmSubkey, L"Attr3", {0, 0, 0, 0x7F, 0, 0, 0});  // at its defaults, stored anyway
    store.PutText(kAlarmSubkey, L"Message3", L"");
    store.PutBinary(kAlarmSubkey, L"Attr5", {0, 7, 0, 0x7F, 0, 0, 0});  // disabled at 7:00
    store.PutText(kAlarmSubkey, L"WavFile5", L"C:\\起床.wav");
    host.Load();
    const Settings before = host.settings_;
    store.ClearOperations();
    D dialog(host, actions);
    DialogScript script([](Driver& d) {
        EXPECT_EQ(WindowText(d.dialog()), L"アラーム - [1/20]");
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdEnable));
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    EXPECT_EQ(host.settings_, before);
    EXPECT_EQ(store.WrittenNames(kAlarmSubkey).size(), 20u * 8u) << "every value of every alarm";
    EXPECT_EQ(store.ValueCount(kAlarmSubkey), 2u);
    EXPECT_EQ(Attr(5), (std::vector<std::uint8_t>{0, 7, 0, 0x7F, 0, 0, 0}));
    EXPECT_EQ(store.Text(kAlarmSubkey, L"WavFile5"), L"C:\\起床.wav");
}

std::wstring OverviewText(const Driver& d, int line, int column) {
    wchar_t text[64] = {};
    ListView_GetItemText(d.Item(D::kIdOverview), line, column, text, 64);
    return text;
}

// From the keyboard alone: a date for alarm 1 (one in the past refused at OK with a message),
// then the overview, where Enter opens alarm 6 to skip holidays.
TEST_F(AlarmSettingsDialogTest, ADateRefusedWhenPastAndTheOverviewOpensTheChosenAlarm) {
    host.store_.PutBinary(kAlarmSubkey, L"Attr6", {0x80, 9, 30, 0x3E, 0, 0, 0});
    host.store_.PutText(kAlarmSubkey, L"Message6", L"会議");
    host.Load();
    hvtest::MessageBoxCatcher boxes;
    D dialog(host, actions);
    DialogScript script([&](Driver& d) {
        d.Key(VK_SPACE);    // このアラームを実行する
        d.AccessKey(L'd');  // 日付を指定(&D): the box starts from a date to come
        EXPECT_TRUE(d.Enabled(D::kIdDate) && !d.Enabled(D::kIdWeek) && !d.Enabled(D::kIdSkipHolidays));
        EXPECT_EQ(WindowText(d.Item(D::kIdDate)).size(), 10u);
        d.Type(D::kIdDate, L"2020/1/1");
        d.Key(VK_RETURN);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, PastDateMessage(0));
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdDate));
        d.Type(D::kIdDate, L"2099-12-31");
        d.ControlKey(VK_TAB, true);  // from the first tab back round to 一覧
        EXPECT_TRUE(d.Visible(D::kIdOverview));
        EXPECT_EQ(SendMessageW(d.Item(D::kIdOverview), LVM_GETITEMCOUNT, 0, 0), 20);
        EXPECT_EQ(OverviewText(d, 0, 3), L"2099/12/31");
        EXPECT_EQ(std::tuple(OverviewText(d, 5, 2), OverviewText(d, 5, 3), OverviewText(d, 5, 5)),
                  std::tuple(L"9:30", L"月火水木金", L"会議"));
        d.AccessKey(L'v');  // アラームの一覧(&V)
        for (int i = 0; i < 5; ++i) d.Key(VK_DOWN);
        d.Key(VK_RETURN);  // opens alarm 6, not OK
        EXPECT_EQ(std::pair(WindowText(d.dialog()), d.Visible(D::kIdHour)), std::pair(std::wstring(L"アラーム - [6/20]"), true));
        d.AccessKey(L'n');  // 祝日は鳴らさない(&N)
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    EXPECT_EQ(std::tuple(boxes.boxes.size(), host.store_.Dword(kAlarmSubkey, L"Date1"),
                         host.store_.Dword(kAlarmSubkey, L"SkipHolidays6"), Attr(1).value_or(std::vector<std::uint8_t>{1})[0]),
              std::tuple(1u, 20991231u, 1u, 0x80));
}

TEST_F(AlarmSettingsDialogTest, AnAlarmAtFiveAfterSevenOnSundaysOnlyStoresItsAttrBytes) {
    host.Load();
    D dialog(host, actions);
    DialogScript script([](Driver& d) {
        d.Key(VK_SPACE);  // このアラームを実行する
        d.AccessKey(L'r');  // 分に告知(&R) names the time: the hour box
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdHour));
        d.Type(D::kIdHour, L"7");
        d.Key(VK_TAB);
        EXPECT_EQ(std::tuple(Focus(d.dialog()), d.SpinValue(D::kIdHourSpin)), std::tuple(d.Item(D::kIdMinute), 7));
        d.Type(D::kIdMinute, L"4");
        d.Key(VK_UP);  // the arrows count from the typed number
        EXPECT_EQ(WindowText(d.Item(D::kIdMinute)), L"5");
        for (int day = 1; day < 7; ++day) d.Click(D::kIdWeek + day);
        d.AccessKey(L'm');
        d.Type(D::kIdMessage, L"起きる時間です");
        d.Click(IDOK);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    EXPECT_EQ(Attr(1), (std::vector<std::uint8_t>{0x80, 7, 5, 0x40, 0, 0, 0}));
    EXPECT_EQ(host.store_.Text(kAlarmSubkey, L"Message1"), L"起きる時間です");
    EXPECT_EQ(std::tuple(host.settings_.Alarms[0].Weekdays, host.settings_.Alarms[0].Enabled),
              std::tuple(std::wstring(L"1000000"), true));
}

TEST_F(AlarmSettingsDialogTest, RefusedTimesKeepTheFocusAndPagingStopsAtBothEndsAndCancelStoresNothing) {
    host.store_.PutBinary(kAlarmSubkey, L"Attr2", {0x80, 30, 99, 0x7F, 0, 0, 0});  // beyond the arrows
    host.Load();
    const Settings before = host.settings_;
    host.store_.ClearOperations();
    for (const bool escape : {true, false}) {
        D dialog(host, actions);
        DialogScript script([escape](Driver& d) {
            EXPECT_FALSE(d.Enabled(D::kIdBack));
            for (const wchar_t* refused : {L"24", L"-1", L"ab"}) {
                d.Type(D::kIdHour, refused);
                d.Key(VK_TAB);
                EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdHour)) << refused;
                d.Type(D::kIdHour, refused);
                d.Click(D::kIdNext);  // nor does the page change over it
                EXPECT_EQ(std::tuple(Focus(d.dialog()), WindowText(d.dialog())),
                          std::tuple(d.Item(D::kIdHour), std::wstring(L"アラーム - [1/20]")))
                    << refused;
            }
            d.Type(D::kIdHour, L"23");
            d.Key(VK_UP);
            EXPECT_EQ(d.SpinValue(D::kIdHourSpin), 23) << "no wrap";
            d.Click(D::kIdNext);
            EXPECT_TRUE(d.Enabled(D::kIdBack));
            EXPECT_EQ(std::tuple(WindowText(d.Item(D::kIdHour)), WindowText(d.Item(D::kIdMinute)),
                                 d.SpinValue(D::kIdHourSpin)),
                      std::tuple(L"30", L"99", 23))
                << "stored numbers beyond the arrows show as stored";
            for (int page = 3; page <= 20; ++page) d.Click(D::kIdNext);
            EXPECT_EQ(std::tuple(WindowText(d.dialog()), d.Enabled(D::kIdNext)),
                      std::tuple(std::wstring(L"アラーム - [20/20]"), false));
            EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdBack)) << "the focus leaves the disabled button";
            if (escape) {
                d.Key(VK_ESCAPE);
            } else {
                d.Click(IDCANCEL);
            }
        });
        EXPECT_FALSE(dialog.Run(nullptr));
        script.Join();
        EXPECT_TRUE(host.store_.operations().empty()) << escape;
        EXPECT_EQ(host.settings_, before) << escape;
    }
}

TEST_F(AlarmSettingsDialogTest, TheSoundTabShowsTheKindsControlsAndACdErrorOnce) {
    host.store_.PutBinary(kAlarmSubkey, L"Attr1", {0x40, 0, 0, 0x7F, 0, 0, 0});  // WAVE, looping
    host.store_.PutText(kAlarmSubkey, L"WavFile1", L"C:\\a.wav");
    host.store_.PutText(kAlarmSubkey, L"MidFile1", L"C:\\b.mid");
    host.Load();
    hvtest::MessageBoxCatcher boxes;
    D dialog(host, actions);
    DialogScript script([](Driver& d) {
        EXPECT_FALSE(d.Visible(D::kIdSoundFile)) << "on another tab";
        SelectTab(d, 1);
        EXPECT_TRUE(d.Visible(D::kIdSoundFile) && d.Visible(D::kIdSoundOption) && !d.Visible(D::kIdTrack));
        EXPECT_FALSE(d.Visible(D::kIdEnable) == false) << "the enable box is on every tab";
        EXPECT_EQ(std::tuple(WindowText(d.Item(D::kIdGuide)), WindowText(d.Item(D::kIdSoundFile)), d.Checked(D::kIdSoundOption)),
                  std::tuple(L"ウェーブファイル名(&F):", L"C:\\a.wav", true));
        d.Click(D::kIdKind + 1);
        EXPECT_TRUE(d.Visible(D::kIdSoundFile) && !d.Visible(D::kIdSoundOption));
        EXPECT_EQ(WindowText(d.Item(D::kIdSoundFile)), L"C:\\b.mid");
        d.Type(D::kIdSoundFile, L"C:\\c.mid");
        // No CD drive in the test prefix: the probe fails, reported once per error.
        d.Click(D::kIdKind + 2);
        d.Click(D::kIdKind + 0);
        d.Click(D::kIdKind + 2);
        EXPECT_TRUE(d.Visible(D::kIdTrack) && !d.Visible(D::kIdSoundFile) && !d.Enabled(D::kIdTrack) &&
                    !d.Enabled(D::kIdSoundOption) && !d.Enabled(D::kIdGuide));
        EXPECT_EQ(std::tuple(WindowText(d.Item(D::kIdGuide)), WindowText(d.Item(D::kIdSoundOption)),
                             WindowText(d.Item(D::kIdReadout))),
                  std::tuple(L"開始トラック(&S):", L"ランダム演奏", L"0/0"));  // S: the test button has T
        SelectTab(d, 0);
        EXPECT_FALSE(d.Visible(D::kIdTrack));
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, L"MCIのエラー");
    const AlarmEntry& alarm = host.settings_.Alarms[0];
    EXPECT_EQ(std::tuple(alarm.SoundKind, alarm.CdTrackCount, alarm.MidFile, alarm.WavFile, alarm.Loop),
              std::tuple(SoundKind::CdAudio, 0, std::wstring(L"C:\\c.mid"), std::wstring(L"C:\\a.wav"), true));
}

// A save that fails is told, naming what was not saved; the dialog stays open, and nothing
// of the change is in force.
TEST_F(AlarmSettingsDialogTest, AFailedSaveIsToldAndKeepsTheDialogOpen) {
    host.store_.FailWrite(kAlarmSubkey, L"Message1");
    hvtest::MessageBoxCatcher boxes;
    D dialog(host, actions);
    DialogScript script([](Driver& d) {
        d.Type(D::kIdMessage, L"会議");
        d.Click(IDOK);
        if (IsWindowVisible(d.dialog())) d.Key(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Run(nullptr));
    script.Join();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(std::tuple(boxes.boxes[0].caption, boxes.boxes[0].text.substr(0, 18), host.settings_.Alarms[0].Message),
              std::tuple(std::wstring(L"Horavox"), std::wstring(L"アラームの設定を保存できませんでした"), L""));
}

TEST_F(AlarmSettingsDialogTest, TheTestPlaysALoopingWaveUntilTheNoticeIsConfirmedAndClosingStopsIt) {
    host.store_.PutBinary(kAlarmSubkey, L"Attr1", {0x40, 0, 0, 0x7F, 0, 0, 0});
    host.store_.PutText(kAlarmSubkey, L"WavFile1", kClip);
    host.store_.PutText(kAlarmSubkey, L"Message1", L"  テストです  ");
    host.store_.PutBinary(kAlarmSubkey, L"Attr2", {0x40, 0, 0, 0x7F, 0, 0, 0});
    host.store_.PutText(kAlarmSubkey, L"WavFile2", kClip);  // no message: no notice
    host.Load();
    bool playedWhileOpen = false, stoppedByOk = false, waited = false;
    D dialog(host, actions);
    DialogScript script([&](Driver& d) {
        // The notice is modal: the click returns to the script while it is open.
        PostMessageW(d.Item(D::kIdTest), BM_CLICK, 0, 0);
        HWND notice = nullptr;
        for (int i = 0; i < 1500 && !(notice = actions.DialogWindow()); ++i) Sleep(20);
        ASSERT_NE(notice, nullptr);
        waited = !IsWindowEnabled(d.dialog());
        Sleep(700);  // longer than the clip: it plays again
        playedWhileOpen = WavePlaying();
        PostMessageW(GetDlgItem(notice, IDOK), BM_CLICK, 0, 0);
        d.Sync();
        stoppedByOk = !WavePlaying();
        EXPECT_EQ(WindowText(d.Item(D::kIdMessage)), L"テストです") << "firing trims the working copy";
        d.Click(D::kIdNext);
        d.Click(D::kIdTest);
        Sleep(300);
        EXPECT_TRUE(WavePlaying());
        d.Key(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Run(nullptr));
    script.Join();
    EXPECT_TRUE(waited && playedWhileOpen && stoppedByOk);
    EXPECT_FALSE(WavePlaying()) << "closing the dialog stops every sound";
}

TEST_F(AlarmSettingsDialogTest, TheIconChosenInTheChooserIsTheAlarmsAndCancelKeepsIt) {
    host.store_.PutText(kAlarmSubkey, L"IconFile2", Fixture(L"icons0.dll"));
    host.Load();
    // A Japanese file name on the way through.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring library = std::wstring(temp) + L"アイコン集.dll";
    ASSERT_TRUE(CopyFileW(Fixture(L"icons11.dll").c_str(), library.c_str(), FALSE));
    D dialog(host, actions);
    DialogScript script([&](Driver& d) {
        SelectTab(d, 2);
        EXPECT_NE(dialog.PreviewIcon(), nullptr) << "no icon file: the program's own";
        EXPECT_TRUE(d.Checked(D::kIdPosition + 0));
        d.Click(D::kIdPosition + 4);
        for (const bool accept : {false, true}) {
            PostMessageW(d.Item(D::kIdModifyIcon), BM_CLICK, 0, 0);
            HWND chooser = FindChooser(GetWindowThreadProcessId(d.dialog(), nullptr));
            ASSERT_NE(chooser, nullptr);
            Driver c(chooser);
            // The alarm has no icon file: the system's shell library, icon 0 marked.
            EXPECT_EQ(WindowText(c.Item(C::kIdFile)), L"C:\\windows\\system32\\SHELL32.DLL");
            EXPECT_TRUE(c.Enabled(IDOK));
            c.Type(C::kIdFile, library);
            c.Key(VK_TAB);
            EXPECT_FALSE(c.Enabled(IDOK)) << "a new file: nothing marked yet";
            c.Key(VK_TAB);  // the strip takes the focus: icon 0 marked
            EXPECT_EQ(Focus(chooser), c.Item(C::kIdStrip));
            c.Key(VK_RIGHT);
            c.Key(VK_RIGHT);
            EXPECT_TRUE(c.Enabled(IDOK));
            if (accept) {
                c.Click(IDOK);
            } else {
                c.Click(IDCANCEL);
            }
            d.Sync();
        }
        EXPECT_NE(dialog.PreviewIcon(), nullptr);
        d.Click(D::kIdNext);
        EXPECT_EQ(dialog.PreviewIcon(), nullptr) << "a file without the icon leaves the preview empty";
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    const AlarmEntry& alarm = host.settings_.Alarms[0];
    EXPECT_EQ(std::tuple(alarm.IconFile, alarm.IconIndex, alarm.DialogPosition),
              std::tuple(library, 2, DialogPosition::BottomRight));
    EXPECT_EQ(Attr(1), (std::vector<std::uint8_t>{4, 0, 0, 0x7F, 2, 0, 0}));
    DeleteFileW(library.c_str());
}

// Every page: the tab strip takes the arrow keys, and Tab reaches the rest.
TEST_F(AlarmSettingsDialogTest, TabReachesEveryControlOfEveryPage) {
    host.store_.PutBinary(kAlarmSubkey, L"Attr1", {0xC0, 7, 5, 0x7F, 0, 0, 0});  // on, WAVE: every time box takes input
    host.Load();
    D dialog(host, actions);
    DialogScript script([](Driver& d) {
        for (int page = 1; page <= 3; ++page) {
            EXPECT_EQ(d.NotReachedByTab(), std::vector<std::wstring>{}) << page;
            PostMessageW(d.dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(d.Item(D::kIdTabs)), TRUE);
            d.Key(VK_RIGHT);
        }
        d.Key(VK_ESCAPE);
    });
    dialog.Run(nullptr);
    script.Join();
    EXPECT_TRUE(script.found());
}

TEST(IconChooserTest, ElevenIconsScrollAndTheSelectionFollowsClicksAndKeys) {
    C chooser(L"C:\\windows\\system32\\", {Fixture(L"icons11.dll"), 10, false});
    std::vector<int> marks;
    DialogScript script([&](Driver& d) {
        const IconStripModel& strip = chooser.strip().model();
        EXPECT_EQ(std::tuple(strip.count(), strip.scrollEnabled(), strip.scrollMaximum(), strip.marked(),
                             strip.scrollValue()),
                  std::tuple(11, true, 27, 10, 27));
        HWND window = d.Item(C::kIdStrip);
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(std::tuple(client.right, client.bottom), std::tuple(325, 44));
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(window, SB_HORZ, &info);
        EXPECT_EQ(std::tuple(info.nMax, static_cast<int>(info.nPage), info.nPos), std::tuple(351, 325, 27));
        // A click at x = 100 of the viewport is x = 127 of the strip: icon 3.
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 20));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(100, 20));
        d.Sync();
        marks.push_back(strip.marked());
        EXPECT_EQ(Focus(d.dialog()), window);
        d.Key(VK_LEFT);
        marks.push_back(strip.marked());
        EXPECT_EQ(strip.scrollValue(), 0);
        for (int i = 0; i < 3; ++i) d.Key(VK_LEFT);  // stops at icon 0
        marks.push_back(strip.marked());
        // At 150 %: bigger cells, the same rules.
        RECT suggested;
        GetWindowRect(d.dialog(), &suggested);
        SendMessageW(d.dialog(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
        GetClientRect(window, &client);
        EXPECT_EQ(std::tuple(client.right, client.bottom, strip.cellWidth(), strip.scrollMaximum()),
                  std::tuple(488, 66, 48, 40));
        d.Click(IDOK);
    });
    const IconChoice choice = chooser.Run(nullptr);
    script.Join();
    EXPECT_EQ(marks, (std::vector<int>{3, 2, 0}));
    EXPECT_EQ(std::tuple(choice.file, choice.index, choice.accepted), std::tuple(Fixture(L"icons11.dll"), 0, true));
}

TEST(IconChooserTest, TabReachesEveryControl) {
    C chooser(L"C:\\windows\\system32\\", {Fixture(L"icons11.dll"), 1, false});
    DialogScript script([](Driver& d) {
        EXPECT_EQ(d.NotReachedByTab(), std::vector<std::wstring>{});
        d.Key(VK_ESCAPE);
    });
    chooser.Run(nullptr);
    script.Join();
    EXPECT_TRUE(script.found());
}

TEST(IconChooserTest, AFileWithoutIconsOrNoFileAtAllIsTold) {
    hvtest::MessageBoxCatcher boxes;
    const std::wstring none = Fixture(L"icons0.dll");
    C chooser(L"C:\\windows\\system32\\", {none, 0, false});
    const DWORD thread = GetCurrentThreadId();
    std::thread script([&] {
        HWND window = FindChooser(thread);
        ASSERT_NE(window, nullptr);
        Driver d(window);
        EXPECT_FALSE(d.Enabled(IDOK));
        EXPECT_EQ(chooser.strip().model().count(), 0);
        d.Type(C::kIdFile, L"C:\\no such folder\\x.ico");
        d.Key(VK_TAB);
        EXPECT_EQ(WindowText(d.Item(C::kIdFile)), L"C:\\windows\\system32\\SHELL32.DLL");
        EXPECT_GT(chooser.strip().model().count(), 0);
        EXPECT_FALSE(d.Enabled(IDOK));
        PostMessageW(d.dialog(), WM_COMMAND, IDOK, 0);  // as Enter would: no icon is marked yet
        d.Sync();
        EXPECT_TRUE(IsWindowVisible(d.dialog()));
        d.Key(VK_ESCAPE);
    });
    const IconChoice choice = chooser.Run(nullptr);
    script.join();
    EXPECT_FALSE(choice.accepted);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(std::tuple(boxes.boxes[0].caption, boxes.boxes[0].text),
              std::tuple(std::wstring(kIconChooserTitle), NoIconsMessage(none)));
    EXPECT_EQ(boxes.boxes[1].text, FileNotFoundMessage(L"C:\\no such folder\\x.ico"));
}

}  // namespace
}  // namespace hv
