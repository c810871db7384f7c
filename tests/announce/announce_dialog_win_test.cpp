// The announcement dialog as a user drives it: keys, access keys and clicks posted to the
// real dialog, the settings it stores, and its size at two dpi values.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "announce/announce_dialog_win.h"
#include "settings/memory_store.h"
#include "settings/settings_io.h"
#include "settings/settings_schema.h"
#include "tests/support/dialog_driver_win.h"
#include "tests/support/memory_host.h"
#include "tests/support/message_box_catcher_win.h"

namespace hv {
namespace {

using D = AnnounceDialog;
using hvtest::Driver;
using hvtest::DialogScript;
using hvtest::Focus;
using hvtest::WindowText;

TEST(AnnounceDialogTest, KeyboardAloneSetsAFixedTimeAndOkStoresTalk) {
    hvtest::MemoryHost host;
    D dialog(host);
    DialogScript script([](Driver& d) {
        EXPECT_EQ(WindowText(d.dialog()), L"発声方法");
        // Stored default: every minute, so the fixed time is greyed.
        EXPECT_TRUE(d.Checked(D::kIdTiming + 1) && !d.Enabled(D::kIdHour) && !d.Enabled(D::kIdMinuteSpin));
        d.AccessKey(L'k');  // 定刻(&K):
        EXPECT_TRUE(d.Checked(D::kIdTiming + 6) && !d.Checked(D::kIdTiming + 1) && d.Enabled(D::kIdHour));
        d.Key(VK_TAB);
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdHour));
        d.Type(D::kIdHour, L"7");
        d.Key(VK_TAB);
        EXPECT_EQ(std::tuple(Focus(d.dialog()), d.SpinValue(D::kIdHourSpin)), std::tuple(d.Item(D::kIdMinute), 7));
        d.Type(D::kIdMinute, L"29");
        d.Key(VK_UP);  // the arrows count from the typed number
        EXPECT_EQ(std::tuple(d.SpinValue(D::kIdMinuteSpin), WindowText(d.Item(D::kIdMinute))), std::tuple(30, L"30"));
        d.AccessKey(L'u');  // 時間制(&U): into the hour-mode group
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdClock));
        d.Key(VK_DOWN);
        EXPECT_TRUE(d.Checked(D::kIdClock + 1));
        d.AccessKey(L's');  // スピード(&S): the slider
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdSpeed));
        d.Key(VK_END);
        d.Key(VK_HOME);
        d.Key(VK_RIGHT);
        d.Key(VK_RIGHT);
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    ASSERT_TRUE(script.found());
    EXPECT_EQ(host.Stored(L"Talk"), 0x0216071Eu);
    EXPECT_EQ(PackTalk(host.settings_), 0x0216071Eu);  // the tick uses them from its next minute
}

TEST(AnnounceDialogTest, QuietHoursAndTheFocusRuleAreStoredAndShownAgain) {
    using Boxes = std::vector<std::wstring>;
    const int boxes[] = {D::kIdQuietFromHour, D::kIdQuietFromMinute, D::kIdQuietToHour, D::kIdQuietToMinute};
    auto shown = [&boxes](const Driver& d) {
        Boxes texts;
        for (int id : boxes) texts.push_back(WindowText(d.Item(id)));
        return texts;
    };
    hvtest::MemoryHost host;
    D dialog(host);
    DialogScript script([&](Driver& d) {
        // Off at first, with 22:00 to 7:00 proposed; the focus rule on.
        EXPECT_EQ(shown(d), (Boxes{L"22", L"0", L"7", L"0"}));
        EXPECT_TRUE(!d.Checked(D::kIdQuiet) && !d.Enabled(D::kIdQuietFromHour) && !d.Enabled(D::kIdQuietToMinute + 1));
        EXPECT_TRUE(d.Checked(D::kIdQuietOnFocus));
        d.AccessKey(L'n');  // 次の時間帯(&N):
        EXPECT_TRUE(d.Checked(D::kIdQuiet) && d.Enabled(D::kIdQuietFromHour) && d.Enabled(D::kIdQuietToMinute + 1));
        d.Key(VK_TAB);
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdQuietFromHour));
        d.Type(D::kIdQuietFromHour, L"23");
        d.Key(VK_TAB);
        d.Type(D::kIdQuietFromMinute, L"60");  // refused
        d.Key(VK_TAB);
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdQuietFromMinute));
        d.Type(D::kIdQuietFromMinute, L"30");
        d.Key(VK_TAB);
        d.Type(D::kIdQuietToHour, L"6");
        d.Type(D::kIdQuietToMinute, L"44");
        d.Key(VK_UP);  // the arrows count from the typed number
        d.AccessKey(L'f');  // 全画面表示・プレゼンテーション・応答不可のとき(&F)
        EXPECT_FALSE(d.Checked(D::kIdQuietOnFocus));
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    EXPECT_EQ(std::tuple(host.Stored(L"QuietHours"), host.Stored(L"QuietOnFocus"), host.Stored(L"Talk")),
              std::tuple(0x862D171Eu, 0u, kDefaultTalk));
    EXPECT_EQ(host.Reloaded(), host.settings_);

    // The next start shows them; switched off, the range stays for the next time it is on.
    hvtest::MemoryHost next;
    next.settings_ = host.Reloaded();
    D again(next);
    DialogScript second([&](Driver& d) {
        EXPECT_EQ(shown(d), (Boxes{L"23", L"30", L"6", L"45"}));
        EXPECT_TRUE(d.Checked(D::kIdQuiet) && !d.Checked(D::kIdQuietOnFocus));
        d.Click(D::kIdQuiet);
        d.Click(D::kIdQuietOnFocus);
        EXPECT_FALSE(d.Enabled(D::kIdQuietFromMinute));
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(again.Run(nullptr));
    second.Join();
    EXPECT_EQ(std::tuple(next.Stored(L"QuietHours"), next.Stored(L"QuietOnFocus")), std::tuple(0x062D171Eu, 1u));
}

TEST(AnnounceDialogTest, QuietHoursThatEndWhereTheyStartAreRefusedAtOkWithAMessage) {
    hvtest::MemoryHost host;
    UnpackQuietHours(0x96001600, host.settings_);  // on, 22:00 to 22:00
    hvtest::MessageBoxCatcher boxes;
    D dialog(host);
    DialogScript script([](Driver& d) {
        d.Key(VK_RETURN);
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdQuietToHour));
        d.Type(D::kIdQuietToHour, L"6");
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(std::tuple(boxes.boxes[0].caption, boxes.boxes[0].text.substr(0, 17), host.Stored(L"QuietHours")),
              std::tuple(L"Horavox", L"発声しない時間帯の開始と終了が同じ", 0x86001600u));
}

// Ctrl+Alt+T taken by another program: OK tells so and stays, with the focus on the key;
// "なし" then stores no key.
TEST(AnnounceDialogTest, AHotkeyWindowsRefusesIsToldAndTheDialogStaysOpen) {
    hvtest::MemoryHost host;
    std::tie(host.settings_.TalkHotkey, host.refusedHotkey) = std::tuple(0, 0x0654);
    hvtest::MessageBoxCatcher boxes;
    D dialog(host);
    DialogScript script([](Driver& d) {
        SendMessageW(d.Item(D::kIdHotkey), HKM_SETHOTKEY, 0x0654, 0);  // Ctrl+Alt+T pressed in the box
        PostMessageW(d.dialog(), WM_COMMAND, MAKEWPARAM(D::kIdHotkey, EN_CHANGE), LPARAM(d.Item(D::kIdHotkey)));
        d.Sync();
        d.Key(VK_RETURN);
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdHotkey));
        d.AccessKey(L'e');
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text.substr(0, 26), L"Ctrl+Alt+T は他のプログラムが使用している");
    EXPECT_EQ(std::tuple(host.hotkeys, host.Stored(L"TalkHotkey"), host.settings_.TalkHotkey),
              std::tuple(std::vector<std::uint16_t>{0x0654, 0}, 0u, 0));
}

TEST(AnnounceDialogTest, RefusedInputKeepsTheFocusAndCancelOrEscStoresNothing) {
    for (const bool escape : {true, false}) {
        hvtest::MemoryHost host;
        UnpackTalk(0x02060815, host.settings_);  // fixed time 8:21, 12-hour, speed 2
        const Settings before = host.settings_;
        D dialog(host);
        DialogScript script([escape](Driver& d) {
            EXPECT_EQ(std::tuple(WindowText(d.Item(D::kIdHour)), WindowText(d.Item(D::kIdMinute))),
                      std::tuple(L"8", L"21"));
            for (const wchar_t* refused : {L"24", L"x", L"-1"}) {
                d.Type(D::kIdHour, refused);
                d.Key(VK_TAB);
                EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdHour)) << refused;
                EXPECT_TRUE(hvtest::WholeTextSelected(d.Item(D::kIdHour))) << refused;
                EXPECT_EQ(d.SpinValue(D::kIdHourSpin), 8) << refused;
            }
            d.Key(VK_RETURN);  // OK refuses the pending hour too, and stays open
            EXPECT_EQ(Focus(d.dialog()), d.Item(D::kIdHour));
            d.Type(D::kIdHour, L"05");
            d.Key(VK_TAB);
            EXPECT_EQ(std::tuple(d.SpinValue(D::kIdHourSpin), WindowText(d.Item(D::kIdHour))), std::tuple(5, L"5"));
            d.Type(D::kIdMinute, L"99");  // pending and wrong: Cancel still closes
            if (escape) {
                d.Key(VK_ESCAPE);
            } else {
                d.Click(IDCANCEL);
            }
        });
        EXPECT_FALSE(dialog.Run(nullptr));
        script.Join();
        EXPECT_EQ(host.Stored(L"Talk"), std::nullopt) << escape;
        EXPECT_EQ(host.settings_, before) << escape;
    }
}

TEST(AnnounceDialogTest, StoredValuesWithoutAnOptionOrBeyondTheArrowsAreKeptUntilChanged) {
    hvtest::MemoryHost host;
    UnpackTalk(0x0F0B1E50, host.settings_);  // timing 11, hour 30, minute 80, speed 15
    D dialog(host);
    DialogScript script([](Driver& d) {
        for (int i = 0; i < kTimingOptionCount; ++i) EXPECT_FALSE(d.Checked(D::kIdTiming + i)) << i;
        EXPECT_EQ(std::tuple(WindowText(d.Item(D::kIdHour)), d.SpinValue(D::kIdHourSpin)), std::tuple(L"30", 23));
        d.Click(D::kIdTiming + 3);  // a timing picked at last; the time stays as stored, greyed
        EXPECT_EQ(std::tuple(d.Enabled(D::kIdHour), WindowText(d.Item(D::kIdHour))), std::tuple(false, L"30"));
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    EXPECT_EQ(host.Stored(L"Talk"), 0x0F031E50u);
}

TEST(AnnounceDialogTest, SpinnersStopAtTheirEndsAndTheTestSpeaksTheWorkingChoice) {
    hvtest::MemoryHost host;
    UnpackTalk(0x0D161700, host.settings_);  // fixed 23:00, 24-hour, speed 13
    host.speaks = false;
    hvtest::MessageBoxCatcher boxes;
    D dialog(host);
    DialogScript script([](Driver& d) {
        d.Type(D::kIdHour, L"23");
        d.Key(VK_UP);
        d.Type(D::kIdMinute, L"0");
        d.Key(VK_DOWN);
        EXPECT_EQ(std::tuple(d.SpinValue(D::kIdHourSpin), d.SpinValue(D::kIdMinuteSpin)), std::tuple(23, 0));
        d.Click(D::kIdClock);  // 12時間制 for the test only
        d.Click(D::kIdPlay);
        d.Key(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Run(nullptr));
    script.Join();
    ASSERT_EQ(host.spoken.size(), 1u);
    EXPECT_EQ(std::tuple(host.spoken[0].time.size(), host.spoken[0].time[2], host.spoken[0].clock24, host.spoken[0].speed),
              std::tuple(5u, ':', false, 13));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(std::tuple(boxes.boxes[0].caption, boxes.boxes[0].text, boxes.boxes[0].errorIcon),
              std::tuple(L"Horavox", L"再生中にエラーが発生しました", true));
}

TEST(AnnounceDialogTest, TabReachesEveryControl) {
    hvtest::MemoryHost host;
    UnpackTalk(0x02060815, host.settings_);  // the fixed time, so its boxes take input
    host.settings_.QuietHours = true;
    D dialog(host);
    DialogScript script([](Driver& d) {
        EXPECT_EQ(d.NotReachedByTab(), std::vector<std::wstring>{});
        d.Key(VK_ESCAPE);
    });
    dialog.Run(nullptr);
    script.Join();
    EXPECT_TRUE(script.found());
}

}  // namespace
}  // namespace hv
