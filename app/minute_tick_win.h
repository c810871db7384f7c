// The minute tick as the main window hosts it: a window timer armed from the wall clock for
// each next minute boundary. The window forwards WM_TIMER, WM_TIMECHANGE and
// WM_POWERBROADCAST; settings dialogs call Pause() before they open and Resume() after.
//
//     tick_.Attach(hwnd());  tick_.Start();                        // end of the window's load
//     case WM_TIMER:         if (tick_.OnTimer(wp)) return 0; break;
//     case WM_TIMECHANGE:    tick_.OnTimeChange(); return 0;
//     case WM_POWERBROADCAST: tick_.OnPowerBroadcast(wp); return TRUE;
#pragma once

#include <windows.h>

#include <functional>

#include "app/tick_decisions.h"
#include "app/user_focus_win.h"

namespace hv {

class AlarmActions;
class HvplusLibrary;

// The local wall clock now (GetLocalTime).
WallClock ReadWallClock();


class MinuteTick {
public:
    static constexpr UINT_PTR kTimerId = 1;

    MinuteTick(Settings& settings, MonthCalendar& calendar, Date& calendarDate, TickActions& actions)
        : dispatcher_(settings, calendar, calendarDate, actions) {}
    ~MinuteTick() { Stop(); }
    MinuteTick(const MinuteTick&) = delete;
    MinuteTick& operator=(const MinuteTick&) = delete;

    // The window whose timer carries the tick (before Start).
    void Attach(HWND window, UINT_PTR timerId = kTimerId);
    // Arms the timer for the next minute boundary; the minute under way is not handled.
    void Start();
    // Stops the timer; minutes that pass until Start() are not handled afterwards.
    void Stop();
    // Stops the timer while a settings dialog is open; clock changes and sleep are still
    // followed. Resume() fires the alarms that fell due meanwhile (TickDispatcher::Resume)
    // and arms the timer again.
    void Pause();
    void Resume();
    bool running() const { return running_; }

    // WM_TIMER: true when `timerId` is the tick's (the message is then handled).
    bool OnTimer(WPARAM timerId);
    // WM_TIMECHANGE: re-arms from the new time; the calendar follows a new date.
    void OnTimeChange();
    // WM_POWERBROADCAST: on resume the timer re-arms from the wall clock and the minutes
    // slept through are not replayed. A suspend notice leaves the timer armed.
    void OnPowerBroadcast(WPARAM event);

    // The notice's buttons: snooze the alarms it shows (TickDispatcher::Snooze), or OK.
    void Snooze() { dispatcher_.Snooze(Now()); }
    void Confirm() { dispatcher_.Confirm(); }
    std::optional<long long> NextSnooze() const { return dispatcher_.NextSnooze(); }

    // Tests run the tick on a shifted or simulated clock.
    void SetClock(std::function<WallClock()> clock) { clock_ = std::move(clock); }
    const TickSchedule& schedule() const { return dispatcher_.schedule(); }

private:
    WallClock Now() const { return clock_ ? clock_() : ReadWallClock(); }
    void Arm(const WallClock& now);

    TickDispatcher dispatcher_;
    HWND window_ = nullptr;
    UINT_PTR timerId_ = kTimerId;
    bool running_ = false;  // between Start and Stop, or Resume and Pause
    bool paused_ = false;   // between Pause and Resume
    std::function<WallClock()> clock_;
};

// The program's tick actions: alarms through AlarmActions, the announcement through
// hvplus.dll, a new calendar repaints `face`.
class ProgramTickActions : public TickActions {
public:
    ProgramTickActions(AlarmActions& alarms, HvplusLibrary& hvplus) : alarms_(alarms), hvplus_(hvplus) {}
    void SetFace(HWND face) { face_ = face; }
    // Called after the face is invalidated, when the calendar changed.
    void SetCalendarChangedHandler(std::function<void()> handler) { onCalendarChanged_ = std::move(handler); }

    // Called after one-off alarms switched themselves off: the program saves the alarms.
    void SetAlarmsSwitchedOffHandler(std::function<void()> handler) { onSwitchedOff_ = std::move(handler); }

    void FireAlarm(AlarmEntry& alarm, const AlarmRing& ring) override;
    void AlarmsSwitchedOff() override {
        if (onSwitchedOff_) onSwitchedOff_();
    }
    void TalkTime(const TalkTimeArgs& args) override;
    UserFocus QueryUserFocus() override { return ReadUserFocus(); }
    void CalendarChanged() override;

private:
    AlarmActions& alarms_;
    HvplusLibrary& hvplus_;
    HWND face_ = nullptr;
    std::function<void()> onCalendarChanged_;
    std::function<void()> onSwitchedOff_;
};

}  // namespace hv
