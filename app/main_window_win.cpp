#include "app/main_window_win.h"

#include <commctrl.h>
#include <mmsystem.h>  // MCIERROR in the alarm actions

#include <string>

#include "app/autostart_win.h"
#include "app/hvplus_binding_win.h"
#include "app/main_menu.h"
#include "app/placement.h"
#include "face/holidays.h"
#include "alarm/alarm_win.h"
#include "app/minute_tick_win.h"
#include "settings/settings_io.h"
#include "util/help_win.h"
#include "util/version_window_win.h"

namespace hv {

namespace {

constexpr int kProgramIconId = 1;

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

int SystemDpi() {
    UINT dpi = GetDpiForSystem();
    return dpi ? static_cast<int>(dpi) : 96;
}

}  // namespace

HMENU CreateMainMenu(HMENU& setup, HMENU& help) {
    HMENU bar = CreateMenu();
    setup = CreatePopupMenu();
    help = CreatePopupMenu();
    // The setup dialogs join the program in later steps; until then their items stay visible
    // and greyed, so the menu looks as it will.
    AppendMenuW(setup, MF_STRING | MF_GRAYED, kCmdVocal, kCaptionVocal);
    AppendMenuW(setup, MF_STRING | MF_GRAYED, kCmdAlarm, kCaptionAlarm);
    AppendMenuW(setup, MF_STRING | MF_GRAYED, kCmdCalendar, kCaptionCalendar);
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
    : app_(app), face_(app.settings, app.calendar, [&app](HWND window, COLORREF first, COLORREF second, long direction) {
          if (app.hvplus) app.hvplus->PaintGradation(window, first, second, direction);
      }) {}

MainWindow::~MainWindow() {
    // Without a title bar the menu bar is detached from the window, which then does not
    // destroy it.
    if (menuBar_ && (!hwnd() || GetMenu(hwnd()) != menuBar_)) DestroyMenu(menuBar_);
    if (icon_) DestroyIcon(icon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

bool MainWindow::Create() {
    menuBar_ = CreateMainMenu(setupMenu_, helpMenu_);
    LoadIcons();
    // Created hidden at the design size; the load places it.
    if (!Window::Create(kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                        360, 233, nullptr, menuBar_, icon_))
        return false;
    Load();
    if (!app_.settings.HiddenInTray()) {
        ShowWindow(hwnd(), SW_SHOWNORMAL);
        UpdateWindow(hwnd());
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

    systemMenu_ = GetSystemMenu(hwnd(), FALSE);
    AppendMenuW(systemMenu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu_, MF_STRING, kCmdAlwaysOnTop, kCaptionAlwaysOnTop);

    PlaceWindow();
    if (TranslucencyAvailable(app_.system) && settings.Translucent)
        ApplyTranslucency(hwnd(), true, settings.TranslucentRate);
    if (settings.AlwaysOnTop()) ApplyTopmost();
    if (settings.TitleBarHidden()) ApplyTitleBar();
    face_.ApplyBackground();

    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    AddTrayIcon();

    if (app_.alarms && app_.hvplus) {
        app_.alarms->SetMainWindow(hwnd());
        app_.alarms->SetProgramIcon(icon_);
        tickActions_ = std::make_unique<ProgramTickActions>(*app_.alarms, *app_.hvplus);
        tickActions_->SetFace(hwnd());
        // The tick keeps app_.calendarDate with the calendar; the holiday tooltips follow.
        tickActions_->SetCalendarChangedHandler([this] { tooltipRects_.clear(); });
        tick_ = std::make_unique<MinuteTick>(settings, app_.calendar, app_.calendarDate, *tickActions_);
        tick_->Attach(hwnd());
    }
    StartTick();
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

    // Moved first, so that the window takes the dpi of the monitor it lands on, then sized
    // at that dpi.
    PixelRect rect = PlacementToPixels(placement, positionDpi, positionDpi);
    SetWindowPos(hwnd(), nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    rect = PlacementToPixels(placement, positionDpi, WindowDpi(hwnd()));

    // A monitor that was unplugged since the last run: onto the nearest one.
    RECT wanted{rect.left, rect.top, rect.right, rect.bottom};
    if (!MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const RECT& work = monitor.rcWork;
            rect = MoveInto(rect, {work.left, work.top, work.right, work.bottom});
        }
    }
    SetWindowPos(hwnd(), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::AddTrayIcon() {
    tray_ = {};
    tray_.cbSize = sizeof tray_;
    tray_.hWnd = hwnd();
    tray_.uID = kTrayIconId;
    tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_.uCallbackMessage = kTrayMessage;
    tray_.hIcon = smallIcon_ ? smallIcon_ : icon_;
    wcscpy_s(tray_.szTip, kMainWindowTitle);
    trayAdded_ = Shell_NotifyIconW(NIM_ADD, &tray_) != FALSE;
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

void MainWindow::StopTick() {
    if (tick_) tick_->Stop();
}

void MainWindow::StartTick() {
    if (tick_) tick_->Start();
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
    const FaceLayout& layout = face_.layout();
    const int dpi = face_.dpi();
    std::vector<RECT> rects;
    std::vector<int> days;
    for (const DayLabel& day : layout.days) {
        if (!day.holiday) continue;
        DayBox box = DayLabelBox(layout, face_.metrics(), day);
        rects.push_back({TwipsToPixels(box.left, dpi), TwipsToPixels(box.top, dpi),
                         TwipsToPixels(box.left + box.width, dpi), TwipsToPixels(box.top + box.height, dpi)});
        days.push_back(day.day);
    }
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
    for (std::size_t i = 0; i < rects.size(); ++i) {
        Date date{app_.calendarDate.year, app_.calendarDate.month, days[i]};
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
    tooltipRects_ = std::move(rects);
}

void MainWindow::OnSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED) {
        // Minimised, by any means: only the notification-area icon remains.
        ShowWindow(hwnd(), SW_HIDE);
        app_.settings.SetHiddenInTray(true);
        return;
    }
    if (app_.settings.BackgroundKind != BackgroundKind::Desktop) DrawFace();
}

void MainWindow::OnTrayMessage(LPARAM event) {
    if (LOWORD(event) != WM_LBUTTONDOWN) return;
    if (app_.settings.HiddenInTray()) {
        ShowWindow(hwnd(), SW_RESTORE);
        ShowWindow(hwnd(), SW_SHOW);
        app_.settings.SetHiddenInTray(false);
        SetForegroundWindow(hwnd());
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
        VersionWindow about(app_);
        about.ShowAbout(hwnd());
        break;
    }
    case kCmdAutostart: {
        const std::wstring program = RunningProgramPath();
        if (!SetAutostart(program, !IsAutostartOn(program))) MessageBeep(MB_ICONWARNING);
        break;
    }
    default:
        // The settings dialogs are not part of the program yet (greyed).
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
        SetForegroundWindow(hwnd());  // so the menu closes when the user clicks elsewhere
        TrackPopupMenu(setupMenu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
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
    if (trayAdded_) Shell_NotifyIconW(NIM_DELETE, &tray_);
    trayAdded_ = false;
    if (app_.alarms) app_.alarms->StopAllSounds();
    if (app_.store) {
        RECT rect = NormalWindowRect(hwnd());
        const int positionDpi = SystemDpi(), sizeDpi = WindowDpi(hwnd());
        WindowRectTwips twips{PixelsToTwips(rect.left, positionDpi), PixelsToTwips(rect.top, positionDpi),
                              PixelsToTwips(rect.right - rect.left, sizeDpi),
                              PixelsToTwips(rect.bottom - rect.top, sizeDpi)};
        SaveWindowSettings(*app_.store, app_.settings, twips, app_.system.AppVersion);
    }
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        // Explorer restarted: its notification area lost every icon.
        AddTrayIcon();
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
    case WM_WINDOWPOSCHANGED:
        // The painted desktop must follow the window as it moves.
        if (app_.settings.BackgroundKind == BackgroundKind::Desktop && !app_.settings.Translucent && !IsIconic(hwnd()))
            DrawFace();
        break;
    case WM_SYSCOMMAND:
        if (wp == kCmdAlwaysOnTop) {
            app_.settings.SetAlwaysOnTop(!app_.settings.AlwaysOnTop());
            ApplyTopmost();
            return 0;
        }
        break;
    case kTrayMessage:
        OnTrayMessage(lp);
        return 0;
    case WM_LBUTTONDBLCLK:
        app_.settings.SetTitleBarHidden(!app_.settings.TitleBarHidden());
        ApplyTitleBar();
        return 0;
    case WM_MOUSEMOVE:
        // The holiday tooltips (and the common controls) only once the mouse comes by.
        CreateTooltips();
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
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_TIMER:
        if (tick_ && tick_->OnTimer(wp)) return 0;
        break;
    case WM_TIMECHANGE:
        if (tick_) tick_->OnTimeChange();
        return 0;
    case WM_POWERBROADCAST:
        if (tick_) tick_->OnPowerBroadcast(wp);
        return TRUE;
    case WM_CLOSE:
        // The close is never refused.
        CloseSequence();
        DestroyWindow(hwnd());
        return 0;
    case WM_ENDSESSION:
        // Windows is ending the session: the window never gets WM_CLOSE, save now.
        if (wp) CloseSequence();
        return 0;
    case WM_DESTROY:
        if (trayAdded_) Shell_NotifyIconW(NIM_DELETE, &tray_);
        trayAdded_ = false;
        StopTick();
        break;
    }
    return Window::HandleMessage(msg, wp, lp);
}

}  // namespace hv
