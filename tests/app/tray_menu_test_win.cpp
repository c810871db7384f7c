// The notification-area menu of the real main window on the test's own clocks: its items, each
// command at work (a stand-in library records what it is asked to say), the keyboard's way.
#include <gtest/gtest.h>

#include <algorithm>
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

// Every icon call is kept and taken; a hotkey is taken unless Windows is to refuse it.
class TrayWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    std::vector<NOTIFYICONDATAW> sent;
    bool refuseKeys = false;
protected:
    bool NotifyIcon(DWORD, NOTIFYICONDATAW& data) override { return sent.push_back(data), true; }
    bool RegisterKey(int, UINT, UINT) override { return !refuseKeys; }
};

class TrayMenuTest : public ::testing::Test {
protected:
    void Open(bool refuseKeys = false) {
        std::tie(app.store, app.hvplus, app.calendarDate) = std::tuple(&store, &hvplus, Date{2026, 12, 9});
        app.calendar = ComputeMonthCalendar(app.calendarDate);
        LoadSettings(store, app.settings, true);
        window = std::make_unique<TrayWindow>(app);
        window->refuseKeys = refuseKeys;
        window->SetClocks([this] { return now; }, [this] { return steady; });
        ASSERT_TRUE(window->Create());
    }
    void TearDown() override { DestroyWindow(window->hwnd()); }
    std::string Said() {
        char log[512] = {};
        hvplus.Export<void(WINAPI*)(char*, int)>("hvFakeTakeLog")(log, sizeof log);
        return log;
    }
    std::wstring Tip() const { return window->trayData().szTip; }
    void Send(UINT message, WPARAM wp) { SendMessageW(window->hwnd(), message, wp, 0); }

    MemorySettingsStore store;
    App app;
    HvplusLibrary hvplus{ProgramFolderOf() + L"hvplus_fake.dll"};
    WallClock now{{2026, 12, 9}, 9, 5, 10, 0};
    ULONGLONG steady = 5000000;
    std::unique_ptr<TrayWindow> window;
};

// Whether a menu shows (Wine keeps the closed ones, hidden).
bool MenuShown() {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32768", nullptr)) != nullptr;)
        if (IsWindowVisible(w)) return true;
    return false;
}

// Captions, "~" before a greyed one, "-" for a separator.
using Texts = std::vector<std::wstring>;
Texts Items(HMENU menu) {
    Texts items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[96] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 96, MF_BYPOSITION);
        const UINT state = GetSubMenu(menu, i) ? 0 : GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        items.push_back(state & MF_SEPARATOR ? L"-" : (state & MF_GRAYED ? L"~" : L"") + std::wstring(text));
    }
    return items;
}

TEST_F(TrayMenuTest, ItemsInTheirOrderAndARefusedHotkeyToldInTheTooltip) {
    Open(true);
    HMENU menu = window->CreateTrayMenu();
    EXPECT_EQ(Items(menu), (Texts{
                               L"今の時刻を読み上げる(&T)", L"今日の日付を読み上げる(&D)", L"発声を一時停止(&P)",
                               L"タイマー(&M)", L"-", L"発声方法(&H)...", L"~アラーム(&A)...", L"カレンダー(&C)...",
                               L"Windows の起動時に実行(&W)", L"-", L"隠す(&V)", L"ヘルプ(&L)", L"終了(&X)"}));
    EXPECT_EQ(Items(GetSubMenu(menu, 2)), (Texts{L"30分(&3)", L"1時間(&1)", L"明日の朝まで(&M)", L"~再開(&R)"}));
    EXPECT_EQ(Items(GetSubMenu(menu, 3)), (Texts{L"1分(&1)", L"3分(&3)", L"5分(&5)", L"10分", L"15分",
                                                                     L"30分", L"60分", L"時間を指定(&S)...", L"-", L"~停止(&T)"}));
    DestroyMenu(menu);
    EXPECT_EQ(Tip(), L"Horavox\nCtrl+Alt+T は他のプログラムが使用中です");
    window->refuseKeys = false;
    EXPECT_TRUE(window->SetTalkHotkey(0x0654) && Tip() == L"Horavox");
    menu = window->CreateTrayMenu();
    EXPECT_EQ(Items(menu)[0], L"今の時刻を読み上げる(&T)\tCtrl+Alt+T");
    DestroyMenu(menu);
}

TEST_F(TrayMenuTest, CommandsSpeakPauseAcrossARestartAndRunATimerToItsNoticeAndVoice) {
    Open();
    Said();
    Send(WM_COMMAND, kCmdSpeakTime);
    Send(WM_COMMAND, kCmdSpeakDate);
    Send(WM_HOTKEY, kTalkHotkeyId);
    EXPECT_EQ(Said(), "time 09:05 0 2\ndate 2026-12-09 2\ntime 09:05 0 2\n");

    Send(WM_COMMAND, kCmdPauseHalfHour + 1);  // 1時間
    EXPECT_EQ(store.Dword(kMainSubkey, L"TalkPausedUntil"), MinuteNumber({{2026, 12, 9}, 10, 5}));
    DestroyWindow(window->hwnd());
    Open();  // the pause survives a restart, and Resume ends it
    EXPECT_EQ(Tip(), L"Horavox\n発声停止中: 10:05 まで");
    Send(WM_COMMAND, kCmdPauseResume);
    EXPECT_TRUE(store.Dword(kMainSubkey, L"TalkPausedUntil") == 0u && Tip() == L"Horavox");

    Send(WM_COMMAND, kCmdTimerFirst + 1);  // 3分, counted down on the window's timer 5
    steady += 1500;
    Send(WM_TIMER, 5);
    EXPECT_EQ(Tip(), L"Horavox\nタイマー: 残り 2:59 (9:08 に終了)");
    window->sent.clear();
    steady += 178500;
    Send(WM_TIMER, 5);
    EXPECT_EQ(std::tuple(Said(), window->TimerMsLeft()), std::tuple("timerEnd 2\n", -1LL));
    EXPECT_EQ(Tip(), L"Horavox");
    EXPECT_TRUE(std::any_of(window->sent.begin(), window->sent.end(), [](const NOTIFYICONDATAW& d) {
        return (d.uFlags & NIF_INFO) && std::wstring(d.szInfo) == L"タイマーが終了しました";
    }));
}

// Win+B to the icon, then Enter: the menu, worked with its access keys alone; the second key
// selection that the same Enter may bring at once opens nothing.
TEST_F(TrayMenuTest, TheKeyboardOpensTheMenuAndItsAccessKeysSpeakAndPause) {
    Open();
    Said();
    int menus = 0;
    auto run = [&](const std::wstring& keys) {
        std::thread keyboard([&] {
            for (int i = 0; i < 200 && !MenuShown(); ++i) Sleep(10);
            if (!MenuShown()) return;
            ++menus;
            for (wchar_t key : keys) {
                Sleep(100);
                PostMessageW(window->hwnd(), WM_KEYDOWN, key == 27 ? VK_ESCAPE : towupper(key), 1);
                PostMessageW(window->hwnd(), WM_CHAR, key, 1);
                PostMessageW(window->hwnd(), WM_KEYUP, key == 27 ? VK_ESCAPE : towupper(key), 0xC0000001);
            }
        });
        SendMessageW(window->hwnd(), kTrayMessage, MAKEWPARAM(600, 500), MAKELPARAM(NIN_KEYSELECT, kTrayIconId));
        keyboard.join();
        MSG msg;  // the keys the menu left
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    };
    run(L"t");
    run(L"\x1b");  // Esc, were a menu to open again
    run(L"p1");
    EXPECT_EQ(std::tuple(menus, Said(), app.settings.TalkPausedUntil),
              std::tuple(2, "time 09:05 0 2\n", std::uint32_t(MinuteNumber({{2026, 12, 9}, 10, 5}))));
}

}  // namespace
}  // namespace hv
