#include "app/main_window_win.h"

#include <commctrl.h>
#include <mmsystem.h>  // MCIERROR in the alarm actions
#include <ole2.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "alarm/alarm_settings_dialog_win.h"
#include "alarm/alarm_win.h"
#include "announce/announce_dialog_win.h"
#include "app/autostart_win.h"
#include "app/main_menu.h"
#include "app/minute_tick_win.h"
#include "app/placement.h"
#include "app/timer_dialog_win.h"
#include "app/tray_tip.h"
#include "face/appearance_dialog_win.h"
#include "face/calendar_text.h"
#include "face/holidays.h"
#include "hvplus/hvplus_binding_win.h"
#include "hvplus/program_identity.h"
#include "settings/settings_io.h"
#include "util/dpi_win.h"
#include "util/help_topics.h"
#include "util/help_win.h"
#include "util/version_window_win.h"

namespace hv {

namespace {

// Retries adding the notification-area icon (the minute tick's timer is 1).
constexpr UINT_PTR kTrayRetryTimerId = 2;
// OLE (the shell services of the dialogs; the picture loader needs none) starts after the
// first paint: a zero-delay timer comes only once nothing else, the paint included, waits.
constexpr UINT_PTR kStartOleTimerId = 3;
// Turns the face back to today's month a minute after the last input over another month.
constexpr UINT_PTR kReturnTimerId = 4;
// Counts a running timer down in the tooltip, once a second and only while it runs.
constexpr UINT_PTR kCountdownTimerId = 5;
constexpr UINT kTrayRetryMs = 1000;
// Enter on the icon may come as two key selections: the second, within this time of the
// menu closing, is the same press.
constexpr ULONGLONG kRepeatedKeySelectMs = 300;
// Posted by a save of the window's settings that failed (MainWindow::SaveWindow).
constexpr UINT kWindowNotSavedMessage = WM_APP + 0x21;

// The window's outer rectangle as its restored (normal) placement, in screen coordinates:
// a maximised window keeps the size it will return to.
RECT NormalWindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    if (!IsZoomed(window) && !IsIconic(window)) return rect;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return rect;
    rect = placement.rcNormalPosition;
    // Normal positions are relative to the work area, not the screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
        OffsetRect(&rect, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
    return rect;
}

}  // namespace

HMENU CreateMainMenu(HMENU& setup, HMENU& help) {
    HMENU bar = CreateMenu();
    setup = CreatePopupMenu();
    help = CreatePopupMenu();
    AppendMenuW(setup, MF_STRING, kCmdVocal, kCaptionVocal);
    AppendMenuW(setup, MF_STRING, kCmdAlarm, kCaptionAlarm);
    AppendMenuW(setup, MF_STRING, kCmdCalendar, kCaptionCalendar);
    AppendMenuW(setup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(setup, MF_STRING, kCmdAutostart, kCaptionAutostart);  // ticked as the menu opens
    AppendMenuW(help, MF_STRING, kCmdTopic, kCaptionTopic);
    AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(help, MF_STRING, kCmdVersionInfo, kCaptionVersionInfo);
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(setup), kCaptionSetup);
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), kCaptionHelp);
    return bar;
}

MainWindow::MainWindow(App& app)
    : app_(app),
      navigator_(app.calendarDate),
      shown_(app.calendar),
      face_(app.settings, shown_, [&app](HWND window, COLORREF first, COLORREF second, long direction) {
          if (app.hvplus) app.hvplus->PaintGradation(window, first, second, direction);
      }),
      access_(navigator_, face_, app.settings) {}

MainWindow::~MainWindow() {
    // Without a title bar the menu bar is detached from the window, which then does not
    // destroy it.
    if (menuBar_ && (!hwnd() || GetMenu(hwnd()) != menuBar_)) DestroyMenu(menuBar_);
    if (icon_) DestroyIcon(icon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    if (oleStarted_) OleUninitialize();
}

bool MainWindow::Create(const std::function<void()>& beforeShow) {
    menuBar_ = CreateMainMenu(setupMenu_, helpMenu_);
    LoadIcons();
    // Created hidden at the design size; the load places it.
    if (!Window::Create(kMainWindowClass, kProgramTitle, WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                        360, 233, nullptr, menuBar_, icon_))
        return false;
    Load();
    if (beforeShow) beforeShow();
    if (!app_.settings.HiddenInTray()) {
        ShowWindow(hwnd(), SW_SHOWNORMAL);
        UpdateWindow(hwnd());
    } else if (!trayAdded_) {
        ShowMinimisedWithoutIcon();
    }
    return true;
}

void MainWindow::LoadIcons() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}

void MainWindow::Load() {
    Settings& settings = app_.settings;
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    bringForward_ = RegisterWindowMessageW(kBringForwardMessage);
    SetTimer(hwnd(), kStartOleTimerId, 0, nullptr);
    // A second start runs at a lower integrity only in odd set-ups; the message must reach us.
    ChangeWindowMessageFilterEx(hwnd(), bringForward_, MSGFLT_ALLOW, nullptr);

    systemMenu_ = GetSystemMenu(hwnd(), FALSE);
    AppendMenuW(systemMenu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu_, MF_STRING, kCmdAlwaysOnTop, kCaptionAlwaysOnTop);

    PlaceWindow();
    navigator_.SetToday(app_.calendarDate);
    ShowMonth();
    face_.SetHighContrast(HighContrastOn());
    if (TranslucencyAvailable(app_.system) && settings.Translucent && !face_.highContrast())
        ApplyTranslucency(hwnd(), true, settings.TranslucentRate);
    if (settings.AlwaysOnTop()) ApplyTopmost();
    if (settings.TitleBarHidden()) ApplyTitleBar();
    titleBarTheme_.Follow(hwnd());
    face_.ApplyBackground();

    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    // A key Windows refuses at start-up (another program took it meanwhile) is named in the
    // icon's tooltip; the announcement dialog tells the same when it is chosen there.
    if (!RegisterTalkHotkey(settings.TalkHotkey)) refusedHotkey_ = HotkeyText(settings.TalkHotkey);
    AddTrayIcon();

    if (app_.alarms && app_.hvplus) {
        app_.alarms->SetMainWindow(hwnd());
        app_.alarms->SetProgramIcon(icon_);
        tickActions_ = std::make_unique<ProgramTickActions>(*app_.alarms, *app_.hvplus);
        tickActions_->SetFace(hwnd());
        // The tick keeps app_.calendarDate with the calendar; at a new date the face shows
        // today's month again, and the holiday tooltips follow.
        tickActions_->SetCalendarChangedHandler([this] {
            navigator_.SetToday(app_.calendarDate);
            ShowMonth();
        });
        // A one-off alarm that went off stays off after a restart. A failed save is not
        // reported here, in the middle of the alarm: the alarm is off for this run, and the
        // next save of the alarms stores it.
        tickActions_->SetAlarmsSwitchedOffHandler([this] {
            if (app_.store) SaveAlarmSettings(*app_.store, app_.settings);
        });
        tick_ = std::make_unique<MinuteTick>(settings, app_.calendar, app_.calendarDate, *tickActions_);
        if (wallClock_) tick_->SetClock(wallClock_);
        tick_->Attach(hwnd());
        app_.alarms->SetNoticeHandlers([this] { tick_->Confirm(); }, [this] { tick_->Snooze(); });
    }
    StartTick();
}

void MainWindow::OnMouseRest(POINT at) {
    if (tooltip_) return;
    // The tooltips (and with them the common controls) only once there is something to tell
    // where the pointer rests: a holiday's name on its day, or the next alarm anywhere.
    const std::vector<HolidayBox> holidays = HolidayBoxes();
    const bool overHoliday =
        std::any_of(holidays.begin(), holidays.end(), [at](const HolidayBox& box) { return PtInRect(&box.rect, at); });
    if (!overHoliday && NextAlarmLine(Now()).empty()) return;
    CreateTooltips();
    if (!tooltip_) return;
    // The rest that made it shows its tip as every later one will.
    MSG move{};
    move.hwnd = hwnd();
    move.message = WM_MOUSEMOVE;
    move.lParam = MAKELPARAM(at.x, at.y);
    move.time = static_cast<DWORD>(GetMessageTime());
    move.pt = at;
    ClientToScreen(hwnd(), &move.pt);
    SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

std::vector<MainWindow::HolidayBox> MainWindow::HolidayBoxes() const {
    std::vector<HolidayBox> boxes;
    for (const DayLabel& day : face_.layout().days)
        if (day.holiday) boxes.push_back({face_.DayRect(day), day.day});
    return boxes;
}

void MainWindow::CreateTooltips() {
    if (tooltip_ || !hwnd()) return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    UpdateTooltips();
}

void MainWindow::PlaceWindow() {
    Settings& settings = app_.settings;
    if (app_.store) LoadWindowPlacement(*app_.store, settings);
    const int positionDpi = SystemDpi();
    TwipsPlacement placement{settings.WindowLeft, settings.WindowTop, settings.WindowWidth, settings.WindowHeight};
    placement = ResolveFirstPlacement(placement, PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), positionDpi),
                                      PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), positionDpi));
    settings.WindowLeft = placement.left;
    settings.WindowTop = placement.top;

    // The monitor the stored rectangle lies on, or the nearest one (unplugged since the last
    // run, or a position no monitor ever had).
    PixelRect rect = PlacementToPixels(placement, positionDpi, positionDpi);
    const RECT wanted{rect.left, rect.top, rect.right, rect.bottom};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    const PixelRect work{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};

    // Moved onto that monitor first, so that the window takes its dpi, then sized at that dpi.
    const PixelRect corner = FitOnWorkArea({rect.left, rect.top, rect.left + 1, rect.top + 1}, work, 1, 1);
    SetWindowPos(hwnd(), nullptr, corner.left, corner.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int sizeDpi = DpiOf(hwnd());
    rect = FitOnWorkArea(PlacementToPixels(placement, positionDpi, sizeDpi), work,
                         std::max(TwipsToPixels(kMinimumWidthTwips, sizeDpi), GetSystemMetrics(SM_CXMINTRACK)),
                         std::max(TwipsToPixels(kMinimumHeightTwips, sizeDpi), GetSystemMetrics(SM_CYMINTRACK)));
    SetWindowPos(hwnd(), nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::AddTrayIcon() {
    tray_ = {};
    tray_.cbSize = sizeof tray_;
    tray_.hWnd = hwnd();
    tray_.uID = kTrayIconId;
    tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    tray_.uCallbackMessage = kTrayMessage;
    tray_.hIcon = smallIcon_ ? smallIcon_ : icon_;
    wcsncpy_s(tray_.szTip, TrayTip().c_str(), _TRUNCATE);
    // An add that timed out (Explorer busy at sign-in) may have added the icon all the same,
    // and a second add of it fails: a retry first tries to change the icon that may be there.
    trayAdded_ = (trayMayExist_ && NotifyIcon(NIM_MODIFY, tray_)) || NotifyIcon(NIM_ADD, tray_);
    trayMayExist_ = true;
    // The menu from the keyboard (Win+B, then Enter or the menu key) and the context-menu
    // event for the right button.
    if (trayAdded_) {
        tray_.uVersion = NOTIFYICON_VERSION_4;
        trayVersion4_ = NotifyIcon(NIM_SETVERSION, tray_);
    }
    // Explorer is not ready yet (at log-on, or while it restarts): try again until it is.
    if (trayAdded_) KillTimer(hwnd(), kTrayRetryTimerId);
    else SetTimer(hwnd(), kTrayRetryTimerId, kTrayRetryMs, nullptr);
}

void MainWindow::RemoveTrayIcon() {
    KillTimer(hwnd(), kTrayRetryTimerId);
    // Also after a failed add, which may have added it: no icon outlives the program.
    if (trayMayExist_) NotifyIcon(NIM_DELETE, tray_);
    trayAdded_ = trayMayExist_ = false;
}

void MainWindow::OnTrayRetry() {
    AddTrayIcon();
    // Minimised while there was no icon: now it can go where minimising sends it.
    if (trayAdded_ && IsWindowVisible(hwnd()) && IsIconic(hwnd())) OnSize(SIZE_MINIMIZED);
}

// Nothing could bring a window hidden in the notification area back while there is no icon:
// it waits minimised on the taskbar instead.
void MainWindow::ShowMinimisedWithoutIcon() {
    app_.settings.SetHiddenInTray(false);
    ShowWindow(hwnd(), SW_SHOWMINNOACTIVE);
}

void MainWindow::BringForward() {
    if (app_.settings.HiddenInTray() || IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    ShowWindow(hwnd(), SW_SHOW);
    if (app_.settings.HiddenInTray()) {
        app_.settings.SetHiddenInTray(false);
        SaveWindow();
    }
    SetForegroundWindow(hwnd());
}

HWND MainWindow::OpenModalWindow() const {
    // A modal dialog disables the window it is opened over; a dialog opened from it in turn
    // is the last active popup of that one.
    if (IsWindowEnabled(hwnd())) return nullptr;
    HWND innermost = nullptr;
    HWND owner = hwnd();
    for (int depth = 0; depth < 8; ++depth) {
        HWND popup = GetLastActivePopup(owner);
        if (!popup || popup == owner) break;
        innermost = owner = popup;
    }
    return innermost;
}

void MainWindow::ShowSetupMenu(POINT at) {
    SetForegroundWindow(hwnd());  // so the menu closes when the user clicks elsewhere
    TrackPopupMenu(setupMenu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
}

HMENU MainWindow::CreateTrayMenu() {
    HMENU menu = CreatePopupMenu();
    HMENU pause = CreatePopupMenu();
    HMENU timer = CreatePopupMenu();
    const bool paused = TalkPaused(app_.settings, MinuteNumber(Now()));
    for (unsigned i = 0; i < std::size(kCaptionPauseChoices); ++i) {
        const bool resume = kCmdPauseHalfHour + i == kCmdPauseResume;
        AppendMenuW(pause, MF_STRING | (resume && !paused ? MF_GRAYED : 0), kCmdPauseHalfHour + i,
                    kCaptionPauseChoices[i]);
    }
    for (unsigned i = 0; i < std::size(kTimerMinutes); ++i) {
        // 1, 3 and 5 take their digit as access key; the arrows reach the rest.
        std::wstring caption = std::to_wstring(kTimerMinutes[i]) + L"分";
        if (kTimerMinutes[i] < 10) caption += L"(&" + std::to_wstring(kTimerMinutes[i]) + L")";
        AppendMenuW(timer, MF_STRING, kCmdTimerFirst + i, caption.c_str());
    }
    AppendMenuW(timer, MF_STRING, kCmdTimerCustom, kCaptionTimerCustom);
    AppendMenuW(timer, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(timer, MF_STRING | (timerRunning_ ? 0 : MF_GRAYED), kCmdTimerStop, kCaptionTimerStop);

    std::wstring speakTime = kCaptionSpeakTime;
    if (hotkeyInForce_) speakTime += L"\t" + HotkeyText(hotkeyInForce_);
    AppendMenuW(menu, MF_STRING, kCmdSpeakTime, speakTime.c_str());
    AppendMenuW(menu, MF_STRING, kCmdSpeakDate, kCaptionSpeakDate);
    AppendMenuW(menu, MF_POPUP | (paused ? MF_CHECKED : 0), reinterpret_cast<UINT_PTR>(pause), kCaptionPause);
    AppendMenuW(menu, MF_POPUP | (timerRunning_ ? MF_CHECKED : 0), reinterpret_cast<UINT_PTR>(timer), kCaptionTimer);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kCmdVocal, kCaptionVocal);
    AppendMenuW(menu, MF_STRING | (app_.alarms ? 0 : MF_GRAYED), kCmdAlarm, kCaptionAlarm);
    AppendMenuW(menu, MF_STRING, kCmdCalendar, kCaptionCalendar);
    AppendMenuW(menu, MF_STRING | (IsAutostartOn(RunningProgramPath()) ? MF_CHECKED : 0), kCmdAutostart,
                kCaptionAutostart);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    const bool shown = IsWindowVisible(hwnd()) && !IsIconic(hwnd());
    AppendMenuW(menu, MF_STRING, kCmdShowHide, shown ? kCaptionHide : kCaptionShow);
    AppendMenuW(menu, MF_STRING, kCmdTrayHelp, kCaptionTrayHelp);
    AppendMenuW(menu, MF_STRING, kCmdExit, kCaptionExit);
    SetMenuDefaultItem(menu, kCmdSpeakTime, FALSE);
    return menu;
}

void MainWindow::ShowTrayMenu(POINT at) {
    if (trayMenuOpen_) return;
    if (!IsWindowEnabled(hwnd())) {
        // A settings dialog is open: its commands wait until it closes; it comes forward.
        if (HWND modal = OpenModalWindow()) SetForegroundWindow(modal);
        return;
    }
    HMENU menu = CreateTrayMenu();
    trayMenuOpen_ = true;
    SetForegroundWindow(hwnd());  // so the menu closes when the user clicks elsewhere
    const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    const UINT command = static_cast<UINT>(TrackPopupMenuEx(
        menu, align | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, hwnd(), nullptr));
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    DestroyMenu(menu);
    trayMenuOpen_ = false;
    trayMenuClosed_ = GetTickCount64();
    if (command) OnCommand(command);
}

WallClock MainWindow::Now() const { return wallClock_ ? wallClock_() : ReadWallClock(); }

void MainWindow::SetClocks(std::function<WallClock()> wall, std::function<ULONGLONG()> steady) {
    wallClock_ = std::move(wall);
    steadyMs_ = std::move(steady);
    if (tick_) tick_->SetClock(wallClock_);
}

void MainWindow::SpeakTimeNow() {
    const WallClock now = Now();
    const TalkTimeArgs args = TalkArgs(app_.settings, now.hour, now.minute);
    if (app_.hvplus) app_.hvplus->TalkTime(args.text.c_str(), args.mode, args.speed);
}

void MainWindow::SpeakDateNow() {
    const WallClock now = Now();
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.date.year % 10000, now.date.month % 100, now.date.day % 100);
    if (app_.hvplus) app_.hvplus->TalkDate(text, app_.settings.TalkSpeed);
}

void MainWindow::PauseTalk(PauseChoice choice) {
    app_.settings.TalkPausedUntil = PauseUntil(choice, app_.settings, Now());
    UpdateTrayTip();
    if (app_.store && !SaveTalkPause(*app_.store, app_.settings))
        MessageBoxW(hwnd(), SaveFailureText(L"発声の一時停止", false).c_str(), kProgramTitle, MB_OK | MB_ICONERROR);
}

long long MainWindow::TimerMsLeft() const {
    if (!timerRunning_) return -1;
    const ULONGLONG now = SteadyMs();
    return now >= timerEnd_ ? 0 : static_cast<long long>(timerEnd_ - now);
}

void MainWindow::StartTimer(long long minutes) {
    timerRunning_ = true;
    timerEnd_ = SteadyMs() + static_cast<ULONGLONG>(minutes) * 60000;
    OnCountdownTimer();
}

void MainWindow::StopTimer() {
    timerRunning_ = false;
    KillTimer(hwnd(), kCountdownTimerId);
    UpdateTrayTip();
}

void MainWindow::OnCountdownTimer() {
    if (!timerRunning_) {
        KillTimer(hwnd(), kCountdownTimerId);
        return;
    }
    const long long left = TimerMsLeft();
    if (left > 0) {
        // Wakes when the shown second changes, not before.
        SetTimer(hwnd(), kCountdownTimerId, static_cast<UINT>(MsToNextSecond(left)), nullptr);
        UpdateTrayTip();
        return;
    }
    StopTimer();
    // The notice at the icon first (it waits for nobody), then the chime and the sentence;
    // without an icon a box says it once they have played.
    if (trayAdded_) ShowNotice(kTimerEndedText);
    if (app_.hvplus) app_.hvplus->TalkTimerEnd(app_.settings.TalkSpeed);
    if (!trayAdded_) MessageBoxW(hwnd(), kTimerEndedText, kProgramTitle, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

void MainWindow::ShowNotice(const wchar_t* text) {
    NOTIFYICONDATAW notice = tray_;
    notice.uFlags = NIF_INFO;
    wcsncpy_s(notice.szInfo, text, _TRUNCATE);
    wcsncpy_s(notice.szInfoTitle, kProgramTitle, _TRUNCATE);
    notice.dwInfoFlags = NIIF_INFO;
    NotifyIcon(NIM_MODIFY, notice);
    wcsncpy_s(tray_.szInfo, notice.szInfo, _TRUNCATE);
}

std::wstring MainWindow::TrayTip() const {
    const WallClock now = Now();
    return ComposeTalkTrayTip(app_.settings, now, TimerMsLeft(), refusedHotkey_, NextAlarmLine(now));
}

std::wstring MainWindow::NextAlarmLine(const WallClock& now) const {
    return NextAlarmText(app_.settings, now, tick_ ? tick_->NextSnooze() : std::nullopt);
}

void MainWindow::UpdateTrayTip() {
    wchar_t text[std::size(NOTIFYICONDATAW{}.szTip)];
    wcsncpy_s(text, TrayTip().c_str(), _TRUNCATE);
    if (wcscmp(text, tray_.szTip) == 0) return;
    wcscpy_s(tray_.szTip, text);
    if (!trayAdded_) return;
    NOTIFYICONDATAW change = tray_;
    change.uFlags = NIF_TIP | NIF_SHOWTIP;
    NotifyIcon(NIM_MODIFY, change);
}

bool MainWindow::RegisterTalkHotkey(std::uint16_t hotkey) {
    if (hotkey == hotkeyInForce_ && refusedHotkey_.empty()) return true;
    UINT modifiers = MOD_NOREPEAT;
    if (hotkey & 0x100) modifiers |= MOD_SHIFT;
    if (hotkey & 0x200) modifiers |= MOD_CONTROL;
    if (hotkey & 0x400) modifiers |= MOD_ALT;
    if (hotkeyInForce_) UnregisterHotKey(hwnd(), kTalkHotkeyId);
    if ((hotkey & 0xFF) == 0 || RegisterKey(kTalkHotkeyId, modifiers, hotkey & 0xFFu)) {
        hotkeyInForce_ = (hotkey & 0xFF) ? hotkey : 0;
        return true;
    }
    // Refused: the key before stays in force.
    const std::uint16_t before = hotkeyInForce_;
    hotkeyInForce_ = 0;
    if (before) RegisterTalkHotkey(before);
    return false;
}

bool MainWindow::SetTalkHotkey(std::uint16_t hotkey) {
    const std::wstring refused = refusedHotkey_;
    refusedHotkey_.clear();
    if (!RegisterTalkHotkey(hotkey)) {
        refusedHotkey_ = refused;
        return false;
    }
    UpdateTrayTip();
    return true;
}

void MainWindow::SaveWindow(bool mayTell) {
    if (!app_.store) return;
    RECT rect = NormalWindowRect(hwnd());
    const int positionDpi = SystemDpi(), sizeDpi = DpiOf(hwnd());
    WindowRectTwips twips{PixelsToTwips(rect.left, positionDpi), PixelsToTwips(rect.top, positionDpi),
                          PixelsToTwips(rect.right - rect.left, sizeDpi), PixelsToTwips(rect.bottom - rect.top, sizeDpi)};
    windowNotSaved_ = !SaveWindowSettings(*app_.store, app_.settings, twips, app_.system.AppVersion);
    if (!windowNotSaved_) toldNotSaved_ = false;
    // Told from the message loop: a box inside a move, a size or a menu command would run
    // its own loop in the middle of them.
    if (windowNotSaved_ && !toldNotSaved_ && mayTell && !closed_) PostMessageW(hwnd(), kWindowNotSavedMessage, 0, 0);
}

// Once until a save succeeds again: a store that refuses every write would otherwise
// answer every move of the window with a box.
void MainWindow::TellWindowNotSaved() {
    if (!windowNotSaved_ || toldNotSaved_) return;
    toldNotSaved_ = true;
    MessageBoxW(hwnd(), SaveFailureText(L"ウィンドウの位置と表示", false).c_str(), kProgramTitle,
                MB_OK | MB_ICONERROR);
}

void MainWindow::ApplyTopmost() {
    const bool on = app_.settings.AlwaysOnTop();
    CheckMenuItem(systemMenu_, kCmdAlwaysOnTop, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    SetWindowPos(hwnd(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void MainWindow::ApplyTitleBar() {
    const bool hidden = app_.settings.TitleBarHidden();
    SetMenu(hwnd(), hidden ? nullptr : menuBar_);
    LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    style = hidden ? (style & ~static_cast<LONG_PTR>(WS_CAPTION)) : (style | WS_CAPTION);
    SetWindowLongPtrW(hwnd(), GWL_STYLE, style);
    // The frame is recomputed only when told; the outer rectangle stays where it is.
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

// The minute tick rests while a settings dialog is open; the busy pointer shows while it loads.
class MainWindow::SettingsDialogScope {
public:
    SettingsDialogScope(MainWindow& window, bool busyPointer) : window_(window), busy_(busyPointer) {
        window_.PauseTick();
    }
    ~SettingsDialogScope() { window_.ResumeTick(); }
    SettingsDialogScope(const SettingsDialogScope&) = delete;
    SettingsDialogScope& operator=(const SettingsDialogScope&) = delete;

private:
    MainWindow& window_;
    BusyPointer busy_;
};

bool MainWindow::SpeakTime(const std::string& time, bool clock24, int speed) {
    return app_.hvplus && app_.hvplus->TalkTime(time.c_str(), clock24 ? 1 : 0, static_cast<unsigned char>(speed)) != 0;
}

void MainWindow::RedrawFace() {
    UpdateTitle();  // the heading may have been switched on or off
    DrawFace();
}

void MainWindow::ShowMonth() {
    shown_ = navigator_.showsToday() ? app_.calendar : navigator_.Calendar();
    face_.SetMonth(navigator_.year(), navigator_.month(), navigator_.showsToday());
    tooltipRects_.clear();
    UpdateTitle();
    ShowFocusDay(focusDayShown_);
    access_.NotifyMonthShown(hwnd());
    access_.NotifyFocus(hwnd());
    const long long left = navigator_.MsUntilReturn(static_cast<long long>(GetTickCount64()));
    if (left < 0) KillTimer(hwnd(), kReturnTimerId);
    else SetTimer(hwnd(), kReturnTimerId, static_cast<UINT>(std::max<long long>(left, USER_TIMER_MINIMUM)), nullptr);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void MainWindow::UpdateTitle() {
    std::wstring title = kProgramTitle;
    if (!navigator_.showsToday() && !app_.settings.ShowHeading) {
        const std::u16string month = MonthHeading(navigator_.year(), navigator_.month(),
                                                  app_.settings.HeadingEra ? HeadingForm::Era : HeadingForm::Western);
        title = std::wstring(month.begin(), month.end()) + L" - " + title;
    }
    wchar_t current[64] = {};
    GetWindowTextW(hwnd(), current, 64);
    if (title != current) SetWindowTextW(hwnd(), title.c_str());
}

void MainWindow::OnReturnTimer() {
    if (navigator_.ReturnIfIdle(static_cast<long long>(GetTickCount64()))) {
        ShowMonth();
        return;
    }
    // Input came meanwhile: wait for what is left of its minute.
    const long long left = navigator_.MsUntilReturn(static_cast<long long>(GetTickCount64()));
    if (left < 0) KillTimer(hwnd(), kReturnTimerId);
    else SetTimer(hwnd(), kReturnTimerId, static_cast<UINT>(std::max<long long>(left, USER_TIMER_MINIMUM)), nullptr);
}

void MainWindow::FollowContrast() {
    const bool on = HighContrastOn();
    if (on != face_.highContrast()) {
        face_.SetHighContrast(on);
        if (TranslucencyAvailable(app_.system) && app_.settings.Translucent)
            ApplyTranslucency(hwnd(), !on, app_.settings.TranslucentRate);
    }
    InvalidateRect(hwnd(), nullptr, FALSE);  // a theme's colours may have changed, on or not
}

void MainWindow::ShowFocusDay(bool shown) {
    focusDayShown_ = shown;
    face_.SetFocusDay(shown ? navigator_.focus().day : 0);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

bool MainWindow::OnNavigationKey(WPARAM key) {
    const long long now = static_cast<long long>(GetTickCount64());
    static constexpr struct {
        WPARAM key;
        int days;
    } kFocusKeys[] = {{VK_LEFT, -1}, {VK_RIGHT, 1}, {VK_UP, -7}, {VK_DOWN, 7}};
    for (const auto& focusKey : kFocusKeys) {
        if (focusKey.key != key) continue;
        const Date before = navigator_.focus();
        if (navigator_.MoveFocus(focusKey.days, now)) {
            focusDayShown_ = true;
            ShowMonth();  // tells the reader of the new month and its focus day
        } else {
            ShowFocusDay(true);
            if (!(navigator_.focus() == before)) access_.NotifyFocus(hwnd());
        }
        return true;
    }
    bool changed = false;
    if (key == VK_NEXT) changed = navigator_.Turn(1, now);
    else if (key == VK_PRIOR) changed = navigator_.Turn(-1, now);
    else if (key == VK_HOME) changed = navigator_.ShowToday();
    else return false;
    if (changed) ShowMonth();
    return true;
}

bool MainWindow::LoadFacePicture(const std::wstring& path) {
    if (!face_.picture().Load(path)) return false;
    DrawFace();
    return true;
}

void MainWindow::ClearFacePicture() {
    face_.picture().Reset();
    DrawFace();
}

void MainWindow::ApplyFaceTranslucency(bool on) {
    if (TranslucencyAvailable(app_.system))
        ApplyTranslucency(hwnd(), on && !face_.highContrast(), app_.settings.TranslucentRate);
}

void MainWindow::SetFaceOpacity() {
    if (TranslucencyAvailable(app_.system) && !face_.highContrast())
        SetLayeredWindowAttributes(hwnd(), 0, TranslucencyAlpha(app_.settings.TranslucentRate), LWA_ALPHA);
}

void MainWindow::StopTick() {
    if (tick_) tick_->Stop();
}

bool MainWindow::tickRunning() const { return tick_ && tick_->running(); }

void MainWindow::StartTick() {
    if (tick_) tick_->Start();
}

void MainWindow::PauseTick() {
    if (tick_) tick_->Pause();
}

void MainWindow::ResumeTick() {
    if (tick_) tick_->Resume();
}

void MainWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    face_.DrawFace(hwnd(), dc);
    EndPaint(hwnd(), &ps);
    UpdateTooltips();
}

void MainWindow::UpdateTooltips() {
    if (!tooltip_) return;
    std::vector<RECT> rects;
    std::vector<int> days;
    for (const HolidayBox& box : HolidayBoxes()) {
        rects.push_back(box.rect);
        days.push_back(box.day);
    }
    // Anywhere else on the face the tooltip tells when the next alarm goes off, asked for as
    // it shows (TTN_GETDISPINFOW), so it is always current.
    RECT client{};
    GetClientRect(hwnd(), &client);
    rects.push_back(client);
    auto same = [](const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; };
    if (rects.size() == tooltipRects_.size() && std::equal(rects.begin(), rects.end(), tooltipRects_.begin(), same))
        return;

    // Tools are few (at most six holidays); they are remade whenever the face moves them.
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    while (SendMessageW(tooltip_, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) {
        SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        tool = {};
        tool.cbSize = sizeof tool;
    }
    for (std::size_t i = 0; i < days.size(); ++i) {
        Date date{navigator_.year(), navigator_.month(), days[i]};
        std::u16string_view name = HolidayName(date);
        std::wstring text(name.begin(), name.end());
        tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = static_cast<UINT_PTR>(days[i]);
        tool.rect = rects[i];
        tool.lpszText = text.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // Added last: a day's holiday tool, found first, covers its day.
    tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = kNextAlarmToolId;
    tool.rect = client;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tooltipRects_ = std::move(rects);
}

void MainWindow::OnSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED) {
        // Minimised, by any means: only the notification-area icon remains, when there is one.
        if (!trayAdded_) return;
        ShowWindow(hwnd(), SW_HIDE);
        app_.settings.SetHiddenInTray(true);
        SaveWindow();
        return;
    }
    // Drawn by the paint that follows: once, also when the window is placed and shown at start.
    if (app_.settings.BackgroundKind != BackgroundKind::Desktop) InvalidateRect(hwnd(), nullptr, FALSE);
}

void MainWindow::OnTrayMessage(WPARAM anchor, LPARAM event) {
    const UINT what = LOWORD(event);
    // A shell without the version 4 events sends only the button, and no place with it.
    const bool plainRightClick = what == WM_RBUTTONUP && !trayVersion4_;
    if (what == WM_CONTEXTMENU || what == NIN_KEYSELECT || plainRightClick) {
        // Enter on the icon may come twice for one press.
        if (what == NIN_KEYSELECT && GetTickCount64() - trayMenuClosed_ < kRepeatedKeySelectMs) return;
        POINT at{GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)};
        if (plainRightClick) GetCursorPos(&at);
        ShowTrayMenu(at);
        return;
    }
    if (what != WM_LBUTTONDOWN) return;
    if (!IsWindowEnabled(hwnd())) {
        // A dialog is open over the window. Minimising now would hide it with the window, and
        // the minute tick would rest until the user found it again: it comes forward instead.
        if (app_.settings.HiddenInTray() || IsIconic(hwnd())) BringForward();
        if (HWND modal = OpenModalWindow()) SetForegroundWindow(modal);
        return;
    }
    if (app_.settings.HiddenInTray()) {
        BringForward();
    } else {
        ShowWindow(hwnd(), SW_MINIMIZE);
    }
}

void MainWindow::OnCommand(unsigned id) {
    switch (id) {
    case kCmdTopic:
        ShowHelpTopicList(hwnd(), app_.system);
        break;
    case kCmdVersionInfo: {
        VersionWindow about(app_.system);
        about.ShowAbout(hwnd());
        break;
    }
    case kCmdVocal: {
        SettingsDialogScope scope(*this, true);
        AnnounceDialog dialog(*this);
        dialog.Run(hwnd());
        break;
    }
    case kCmdAlarm: {
        if (!app_.alarms) break;
        SettingsDialogScope scope(*this, true);
        AlarmSettingsDialog dialog(*this, *app_.alarms);
        dialog.Run(hwnd());
        break;
    }
    case kCmdCalendar: {
        // The face is the preview: no busy pointer over it.
        SettingsDialogScope scope(*this, false);
        AppearanceDialog dialog(*this);
        dialog.Run(hwnd());
        break;
    }
    case kCmdAutostart: {
        const std::wstring program = RunningProgramPath();
        if (!SetAutostart(program, !IsAutostartOn(program))) MessageBeep(MB_ICONWARNING);
        break;
    }
    case kCmdSpeakTime:
        SpeakTimeNow();
        break;
    case kCmdSpeakDate:
        SpeakDateNow();
        break;
    case kCmdTimerCustom: {
        // The length last chosen here is offered again.
        TimerDialog dialog(lastCustomMinutes_);
        if (const int minutes = dialog.Run(hwnd())) StartTimer(lastCustomMinutes_ = minutes);
        break;
    }
    case kCmdTimerStop:
        StopTimer();
        break;
    case kCmdShowHide:
        if (IsWindowVisible(hwnd()) && !IsIconic(hwnd())) ShowWindow(hwnd(), SW_MINIMIZE);
        else BringForward();
        break;
    case kCmdTrayHelp:
        ShowHelpTopic(hwnd(), app_.system, kHelpContextTray);
        break;
    case kCmdExit:
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        break;
    default:
        if (id >= kCmdPauseHalfHour && id <= kCmdPauseResume)
            PauseTalk(static_cast<PauseChoice>(id - kCmdPauseHalfHour));
        else if (id >= kCmdTimerFirst && id < kCmdTimerFirst + std::size(kTimerMinutes))
            StartTimer(kTimerMinutes[id - kCmdTimerFirst]);
        break;
    }
}

void MainWindow::OnMouseDown(UINT msg, WPARAM keys) {
    if (!app_.settings.TitleBarHidden()) return;
    const WPARAM buttons = keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
    if (msg == WM_LBUTTONDOWN && buttons == MK_LBUTTON) {
        // The whole face drags the window, as its caption would.
        ReleaseCapture();
        SendMessageW(hwnd(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    } else if (msg == WM_RBUTTONDOWN && buttons == MK_RBUTTON) {
        POINT at;
        GetCursorPos(&at);
        ShowSetupMenu(at);
    }
}

void MainWindow::OnDpiChanged(int, const RECT& suggested) {
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void MainWindow::CloseSequence() {
    if (closed_) return;
    closed_ = true;
    StopTick();
    RemoveTrayIcon();
    if (app_.alarms) {
        app_.alarms->StopAllSounds();
        app_.alarms->SetNoticeHandlers({}, {});  // a notice left open outlives the tick
    }
    SaveWindow();
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        // Explorer restarted: its notification area lost every icon.
        AddTrayIcon();
        if (!trayAdded_ && app_.settings.HiddenInTray()) ShowMinimisedWithoutIcon();
        return 0;
    }
    if (msg == bringForward_ && bringForward_ != 0) {
        BringForward();
        return 0;
    }
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the face covers every pixel
    case WM_SIZE:
        OnSize(wp);
        break;
    case WM_EXITSIZEMOVE:
        SaveWindow();
        break;
    case WM_SYSCOLORCHANGE:
        FollowContrast();
        break;
    case WM_SETTINGCHANGE:
        if (wp == SPI_SETHIGHCONTRAST) FollowContrast();
        if (IsThemeChange(msg, lp)) titleBarTheme_.Follow(hwnd());
        [[fallthrough]];
    case WM_DISPLAYCHANGE:
        // A new wallpaper, desktop setting or screen: the desktop painted under the face follows.
        if (app_.settings.BackgroundKind == BackgroundKind::Desktop) InvalidateRect(hwnd(), nullptr, FALSE);
        // A picture whose drive was not ready (a network or removable drive at start-up) is
        // tried again when the display changes or the window is shown.
        if (msg == WM_DISPLAYCHANGE && face_.RetryPicture(GetTickCount64())) InvalidateRect(hwnd(), nullptr, FALSE);
        break;
    case WM_SHOWWINDOW:
        if (wp && face_.RetryPicture(GetTickCount64())) InvalidateRect(hwnd(), nullptr, FALSE);
        break;
    case WM_CONTEXTMENU:
        // The keyboard's way to the setup menu (Shift+F10, the menu key) while there is no
        // menu bar; the right button opens it when pressed.
        if (app_.settings.TitleBarHidden() && GET_X_LPARAM(lp) == -1 && GET_Y_LPARAM(lp) == -1) {
            POINT corner{0, 0};
            ClientToScreen(hwnd(), &corner);
            ShowSetupMenu(corner);
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGED:
        // The painted desktop must follow the window as it moves.
        if (app_.settings.BackgroundKind == BackgroundKind::Desktop && !app_.settings.Translucent && !IsIconic(hwnd()))
            DrawFace();
        break;
    case WM_SYSCOMMAND:
        if (wp == kCmdAlwaysOnTop) {
            app_.settings.SetAlwaysOnTop(!app_.settings.AlwaysOnTop());
            ApplyTopmost();
            SaveWindow();
            return 0;
        }
        break;
    case kTrayMessage:
        OnTrayMessage(wp, lp);
        return 0;
    case WM_HOTKEY:
        if (wp == kTalkHotkeyId) SpeakTimeNow();
        return 0;
    case WM_LBUTTONDBLCLK:
        app_.settings.SetTitleBarHidden(!app_.settings.TitleBarHidden());
        ApplyTitleBar();
        SaveWindow();
        return 0;
    case WM_MOUSEMOVE:
        if (!tooltip_) {
            // Told when the pointer rests (WM_MOUSEHOVER), once per move that comes before.
            TRACKMOUSEEVENT track{sizeof track, TME_HOVER, hwnd(), HOVER_DEFAULT};
            TrackMouseEvent(&track);
        }
        navigator_.NoteInput(static_cast<long long>(GetTickCount64()));
        break;
    case WM_MOUSEHOVER:
        OnMouseRest({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_MOUSEWHEEL:
        if (navigator_.Wheel(GET_WHEEL_DELTA_WPARAM(wp), static_cast<long long>(GetTickCount64()))) ShowMonth();
        return 0;
    case WM_KEYDOWN:
        if (OnNavigationKey(wp)) return 0;
        break;
    case WM_GETOBJECT:
        if (const LRESULT object = access_.OnGetObject(hwnd(), wp, lp)) return object;
        break;
    case WM_SETFOCUS:
        access_.NotifyFocus(hwnd());
        break;
    case WM_KILLFOCUS:
        if (focusDayShown_) ShowFocusDay(false);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnMouseDown(msg, wp);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wp) == 0 && lp == 0) OnCommand(LOWORD(wp));
        return 0;
    case WM_INITMENUPOPUP:
        // The Run key may have changed outside the program (Task Manager, another copy).
        if (reinterpret_cast<HMENU>(wp) == setupMenu_)
            CheckMenuItem(setupMenu_, kCmdAutostart,
                          MF_BYCOMMAND | (IsAutostartOn(RunningProgramPath()) ? MF_CHECKED : MF_UNCHECKED));
        break;
    case WM_NOTIFY: {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
        if (info->hdr.hwndFrom != tooltip_ || info->hdr.code != TTN_GETDISPINFOW ||
            info->hdr.idFrom != kNextAlarmToolId)
            break;
        nextAlarmTip_ = NextAlarmLine(Now());
        info->lpszText = nextAlarmTip_.data();
        return 0;
    }
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_TIMER:
        if (wp == kStartOleTimerId) {
            KillTimer(hwnd(), kStartOleTimerId);
            oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
            return 0;
        }
        if (wp == kTrayRetryTimerId) {
            OnTrayRetry();
            return 0;
        }
        if (wp == kReturnTimerId) {
            OnReturnTimer();
            return 0;
        }
        if (wp == kCountdownTimerId) {
            OnCountdownTimer();
            return 0;
        }
        if (tick_ && tick_->OnTimer(wp)) {
            UpdateTrayTip();  // a pause that ended
            return 0;
        }
        break;
    case WM_TIMECHANGE:
        if (tick_) tick_->OnTimeChange();
        return 0;
    case WM_POWERBROADCAST:
        if (tick_) tick_->OnPowerBroadcast(wp);
        return TRUE;
    case WM_CLOSE:
        // The close is never refused; what could not be stored is told before the window goes.
        CloseSequence();
        TellWindowNotSaved();
        DestroyWindow(hwnd());
        return 0;
    case kWindowNotSavedMessage:
        TellWindowNotSaved();
        return 0;
    case WM_QUERYENDSESSION:
        // The session may end, or the Restart Manager close us, without another message (and
        // no box may hold the session up).
        SaveWindow(false);
        return TRUE;
    case WM_ENDSESSION:
        // Windows is ending the session: the window never gets WM_CLOSE, save now.
        if (wp) CloseSequence();
        // The Restart Manager asks the program to go (an installer replaces its files).
        if (wp && (lp & ENDSESSION_CLOSEAPP)) DestroyWindow(hwnd());
        return 0;
    case WM_DESTROY:
        if (hotkeyInForce_) UnregisterHotKey(hwnd(), kTalkHotkeyId);
        KillTimer(hwnd(), kCountdownTimerId);
        RemoveTrayIcon();
        StopTick();
        break;
    }
    return Window::HandleMessage(msg, wp, lp);
}

}  // namespace hv
