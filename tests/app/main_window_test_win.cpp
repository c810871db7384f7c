// The real main window in the test's own process over settings in memory, for what a driver from outside
// cannot see (horavx_drive_test_win.cpp drives Horavx.exe itself).
#include "app/main_window_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "alarm/alarm_dialog_win.h"
#include "alarm/alarm_settings_dialog_win.h"
#include "alarm/alarm_win.h"
#include "app/autostart_win.h"
#include "app/main_menu.h"
#include "hvplus/hvplus_binding_win.h"
#include "settings/memory_store.h"
#include "app/minute_tick_win.h"
#include "settings/settings_io.h"
#include "tests/app/tick_test_clock.h"
#include "tests/support/dialog_driver_win.h"
#include "tests/support/message_box_catcher_win.h"

namespace hv {
namespace {

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.system.AppVersion = kAppVersion;
        app.system.IsNT = true;
        app.system.OsMajorVersion = 10;
        app.store = &store;
        app.calendarDate = {2026, 5, 20};  // the 3rd to the 6th are holidays
        app.calendar = ComputeMonthCalendar(app.calendarDate);
    }
    void Open(std::unique_ptr<MainWindow> made = nullptr) {
        LoadSettings(store, app.settings, true);
        window = made ? std::move(made) : std::make_unique<MainWindow>(app);
        ASSERT_TRUE(window->Create());
        RedrawWindow(window->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    void TearDown() override {
        if (window) DestroyWindow(window->hwnd());
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    static void Pump(DWORD ms, const std::function<bool()>& until = nullptr) {
        for (const DWORD start = GetTickCount(); GetTickCount() - start < ms && !(until && until());) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
    }
    RECT WindowRect() const {
        RECT rect{};
        GetWindowRect(window->hwnd(), &rect);
        return rect;
    }

    MemorySettingsStore store;
    App app;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndTheSystemMenuItemItsCheckMark) {
    Open();
    HMENU bar = GetMenu(window->hwnd()), setup = GetSubMenu(bar, 0), help = GetSubMenu(bar, 1);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    ASSERT_EQ(GetMenuItemCount(setup), 5);
    ASSERT_EQ(GetMenuItemCount(help), 3);
    struct Item {
        HMENU menu;
        UINT position;
        const wchar_t* caption;  // null: a separator
    };
    const Item items[] = {{bar, 0, L"設定(&S)"},           {bar, 1, L"ヘルプ(&H)"},
                          {setup, 0, L"発声方法(&H)..."},  {setup, 1, L"アラーム(&A)..."},
                          {setup, 2, L"カレンダー(&C)..."}, {setup, 3, nullptr},
                          {setup, 4, L"Windows の起動時に実行(&W)"}, {help, 0, L"トピックの検索(&H)"},
                          {help, 1, nullptr},               {help, 2, L"バージョン情報(&A)..."}};
    for (const Item& item : items) {
        const UINT state = GetMenuState(item.menu, item.position, MF_BYPOSITION);
        EXPECT_EQ((state & MF_SEPARATOR) != 0, item.caption == nullptr) << item.position;
        if (!item.caption) continue;
        EXPECT_EQ(MenuText(item.menu, item.position), item.caption);
        EXPECT_EQ(state & MF_GRAYED, 0u) << item.position;  // every item works
    }

    HMENU system = GetSystemMenu(window->hwnd(), FALSE);
    const int last = GetMenuItemCount(system) - 1;
    EXPECT_TRUE(GetMenuState(system, static_cast<UINT>(last - 1), MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(system, last), kCmdAlwaysOnTop);
    EXPECT_EQ(MenuText(system, static_cast<UINT>(last)), L"常に手前に表示(&T)");
    for (bool checked : {false, true, false}) {
        EXPECT_EQ((GetMenuState(system, kCmdAlwaysOnTop, MF_BYCOMMAND) & MF_CHECKED) != 0, checked);
        SendMessageW(window->hwnd(), WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
    }
}

TEST_F(MainWindowTest, TheStartWithWindowsItemTogglesTheRunValueAndIsTickedAsTheMenuOpens) {
    Open();
    const std::wstring program = RunningProgramPath();
    ASSERT_TRUE(SetAutostart(program, false));
    for (bool on : {true, false}) {
        SendMessageW(window->hwnd(), WM_COMMAND, kCmdAutostart, 0);
        EXPECT_EQ(IsAutostartOn(program), on);
        SendMessageW(window->hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(window->setupMenu()), 0);
        EXPECT_EQ((GetMenuState(window->setupMenu(), kCmdAutostart, MF_BYCOMMAND) & MF_CHECKED) != 0, on);
    }
}

// The pointer resting at the centre of a day's box on the face as last drawn.
void RestOnDay(MainWindow& window, int day) {
    const FaceLayout& layout = window.face().layout();
    const DayBox box = DayLabelBox(layout, window.face().metrics(), layout.days[static_cast<size_t>(day - 1)]);
    const int dpi = window.face().dpi();
    SendMessageW(window.hwnd(), WM_MOUSEHOVER, 0,
                 MAKELPARAM(TwipsToPixels(box.left + box.width / 2, dpi), TwipsToPixels(box.top + box.height / 2, dpi)));
}

TEST_F(MainWindowTest, TheTooltipsAreMadeOnlyWhereThePointerRestsOnSomethingToTell) {
    const struct {
        bool nextMonth;  // June 2026, without holidays, instead of May
        int day;
        bool alarmOn;
        bool made;
    } cases[] = {
        {false, 20, false, false},  // not a holiday, no alarm due
        {true, 10, false, false},   // a month without holidays never loads the common controls
        {true, 10, true, true},     // the next alarm to tell, anywhere
        {false, 4, false, true},    // a holiday
    };
    for (const auto& c : cases) {
        if (window) DestroyWindow(window->hwnd());
        Open();
        app.settings.Alarms[0].Enabled = c.alarmOn;  // every day at 0:00
        if (c.nextMonth) SendMessageW(window->hwnd(), WM_KEYDOWN, VK_NEXT, 0);
        RedrawWindow(window->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        SendMessageW(window->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(window->tooltip(), nullptr) << "a move alone makes none";
        RestOnDay(*window, c.day);
        EXPECT_EQ(window->tooltip() != nullptr, c.made) << c.day << (c.nextMonth ? " June" : " May");
    }
}

TEST_F(MainWindowTest, HolidayNamesAreTheTooltipsOfTheirDays) {
    Open();
    RestOnDay(*window, 3);
    HWND tooltip = window->tooltip();
    ASSERT_NE(tooltip, nullptr);
    ASSERT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 5);  // and the next alarm anywhere else
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
}

TEST_F(MainWindowTest, TheWheelAndPageDownShowTheNextMonthWithItsHolidaysAndHomeReturns) {
    Open();  // May 2026, today the 20th
    const HWND hwnd = window->hwnd();
    auto shown = [&] {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        wchar_t title[64] = {};
        GetWindowTextW(hwnd, title, 64);
        int today = 0;
        for (const DayLabel& day : window->face().layout().days) today += day.today ? day.day : 0;
        return std::tuple(window->navigator().month(), window->face().layout().days.size(), today, std::wstring(title));
    };
    SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(50, 50));  // towards the user
    EXPECT_EQ(shown(), std::tuple(6, 30u, 0, std::wstring(L"2026年6月 - Horavox")));
    SendMessageW(hwnd, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(shown(), std::tuple(7, 31u, 0, std::wstring(L"2026年7月 - Horavox")));
    RestOnDay(*window, 20);  // July's holiday is named on its day
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = hwnd;
    tool.uId = 20;
    tool.lpszText = text;
    SendMessageW(window->tooltip(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"海の日");
    EXPECT_TRUE(window->face().layout().days[19].holiday);

    app.settings.ShowHeading = app.settings.HeadingEra = true;  // the heading names the month instead
    window->RedrawFace();
    EXPECT_EQ(shown(), std::tuple(7, 31u, 0, std::wstring(L"Horavox")));
    EXPECT_EQ(window->face().layout().heading.text, L"令和8年7月");
    SendMessageW(hwnd, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(shown(), std::tuple(5, 31u, 20, std::wstring(L"Horavox")));
}

// What a screen reader reads of the face, from another thread as its calls come: the face's name
// and days, the names of days 1, 3, 6 and 20, the focus day, and whether a hit test at the centre
// of every day's box finds that day.
using FaceReading = std::tuple<std::wstring, long, std::vector<std::wstring>, long, bool>;

FaceReading ReadFace(HWND window) {
    FaceReading read{L"", 0, {}, -1, false};
    auto& [name, count, names, focus, boxesHit] = read;
    std::atomic<bool> done = false;
    std::thread reader([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        constexpr GUID kIidAccessible{0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
        IAccessible* face = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&face)))) {
            auto child = [](long id) { VARIANT v{}; v.vt = VT_I4; v.lVal = id; return v; };
            auto nameOf = [&](long id) {
                BSTR text = nullptr;
                std::wstring result = SUCCEEDED(face->get_accName(child(id), &text)) && text ? text : L"";
                SysFreeString(text);
                return result;
            };
            name = nameOf(CHILDID_SELF);
            face->get_accChildCount(&count);
            for (long day : {1, 3, 6, 20}) names.push_back(nameOf(day));
            VARIANT focused{};
            if (face->get_accFocus(&focused) == S_OK && focused.vt == VT_I4) focus = focused.lVal;
            boxesHit = count > 0;
            for (long day = 1; day <= count; ++day) {
                long x = 0, y = 0, width = 0, height = 0;
                VARIANT hit{};
                boxesHit = boxesHit && face->accLocation(&x, &y, &width, &height, child(day)) == S_OK && width > 0 &&
                           face->accHitTest(x + width / 2, y + height / 2, &hit) == S_OK && hit.lVal == day;
            }
            face->Release();
        }
        CoUninitialize();
        done = true;
    });
    // The calls are carried out on this thread, the face's: it keeps its messages flowing meanwhile.
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    }
    reader.join();
    return read;
}

std::vector<std::tuple<HWND, LONG, LONG>> focusEvents;

TEST_F(MainWindowTest, AScreenReaderReadsTheMonthAndItsDaysAndFollowsTheFocusDayAcrossMonths) {
    Open();  // May 2026, today the 20th, the 3rd to the 6th holidays
    const HWND hwnd = window->hwnd();
    Pump(300, [&] { return window->oleStarted(); });
    SetFocus(hwnd);
    using Names = std::vector<std::wstring>;
    const Names may{L"5月1日 金曜日", L"5月3日 日曜日、憲法記念日", L"5月6日 水曜日、振替休日", L"5月20日 水曜日、今日"};
    const Names june{L"6月1日 月曜日", L"6月3日 水曜日", L"6月6日 土曜日", L"6月20日 土曜日"};
    for (const auto& [key, read] : {std::pair<WPARAM, FaceReading>{0, {L"2026年5月", 31, may, 20, true}},
                                    {VK_NEXT, {L"2026年6月", 30, june, 20, true}},
                                    {VK_UP, {L"2026年6月", 30, june, 13, true}},
                                    {VK_HOME, {L"2026年5月", 31, may, 20, true}}}) {
        if (key) SendMessageW(hwnd, WM_KEYDOWN, key, 0);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(ReadFace(hwnd), read) << key;
    }
    // The arrows move the focus day, across the month's end too, and the reader is told each time.
    focusEvents.clear();
    HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND source, LONG object, LONG child, DWORD, DWORD) {
            focusEvents.emplace_back(source, object, child);
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    for (WPARAM key : {VK_RIGHT, VK_DOWN, VK_DOWN}) SendMessageW(hwnd, WM_KEYDOWN, key, 0);
    Pump(200, [] { return focusEvents.size() >= 3; });
    UnhookWinEvent(hook);
    EXPECT_EQ(focusEvents, (std::vector<std::tuple<HWND, LONG, LONG>>{
                               {hwnd, OBJID_CLIENT, 21}, {hwnd, OBJID_CLIENT, 28}, {hwnd, OBJID_CLIENT, 4}}));
    EXPECT_EQ(std::get<0>(ReadFace(hwnd)), L"2026年6月");
}

TEST_F(MainWindowTest, APositionOnAMonitorThatIsGoneMovesOntoTheNearestAndADpiChangeTakesTheSuggestedRectangle) {
    store.PutDword(kMainSubkey, L"PosX", 400000);  // far right of any screen
    store.PutDword(kMainSubkey, L"PosY", 3000);
    Open();
    RECT rect = WindowRect();
    EXPECT_TRUE(rect.left >= 0 && rect.right <= GetSystemMetrics(SM_CXSCREEN)) << rect.left << "," << rect.right;
    EXPECT_EQ(rect.top, 200);
    EXPECT_EQ(rect.right - rect.left, 360);
    RECT suggested{40, 30, 760, 497};  // the same inches at 200%
    SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    rect = WindowRect();
    EXPECT_TRUE(EqualRect(&rect, &suggested));
}

// The settings dialogs open from the menu with the minute tick at rest, and the tick runs
// again once they are closed. A click on the notification icon meanwhile hides nothing.
TEST_F(MainWindowTest, SettingsDialogsOpenFromTheMenuWithTheTickPausedAndStayInFrontOfAClickOnTheIcon) {
    AlarmActions alarms(L"C:\\Horavox\\", nullptr);
    HvplusLibrary hvplus(L"C:\\nowhere\\hvplus.dll");
    app.alarms = &alarms;
    app.hvplus = &hvplus;
    Open();
    for (const auto& [command, caption] : {std::pair(kCmdVocal, L"発声方法"), std::pair(kCmdCalendar, L"カレンダー")}) {
        ASSERT_TRUE(window->tickRunning());
        bool pausedWhileOpen = false;
        hvtest::DialogScript script(
            [&](hvtest::Driver& d) {
                pausedWhileOpen = !window->tickRunning() && !IsWindowEnabled(window->hwnd());
                SendMessageW(window->hwnd(), kTrayMessage, kTrayIconId, WM_LBUTTONDOWN);
                d.Sync();
                pausedWhileOpen = pausedWhileOpen && IsWindowVisible(d.dialog()) && !IsIconic(window->hwnd());
                d.Key(VK_ESCAPE);
            },
            caption);
        SendMessageW(window->hwnd(), WM_COMMAND, command, 0);
        script.Join();
        EXPECT_TRUE(script.found() && pausedWhileOpen) << command;
        EXPECT_TRUE(window->tickRunning()) << command;
    }
    DestroyWindow(window->hwnd());
    window.reset();
}

// An alarm set from the menu for the next minute fires at that minute through the real
// tick and its timer (up to a minute of real time).
TEST_F(MainWindowTest, AnAlarmSetInTheDialogFiresAtItsMinuteThroughTheRealTick) {
    AlarmActions alarms(L"C:\\Horavox\\", nullptr);
    HvplusLibrary hvplus(L"C:\\nowhere\\hvplus.dll");
    app.alarms = &alarms;
    app.hvplus = &hvplus;
    store.PutDword(kMainSubkey, L"Talk", 0);  // no announcement
    Open();
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wSecond >= 30) {  // not to be overtaken by the minute while the dialog is open
        Pump(40000, [&] {
            SYSTEMTIME later;
            GetLocalTime(&later);
            return later.wMinute != now.wMinute;
        });
        GetLocalTime(&now);
    }
    const int due = (now.wHour * 60 + now.wMinute + 1) % (24 * 60);
    bool pausedWhileOpen = false;
    hvtest::DialogScript script(
        [&](hvtest::Driver& d) {
            pausedWhileOpen = !window->tickRunning();
            d.Key(VK_SPACE);  // このアラームを実行する
            d.Type(AlarmSettingsDialog::kIdHour, std::to_wstring(due / 60));
            d.Type(AlarmSettingsDialog::kIdMinute, std::to_wstring(due % 60));
            d.Type(AlarmSettingsDialog::kIdMessage, L"時間です");
            d.Key(VK_RETURN);
        },
        L"アラーム - [1/20]");
    SendMessageW(window->hwnd(), WM_COMMAND, kCmdAlarm, 0);
    script.Join();
    ASSERT_TRUE(script.found() && pausedWhileOpen);
    EXPECT_TRUE(window->tickRunning());
    EXPECT_EQ(store.Binary(kAlarmSubkey, L"Attr1"),
              (std::vector<std::uint8_t>{0x80, static_cast<std::uint8_t>(due / 60), static_cast<std::uint8_t>(due % 60),
                                         0x7F, 0, 0, 0}));
    Pump(75000, [&] { return alarms.DialogWindow() != nullptr; });
    HWND notice = alarms.DialogWindow();
    ASSERT_NE(notice, nullptr) << "no notice within the minute";
    SYSTEMTIME fired;
    GetLocalTime(&fired);
    EXPECT_EQ(fired.wHour * 60 + fired.wMinute, due);
    EXPECT_EQ(hvtest::WindowText(GetDlgItem(notice, AlarmDialog::kIdMessage)), L"時間です");
    DestroyWindow(notice);
    DestroyWindow(window->hwnd());
    window.reset();
}

// Snooze, on the tick's own clock set just ahead of each minute: the button closes the
// notice, and the alarm goes off again its length later, not a minute sooner.
TEST_F(MainWindowTest, TheNoticesSnoozeButtonFiresTheAlarmAgainAfterItsLength) {
    AlarmActions alarms(L"C:\\Horavox\\", nullptr);
    HvplusLibrary hvplus(L"C:\\nowhere\\hvplus.dll");
    std::tie(app.alarms, app.hvplus) = std::tuple(&alarms, &hvplus);
    store.PutDword(kMainSubkey, L"Talk", 0);
    store.PutBinary(kAlarmSubkey, L"Attr1", {0x80, 8, 0, 0x7F, 0, 0, 0});
    store.PutText(kAlarmSubkey, L"Message1", L"起きて");
    store.PutDword(kAlarmSubkey, L"Snooze1", 0x0103);  // 3 minutes, once
    Open();
    long long offsetMs = 0;
    window->tick()->SetClock([&] { return test::ClockAt(test::MsOf(ReadWallClock()) + offsetMs); });
    const auto boundaryIn = [&](int minute, int ms) {
        offsetMs = test::MsOf(test::On7th(8, minute)) - ms - test::MsOf(ReadWallClock());
        SendMessageW(window->hwnd(), WM_TIMECHANGE, 0, 0);
    };
    const auto snooze = [&] { return GetDlgItem(alarms.DialogWindow(), AlarmDialog::kIdSnooze); };
    boundaryIn(0, 300);
    Pump(20000, [&] { return alarms.DialogWindow() != nullptr; });
    ASSERT_NE(alarms.DialogWindow(), nullptr);
    EXPECT_EQ(hvtest::WindowText(snooze()), L"スヌーズ 3分(&S)");
    SendMessageW(snooze(), BM_CLICK, 0, 0);
    EXPECT_EQ(alarms.DialogWindow(), nullptr);
    boundaryIn(2, 300);
    Pump(1500);
    EXPECT_EQ(alarms.DialogWindow(), nullptr) << "a minute early";
    boundaryIn(3, 300);
    Pump(20000, [&] { return alarms.DialogWindow() != nullptr; });
    ASSERT_NE(alarms.DialogWindow(), nullptr);
    EXPECT_EQ(hvtest::WindowText(GetDlgItem(alarms.DialogWindow(), AlarmDialog::kIdMessage)), L"起きて");
    EXPECT_EQ(snooze(), nullptr) << "the limit of one reached";
    DestroyWindow(alarms.DialogWindow());
    DestroyWindow(window->hwnd());
    window.reset();
}

// Measured before: Width 0, Height -1 and PosY 0x7FFFFFFF without a title bar put the window
// wholly below the screen; Width and Height 0x7FFFFFFF at -32768,-32768.
TEST_F(MainWindowTest, NoStoredPlacementGivesAWindowOffTheWorkAreaOrTooSmallToSee) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const std::uint32_t kMax = 0x7FFFFFFF, kMin = 0x80000000;
    const std::uint32_t cases[][5] = {
        {4980, kMax, 0, 0xFFFFFFFF, 2}, {0, 0, kMax, kMax, 0}, {kMin, kMin, 5400, 3500, 2}, {kMax, 300, 1, 1, 0}};
    for (const auto& [posX, posY, width, height, style] : cases) {
        for (const auto& [name, value] : {std::pair(L"PosX", posX), std::pair(L"PosY", posY),
                                          std::pair(L"Width", width), std::pair(L"Height", height),
                                          std::pair(L"Style", style)})
            store.PutDword(kMainSubkey, name, value);
        Open();
        const RECT rect = WindowRect();
        EXPECT_TRUE(rect.left >= work.left && rect.top >= work.top && rect.right <= work.right &&
                    rect.bottom <= work.bottom)
            << posX << " " << posY << ": " << rect.left << "," << rect.top << "-" << rect.right << "," << rect.bottom;
        EXPECT_TRUE(rect.right - rect.left >= 120 && rect.bottom - rect.top >= 80) << width << " x " << height;
        DestroyWindow(window->hwnd());
        window.reset();
    }
}

// Explorer not ready at log-on: the first adds of the notification-area icon fail.
class MainWindowBeforeExplorer : public MainWindow {
public:
    using MainWindow::MainWindow;
    int failingAdds = 3;
    bool addedAnyway = false;  // the shell shows the icon all the same
    std::vector<DWORD> sent;

protected:
    bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override {
        sent.push_back(message);
        if (message != NIM_ADD || failingAdds == 0) return MainWindow::NotifyIcon(message, data);
        --failingAdds;
        if (addedAnyway) MainWindow::NotifyIcon(message, data);
        return false;
    }
};

TEST_F(MainWindowTest, WithoutANotificationIconTheWindowIsNeverHiddenAndTheIconIsAddedWhenItCan) {
    store.PutDword(kMainSubkey, L"Style", 4);  // hidden in the notification area
    Open(std::make_unique<MainWindowBeforeExplorer>(app));
    HWND w = window->hwnd();
    EXPECT_TRUE(IsWindowVisible(w) && IsIconic(w)) << "on the taskbar while there is no icon";
    ShowWindow(w, SW_RESTORE);
    ShowWindow(w, SW_MINIMIZE);
    EXPECT_TRUE(IsWindowVisible(w) && IsIconic(w));
    EXPECT_FALSE(app.settings.HiddenInTray());
    Pump(30000, [&] { return !IsWindowVisible(w); });
    EXPECT_EQ(static_cast<MainWindowBeforeExplorer&>(*window).failingAdds, 0);
    EXPECT_TRUE(!IsWindowVisible(w) && app.settings.HiddenInTray()) << "minimised: into the notification area";
    EXPECT_EQ(store.Dword(kMainSubkey, L"Style"), 4u);
}

TEST_F(MainWindowTest, AnIconAddedDespiteAReportedFailureCountsAsAddedAndGoesAtExit) {
    store.PutDword(kMainSubkey, L"Style", 4);  // hidden in the notification area
    auto made = std::make_unique<MainWindowBeforeExplorer>(app);
    MainWindowBeforeExplorer& shell = *made;
    std::tie(shell.failingAdds, shell.addedAnyway) = std::tuple(1, true);  // a time-out at sign-in
    Open(std::move(made));
    Pump(4000, [&] { return !IsWindowVisible(window->hwnd()); });
    EXPECT_TRUE(app.settings.HiddenInTray() && !IsWindowVisible(window->hwnd())) << "the retry finds the icon";
    DestroyWindow(window->hwnd());
    EXPECT_EQ(shell.sent, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_SETVERSION, NIM_DELETE}));
}

TEST_F(MainWindowTest, TheKeyboardReachesTheSetupMenuWhenTheTitleBarIsHidden) {
    Open();
    HWND w = window->hwnd();
    static HMENU shown;
    const auto closeMenu = [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND popup = FindWindowW(L"#32768", nullptr);
        if (popup && IsWindowVisible(popup)) shown = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        EndMenu();
    };
    BYTE keys[256];
    for (bool titleBarHidden : {false, true}) {
        app.settings.SetTitleBarHidden(titleBarHidden);
        window->ApplyTitleBar();
        // Shift+F10 through the default window procedure; the menu key's message as the system
        // sends it; the right button's, which its press has answered already.
        struct Key {
            UINT msg;
            WPARAM wp;
            LPARAM lp;
            bool shift, opens;
        };
        for (const Key& k : {Key{WM_SYSKEYDOWN, VK_F10, 1, true, true},
                             Key{WM_CONTEXTMENU, WPARAM(w), MAKELPARAM(-1, -1), false, true},
                             Key{WM_CONTEXTMENU, WPARAM(w), MAKELPARAM(50, 50), false, false}}) {
            shown = nullptr;
            GetKeyboardState(keys);
            keys[VK_SHIFT] = k.shift ? 0x80 : 0;
            SetKeyboardState(keys);
            SetTimer(nullptr, 0, 300, closeMenu);
            SendMessageW(w, k.msg, k.wp, k.lp);
            Pump(600);
            EXPECT_EQ(shown, titleBarHidden && k.opens ? window->setupMenu() : nullptr) << k.msg << " " << titleBarHidden;
        }
    }
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

TEST_F(MainWindowTest, ADesktopFaceIsRepaintedWhenTheWallpaperOrTheDisplayChanges) {
    store.PutDword(kMainSubkey, L"BackgroundType", 1);  // the desktop picture
    Open();
    for (UINT msg : {WM_SETTINGCHANGE, WM_DISPLAYCHANGE}) {
        ValidateRect(window->hwnd(), nullptr);
        SendMessageW(window->hwnd(), msg, msg == WM_SETTINGCHANGE ? SPI_SETDESKWALLPAPER : 32, 0);
        EXPECT_TRUE(GetUpdateRect(window->hwnd(), nullptr, FALSE)) << msg;
    }
}

TEST_F(MainWindowTest, APictureNotReadyAtStartIsTriedAgainWhenTheDisplayChangesOrTheWindowShows) {
    store.PutDword(kMainSubkey, L"BackgroundType", 2);
    store.PutText(kMainSubkey, L"ImageFile", L"Z:\\nowhere\\face.bmp");
    Open();
    EXPECT_TRUE(app.settings.BackgroundKind == BackgroundKind::Image && window->face().picture().empty());
    app.settings.ImageFile = L"Z:" HV_SOURCE_DIR L"/tests/face/pictures/red.bmp";  // the drive is ready now
    for (UINT msg : {WM_DISPLAYCHANGE, WM_SHOWWINDOW}) {
        window->face().picture().Reset();
        Pump(FacePainter::kPictureRetryMs + 100);
        SendMessageW(window->hwnd(), msg, msg == WM_SHOWWINDOW, 0);
        EXPECT_FALSE(window->face().picture().empty()) << msg;
    }
}

// Placement and style that cannot be stored are told once, again only after a save that
// succeeded, and as the program closes.
TEST_F(MainWindowTest, WindowSettingsThatCannotBeStoredAreToldOnceUntilASaveSucceeds) {
    Open();
    hvtest::MessageBoxCatcher boxes;
    for (int step = 0; step < 4; ++step) {  // fails, fails, succeeds, fails as the window closes
        step == 2 ? store.ClearFailures() : store.FailKey(kMainSubkey, kStoreAccessDenied);
        SendMessageW(window->hwnd(), step == 3 ? WM_CLOSE : WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
        Pump(100);
    }
    window.reset();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text.substr(0, 25), L"ウィンドウの位置と表示の設定を保存できませんでした");
}

}  // namespace
}  // namespace hv
