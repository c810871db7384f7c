// frmMain: the calendar face on the desktop, with the program's menus, the always-on-top
// item of the system menu, the notification-area icon and the minute tick.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/tick_schedule.h"
#include "app/tray_commands.h"
#include "face/face_accessible_win.h"
#include "face/face_win.h"
#include "face/month_navigator.h"
#include "settings/settings_host.h"
#include "util/title_bar_theme_win.h"
#include "util/window_win.h"

namespace hv {

class MinuteTick;
class ProgramTickActions;

class MainWindow : public Window, public SettingsHost {
public:
    explicit MainWindow(App& app);
    ~MainWindow() override;

    // Creates the window and runs its load: placement, translucency, always-on-top, title
    // bar, background, icon, notification-area icon and the minute tick. Shown unless
    // HiddenInTray is set. `beforeShow` runs after the load, just before the window shows (the
    // splash goes then, so that nothing uncovers the face and has it drawn twice). False when
    // the window cannot be created.
    bool Create(const std::function<void()>& beforeShow = {});

    // Operations the settings dialogs use as well.
    void ApplyTopmost();
    void ApplyTitleBar();
    void DrawFace() { face_.DrawFace(hwnd()); }
    FacePainter& face() { return face_; }
    // The month the face shows (today's, or another one turned to).
    const MonthNavigator& navigator() const { return navigator_; }
    // The minute tick: stopped for good (closing), started afresh (load), and resting while a
    // settings dialog is open (the alarms due meanwhile fire when it resumes).
    void StopTick();
    void StartTick();
    void PauseTick();
    void ResumeTick();
    bool tickRunning() const;
    // The minute tick (null without alarm actions): tests run it on a clock of their own.
    MinuteTick* tick() const { return tick_.get(); }

    // What the settings dialogs ask of the program.
    Settings& settings() override { return app_.settings; }
    SettingsStore* store() override { return app_.store; }
    const SystemInfo& system() const override { return app_.system; }
    std::array<std::uint32_t, 16>& customColors() override { return app_.customColors; }
    void RedrawFace() override;
    bool LoadFacePicture(const std::wstring& path) override;
    void ClearFacePicture() override;
    void ApplyFaceTranslucency(bool on) override;
    void SetFaceOpacity() override;
    void KeepFaceLook() override { face_.KeepLook(hwnd()); }
    void EndKeptFaceLook(bool putBack) override { face_.EndKeptLook(hwnd(), putBack); }
    bool SpeakTime(const std::string& time, bool clock24, int speed) override;
    bool SetTalkHotkey(std::uint16_t hotkey) override;

    // The notification-area menu as it would open now; the caller destroys it.
    HMENU CreateTrayMenu();
    // Its commands, also for the hotkey and the tests.
    void SpeakTimeNow();
    void SpeakDateNow();
    void PauseTalk(PauseChoice choice);
    void StartTimer(long long minutes);
    void StopTimer();
    // Milliseconds left of the running timer; -1 when none runs.
    long long TimerMsLeft() const;
    // The wall clock (GetLocalTime) and a steady millisecond count (GetTickCount64) the
    // window goes by, the minute tick included; tests run it on clocks of their own.
    void SetClocks(std::function<WallClock()> wall, std::function<ULONGLONG()> steady);
    // The notification-area icon's data as last sent (the tooltip, a notice).
    const NOTIFYICONDATAW& trayData() const { return tray_; }
    // The hotkey's text when Windows refused it at start-up; "" when it is in force or none.
    const std::wstring& refusedHotkey() const { return refusedHotkey_; }

    HMENU setupMenu() const { return setupMenu_; }
    HMENU helpMenu() const { return helpMenu_; }
    HMENU menuBar() const { return menuBar_; }
    HMENU systemMenu() const { return systemMenu_; }
    // Holiday names show as tooltips of their days; made when the pointer first rests over
    // one (or anywhere while an alarm is due), null until then.
    HWND tooltip() const { return tooltip_; }
    // OLE starts once the first paint is done (what screen readers' requests are marshalled by).
    bool oleStarted() const { return oleStarted_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override { PostQuitMessage(0); }
    // Shell_NotifyIconW (tests make it fail as it does before Explorer is ready).
    virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) { return Shell_NotifyIconW(message, &data) != FALSE; }
    // RegisterHotKey (tests make it refuse, as when another program holds the key).
    virtual bool RegisterKey(int id, UINT modifiers, UINT key) {
        return RegisterHotKey(hwnd(), id, modifiers, key) != FALSE;
    }

private:
    class SettingsDialogScope;
    void Load();
    void PlaceWindow();
    void LoadIcons();
    void AddTrayIcon();
    void RemoveTrayIcon();
    void OnTrayRetry();
    void ShowMinimisedWithoutIcon();
    void BringForward();
    // The dialog or message box open over the window (the innermost one), or null.
    HWND OpenModalWindow() const;
    void ShowSetupMenu(POINT at);
    void ShowTrayMenu(POINT at);
    // The tooltip as the pause, the timer and the hotkey make it now; sent when it changed.
    void UpdateTrayTip();
    std::wstring TrayTip() const;
    // When the next alarm (or snooze) goes off, for the tray tip and the face's tooltip.
    std::wstring NextAlarmLine(const WallClock& now) const;
    void OnCountdownTimer();
    void ShowNotice(const wchar_t* text);
    // Registers the stored hotkey in place of the one in force; false when Windows refuses it.
    bool RegisterTalkHotkey(std::uint16_t hotkey);
    WallClock Now() const;
    ULONGLONG SteadyMs() const { return steadyMs_ ? steadyMs_() : GetTickCount64(); }
    // Placement and Style as they are now, so that a crash or a power cut loses nothing. A
    // save that fails is told to the user once (until one succeeds again), soon after, unless
    // `mayTell` is false (the session is ending).
    void SaveWindow(bool mayTell = true);
    void TellWindowNotSaved();
    void OnPaint();
    void OnSize(WPARAM kind);
    void OnTrayMessage(WPARAM anchor, LPARAM event);
    void OnCommand(unsigned id);
    void OnMouseDown(UINT msg, WPARAM keys);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void CloseSequence();
    // The pointer rested on the face: the tooltips are made when it rests over a holiday, or
    // anywhere while an alarm is due (a month without holidays and no alarm never loads them).
    void OnMouseRest(POINT at);
    void CreateTooltips();
    void UpdateTooltips();
    struct HolidayBox {
        RECT rect;  // in the face's pixels
        int day;
    };
    // The boxes of the holidays' days on the face as last drawn.
    std::vector<HolidayBox> HolidayBoxes() const;
    // The wheel, PageUp, PageDown and Home over the face, and the arrows that move the focus
    // day; true when the key was one of them.
    bool OnNavigationKey(WPARAM key);
    // The face in a high-contrast theme's colours while one is on, translucency set aside.
    void FollowContrast();
    // The focus day's box on the face, once an arrow key has been used while it has the focus.
    void ShowFocusDay(bool shown);
    // Shows the navigator's month: the face's record and month, the title, the return timer.
    void ShowMonth();
    // The title names another month while no heading row does.
    void UpdateTitle();
    void OnReturnTimer();

    App& app_;
    MonthNavigator navigator_;
    MonthCalendar shown_;  // the record of the month the face shows
    FacePainter face_;
    FaceAccessibility access_;  // what screen readers read of the face
    bool focusDayShown_ = false;
    TitleBarTheme titleBarTheme_;
    HMENU menuBar_ = nullptr;
    HMENU setupMenu_ = nullptr;
    HMENU helpMenu_ = nullptr;
    HMENU systemMenu_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    NOTIFYICONDATAW tray_{};
    bool trayAdded_ = false;     // the shell reported the icon added
    bool trayMayExist_ = false;  // an add was sent: the shell may show the icon whatever it reported
    UINT taskbarCreated_ = 0;
    UINT bringForward_ = 0;  // kBringForwardMessage, from a second start
    HWND tooltip_ = nullptr;
    std::vector<RECT> tooltipRects_;  // the holiday boxes the tooltips were made for, then the face's
    static constexpr UINT_PTR kNextAlarmToolId = 100;  // above any day of the month
    std::wstring nextAlarmTip_;                         // the face's tooltip while it shows
    bool closed_ = false;
    bool windowNotSaved_ = false;   // the last SaveWindow failed
    bool toldNotSaved_ = false;     // and the user has been told since the last that succeeded
    bool oleStarted_ = false;
    std::function<WallClock()> wallClock_;
    std::function<ULONGLONG()> steadyMs_;
    bool timerRunning_ = false;
    int lastCustomMinutes_ = 3;
    ULONGLONG timerEnd_ = 0;        // SteadyMs() at the timer's end
    bool trayMenuOpen_ = false;
    bool trayVersion4_ = false;  // the shell sends the version 4 events (menu key, context menu)
    ULONGLONG trayMenuClosed_ = 0;  // when the last menu closed (GetTickCount64)
    std::uint16_t hotkeyInForce_ = 0;
    std::wstring refusedHotkey_;
    std::unique_ptr<ProgramTickActions> tickActions_;
    std::unique_ptr<MinuteTick> tick_;
};

// The menu bar of the main window (its popups come back in `setup` and `help`).
HMENU CreateMainMenu(HMENU& setup, HMENU& help);

}  // namespace hv
