// The real main window in the test's own process, over a settings store in memory: its
// menus and captions, the system-menu item's check mark, the title-bar toggle, placement
// and what closing saves. (tests/app/horavx_drive_test_win.cpp drives Horavx.exe itself.)
#include "app/main_window_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

#include "app/main_menu.h"
#include "settings/memory_store.h"
#include "settings/settings_io.h"

namespace hv {
namespace {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

UINT MenuState(HMENU menu, UINT position) { return GetMenuState(menu, position, MF_BYPOSITION); }

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.system.IsNT = true;
        app.system.OsMajorVersion = 10;
        app.system.AppVersion = kAppVersion;
        app.store = &store;
        app.calendarDate = {2026, 5, 20};
        app.calendar = ComputeMonthCalendar(app.calendarDate);
    }
    void Open() {
        LoadSettings(store, app.settings, true);
        window = std::make_unique<MainWindow>(app);
        ASSERT_TRUE(window->Create());
        Pump();
    }
    void Close() {
        SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
        Pump();
        EXPECT_EQ(window->hwnd(), nullptr);
        window.reset();
    }
    std::uint32_t Stored(const wchar_t* name) { return store.Dword(kMainSubkey, name).value_or(0xDEADBEEF); }

    MemorySettingsStore store;
    App app;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, MenusCarryTheirCaptionsInOrderWithUnbuiltDialogsGreyed) {
    Open();
    HMENU bar = GetMenu(window->hwnd());
    ASSERT_EQ(bar, window->menuBar());
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuText(bar, 0), L"設定(&S)");
    EXPECT_EQ(MenuText(bar, 1), L"ヘルプ(&H)");

    HMENU setup = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(setup), 3);
    EXPECT_EQ(MenuText(setup, 0), L"発声方法(&H)...");
    EXPECT_EQ(MenuText(setup, 1), L"アラーム(&A)...");
    EXPECT_EQ(MenuText(setup, 2), L"カレンダー(&C)...");
    for (UINT i = 0; i < 3; ++i) EXPECT_TRUE(MenuState(setup, i) & MF_GRAYED);

    HMENU help = GetSubMenu(bar, 1);
    ASSERT_EQ(GetMenuItemCount(help), 3);
    EXPECT_EQ(MenuText(help, 0), L"トピックの検索(&H)");
    EXPECT_FALSE(MenuState(help, 0) & MF_GRAYED);
    EXPECT_TRUE(MenuState(help, 1) & MF_SEPARATOR);
    EXPECT_EQ(MenuText(help, 2), L"バージョン情報(&A)...");

    HMENU system = GetSystemMenu(window->hwnd(), FALSE);
    int count = GetMenuItemCount(system);
    ASSERT_GE(count, 2);
    EXPECT_TRUE(MenuState(system, static_cast<UINT>(count - 2)) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(system, count - 1), kCmdAlwaysOnTop);
    EXPECT_EQ(MenuText(system, static_cast<UINT>(count - 1)), L"常に手前に表示(&T)");
    EXPECT_FALSE(GetMenuState(system, kCmdAlwaysOnTop, MF_BYCOMMAND) & MF_CHECKED);
    Close();
}

TEST_F(MainWindowTest, HolidayNamesAreTheTooltipsOfTheirDays) {
    Open();  // May 2026: the 3rd to the 6th are holidays
    RedrawWindow(window->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HWND tooltip = window->tooltip();
    ASSERT_NE(tooltip, nullptr);
    ASSERT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 4);
    const wchar_t* names[] = {L"憲法記念日", L"みどりの日", L"こどもの日", L"振替休日"};
    for (int day = 3; day <= 6; ++day) {
        wchar_t text[80] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = window->hwnd();
        tool.uId = static_cast<UINT_PTR>(day);
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(text, names[day - 3]) << "day " << day;
        // The tool covers its day's label.
        ASSERT_TRUE(SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
        const DayLabel& label = window->face().layout().days[static_cast<size_t>(day - 1)];
        EXPECT_EQ(tool.rect.left, TwipsToPixels(label.label.x, window->face().dpi()));
    }
    Close();
}

TEST_F(MainWindowTest, SystemMenuItemTogglesTopmostAndItsCheckMarkAndIsSaved) {
    Open();
    HWND hwnd = window->hwnd();
    HMENU system = GetSystemMenu(hwnd, FALSE);
    SendMessageW(hwnd, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetMenuState(system, kCmdAlwaysOnTop, MF_BYCOMMAND) & MF_CHECKED);
    SendMessageW(hwnd, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
    EXPECT_FALSE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetMenuState(system, kCmdAlwaysOnTop, MF_BYCOMMAND) & MF_CHECKED);
    SendMessageW(hwnd, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
    Close();
    EXPECT_EQ(Stored(L"Style"), kStyleAlwaysOnTop);
    EXPECT_EQ(Stored(L"Version"), kAppVersion);

    // The next start comes up on top, the item checked.
    Open();
    EXPECT_TRUE(GetWindowLongPtrW(window->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetMenuState(GetSystemMenu(window->hwnd(), FALSE), kCmdAlwaysOnTop, MF_BYCOMMAND) & MF_CHECKED);
    Close();
}

TEST_F(MainWindowTest, DoubleClickRemovesAndRestoresTitleBarAndMenuBarKeepingUnknownStyleBits) {
    store.PutDword(kMainSubkey, L"Style", 0x100);  // a bit this version does not know
    Open();
    HWND hwnd = window->hwnd();
    RECT before;
    GetWindowRect(hwnd, &before);
    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 50));
    EXPECT_FALSE(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(GetMenu(hwnd), nullptr);
    RECT after;
    GetWindowRect(hwnd, &after);
    EXPECT_TRUE(EqualRect(&before, &after));  // the outer rectangle stays
    Close();
    EXPECT_EQ(Stored(L"Style"), 0x100u | kStyleTitleBarHidden);

    Open();  // starts without title bar, then a double click brings both back
    hwnd = window->hwnd();
    EXPECT_FALSE(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION);
    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 50));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
    EXPECT_EQ(GetMenu(hwnd), window->menuBar());
    Close();
    EXPECT_EQ(Stored(L"Style"), 0x100u);
}

TEST_F(MainWindowTest, FirstStartCentresAndCloseSavesThePlacement) {
    Open();
    RECT rect;
    GetWindowRect(window->hwnd(), &rect);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(rect.right - rect.left, 360);  // 5400 x 3500 twips at 96 dpi
    EXPECT_EQ(rect.bottom - rect.top, 233);
    EXPECT_NEAR(rect.left, (screenWidth - 360) / 2, 1);
    EXPECT_NEAR(rect.top, (screenHeight - 233) / 3, 1);

    SetWindowPos(window->hwnd(), nullptr, 100, 50, 400, 300, SWP_NOZORDER);
    Close();
    EXPECT_EQ(Stored(L"PosX"), 1500u);
    EXPECT_EQ(Stored(L"PosY"), 750u);
    EXPECT_EQ(Stored(L"Width"), 6000u);
    EXPECT_EQ(Stored(L"Height"), 4500u);
}

TEST_F(MainWindowTest, MinimisingHidesAndTheTrayClickRestoresAndHiddenExitKeepsPlacement) {
    store.PutDword(kMainSubkey, L"PosX", 1500);
    store.PutDword(kMainSubkey, L"PosY", 750);
    Open();
    HWND hwnd = window->hwnd();
    RECT before;
    GetWindowRect(hwnd, &before);
    EXPECT_EQ(before.left, 100);
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(app.settings.HiddenInTray());
    SendMessageW(hwnd, kTrayMessage, kTrayIconId, WM_RBUTTONDOWN);  // ignored
    EXPECT_FALSE(IsWindowVisible(hwnd));
    SendMessageW(hwnd, kTrayMessage, kTrayIconId, WM_LBUTTONDOWN);
    Pump();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(IsIconic(hwnd));
    RECT after;
    GetWindowRect(hwnd, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_FALSE(app.settings.HiddenInTray());

    SendMessageW(hwnd, kTrayMessage, kTrayIconId, WM_LBUTTONDOWN);  // shown: the click minimises
    Pump();
    EXPECT_FALSE(IsWindowVisible(hwnd));
    Close();
    EXPECT_EQ(Stored(L"PosX"), 1500u);
    EXPECT_EQ(Stored(L"Style"), kStyleHiddenInTray);

    Open();  // comes back hidden, only its icon showing
    EXPECT_FALSE(IsWindowVisible(window->hwnd()));
    Close();
}

TEST_F(MainWindowTest, APositionOnAMonitorThatIsGoneMovesOntoTheNearest) {
    store.PutDword(kMainSubkey, L"PosX", 400000);  // far right of any screen
    store.PutDword(kMainSubkey, L"PosY", 3000);
    Open();
    RECT rect;
    GetWindowRect(window->hwnd(), &rect);
    EXPECT_LE(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(rect.left, 0);
    EXPECT_EQ(rect.top, 200);
    EXPECT_EQ(rect.right - rect.left, 360);
    Close();
}

}  // namespace
}  // namespace hv
