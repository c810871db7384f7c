// The notification-area menu of the real main window on a clock of the test's own: its items,
// each command at work (through a stand-in library that records what it is asked to say), the
// menu from the keyboard, and a hotkey that Windows refuses.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/main_menu.h"
#include "app/main_window_win.h"
#include "hvplus/hvplus_binding_win.h"
#include "hvplus/module_paths_win.h"
#include "settings/memory_store.h"
#include "settings/settings_io.h"

namespace hv {
namespace {

// The shell stand-in: every icon call is taken and kept; a hotkey is taken unless the test
// says Windows refuses it (the key itself comes as WM_HOTKEY, sent by the test).
class TrayWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    std::vector<NOTIFYICONDATAW> sent;
    bool refuseKeys = false;

protected:
    bool NotifyIcon(DWORD, NOTIFYICONDATAW& data) override {
        sent.push_back(data);
        return true;
    }
    bool RegisterKey(int, UINT, UINT) override { return !refuseKeys; }
};

class TrayMenuTest : public ::testing::Test {
protected:
    void Open(bool refuseKeys = false) {
        app.store = &store;
        app.hvplus = &hvplus;
        app.calendarDate = {2026, 12, 9};
        app.calendar = ComputeMonthCalendar(app.calendarDate);
        LoadSettings(store, app.settings, true);
        window = std::make_unique<TrayWindow>(app);
        window->refuseKeys = refuseKeys;
        window->SetClocks([this] { return now; }, [this] { return steady; });
        ASSERT_TRUE(window->Create());
    }
    void TearDown() override {
        if (window) DestroyWindow(window->hwnd());
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    std::string Said() {
        char log[512] = {};
        hvplus.Export<void(WINAPI*)(char*, int)>("hvFakeTakeLog")(log, sizeof log);
        return log;
    }
    std::wstring Tip() const { return window->trayData().szTip; }
    void Command(unsigned id) { SendMessageW(window->hwnd(), WM_COMMAND, id, 0); }

    MemorySettingsStore store;
    App app;
    HvplusLibrary hvplus{ProgramFolderOf() + L"hvplus_fake.dll"};
    WallClock now{{2026, 12, 9}, 9, 5, 10, 0};
    ULONGLONG steady = 5000000;
    std::unique_ptr<TrayWindow> window;
};

std::vector<std::wstring> Items(HMENU menu) {
    std::vector<std::wstring> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[96] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 96, MF_BYPOSITION);
        // A popup's state carries its item count in the high byte.
        const UINT state = GetSubMenu(menu, i) ? 0 : GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        items.push_back(state & MF_SEPARATOR ? L"-" : std::wstring(state & MF_GRAYED ? L"~" : L"") + text);
    }
    return items;
}

TEST_F(TrayMenuTest, ItemsInTheirOrderWithTheHotkeyAndWhatCannotBeDoneNowGreyed) {
    Open();
    HMENU menu = window->CreateTrayMenu();
    EXPECT_EQ(Items(menu), (std::vector<std::wstring>{
                               L"今の時刻を読み上げる(&T)\tCtrl+Alt+T", L"今日の日付を読み上げる(&D)", L"発声を一時停止(&P)",
                               L"タイマー(&M)", L"-", L"発声方法(&H)...", L"~アラーム(&A)...", L"カレンダー(&C)...",
                               L"Windows の起動時に実行(&W)", L"-", L"隠す(&V)", L"ヘルプ(&L)", L"終了(&X)"}));
    EXPECT_EQ(Items(GetSubMenu(menu, 2)), (std::vector<std::wstring>{L"30分(&3)", L"1時間(&1)", L"明日の朝まで(&M)", L"~再開(&R)"}));
    EXPECT_EQ(Items(GetSubMenu(menu, 3)), (std::vector<std::wstring>{L"1分(&1)", L"3分(&3)", L"5分(&5)", L"10分", L"15分",
                                                                     L"30分", L"60分", L"時間を指定(&S)...", L"-", L"~停止(&T)"}));
    DestroyMenu(menu);
}

TEST_F(TrayMenuTest, CommandsSpeakPauseAcrossARestartAndRunATimerToItsNoticeAndVoice) {
    Open();
    Said();
    Command(kCmdSpeakTime);
    Command(kCmdSpeakDate);
    SendMessageW(window->hwnd(), WM_HOTKEY, kTalkHotkeyId, 0);
    EXPECT_EQ(Said(), "time 09:05 0 2\ndate 2026-12-09 2\ntime 09:05 0 2\n");

    Command(kCmdPauseHalfHour + 1);  // 1時間
    EXPECT_EQ(store.Dword(kMainSubkey, L"TalkPausedUntil"), MinuteNumber({{2026, 12, 9}, 10, 5}));
    EXPECT_EQ(Tip(), L"Horavox\n発声停止中: 10:05 まで");
    DestroyWindow(window->hwnd());
    Open();  // the pause survives a restart, and Resume ends it
    EXPECT_EQ(Tip(), L"Horavox\n発声停止中: 10:05 まで");
    Command(kCmdPauseResume);
    EXPECT_EQ(std::tuple(store.Dword(kMainSubkey, L"TalkPausedUntil"), Tip()), std::tuple(0u, std::wstring(L"Horavox")));

    Command(kCmdTimerFirst + 1);  // 3分
    EXPECT_EQ(Tip(), L"Horavox\nタイマー: 残り 3:00 (9:08 に終了)");
    steady += 1500;
    SendMessageW(window->hwnd(), WM_TIMER, 5, 0);
    EXPECT_EQ(Tip(), L"Horavox\nタイマー: 残り 2:59 (9:08 に終了)");
    window->sent.clear();
    steady += 178500;
    SendMessageW(window->hwnd(), WM_TIMER, 5, 0);
    EXPECT_EQ(Tip(), L"Horavox");
    ASSERT_FALSE(window->sent.empty());
    EXPECT_TRUE(std::any_of(window->sent.begin(), window->sent.end(), [](const NOTIFYICONDATAW& d) {
        return (d.uFlags & NIF_INFO) && std::wstring(d.szInfo) == L"タイマーが終了しました";
    }));
    EXPECT_EQ(Said(), "timerEnd 2\n");
    EXPECT_EQ(window->TimerMsLeft(), -1);
}

// Win+B to the icon, then Enter: the menu, worked with its access keys alone.
TEST_F(TrayMenuTest, TheKeyboardOpensTheMenuAndItsAccessKeysSpeakAndPause) {
    Open();
    Said();
    for (const std::wstring keys : {L"t", L"p1"}) {
        std::thread keyboard([&] {
            HWND menu = nullptr;
            for (int i = 0; i < 500 && !(menu = FindWindowW(L"#32768", nullptr)); ++i) Sleep(10);
            for (wchar_t key : keys) {
                Sleep(100);
                PostMessageW(window->hwnd(), WM_KEYDOWN, towupper(key), 1);
                PostMessageW(window->hwnd(), WM_CHAR, key, 1);
                PostMessageW(window->hwnd(), WM_KEYUP, towupper(key), 0xC0000001);
            }
        });
        SendMessageW(window->hwnd(), kTrayMessage, MAKEWPARAM(600, 500), MAKELPARAM(NIN_KEYSELECT, kTrayIconId));
        keyboard.join();
        // The second key selection of the same press opens nothing (Esc would close it).
        std::thread escape([&] {
            Sleep(1500);
            for (int i = 0; i < 3; ++i) PostMessageW(window->hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
        });
        SendMessageW(window->hwnd(), kTrayMessage, MAKEWPARAM(600, 500), MAKELPARAM(NIN_KEYSELECT, kTrayIconId));
        EXPECT_EQ(FindWindowW(L"#32768", nullptr) && IsWindowVisible(FindWindowW(L"#32768", nullptr)), false);
        escape.join();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    EXPECT_EQ(Said(), "time 09:05 0 2\n");
    EXPECT_EQ(app.settings.TalkPausedUntil, MinuteNumber({{2026, 12, 9}, 10, 5}));
}

TEST_F(TrayMenuTest, AHotkeyWindowsRefusesIsToldInTheTooltipAndLeftOutOfTheMenu) {
    Open(true);
    EXPECT_EQ(window->refusedHotkey(), L"Ctrl+Alt+T");
    EXPECT_EQ(Tip(), L"Horavox\nCtrl+Alt+T は他のプログラムが使用中です");
    HMENU menu = window->CreateTrayMenu();
    EXPECT_EQ(Items(menu)[0], L"今の時刻を読み上げる(&T)");
    DestroyMenu(menu);
    EXPECT_FALSE(window->SetTalkHotkey(0x0641));
    window->refuseKeys = false;
    EXPECT_TRUE(window->SetTalkHotkey(0x0641));
    EXPECT_EQ(Tip(), L"Horavox");
}

}  // namespace
}  // namespace hv
