#include "app/minute_tick_win.h"

#include "alarm/alarm_win.h"
#include "hvplus/hvplus_binding_win.h"

namespace hv {

WallClock ReadWallClock() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    WallClock clock;
    clock.date = {now.wYear, now.wMonth, now.wDay};
    clock.hour = now.wHour;
    clock.minute = now.wMinute;
    clock.second = now.wSecond;
    clock.millisecond = now.wMilliseconds;
    return clock;
}

void MinuteTick::Attach(HWND window, UINT_PTR timerId) {
    window_ = window;
    timerId_ = timerId;
}

void MinuteTick::Start() {
    running_ = true;
    WallClock now = Now();
    dispatcher_.Start(now);
    Arm(now);
}

void MinuteTick::Stop() {
    running_ = false;
    paused_ = false;
    if (window_) KillTimer(window_, timerId_);
}

void MinuteTick::Pause() {
    if (!running_) return;
    Stop();
    paused_ = true;
    dispatcher_.Pause();
}

void MinuteTick::Resume() {
    if (!paused_) {
        if (!running_) Start();
        return;
    }
    paused_ = false;
    running_ = true;
    WallClock now = Now();
    dispatcher_.Resume(now);
    // The late alarms took time (a message box may have waited for the user).
    if (running_) Arm(Now());
}

bool MinuteTick::OnTimer(WPARAM timerId) {
    if (timerId != timerId_) return false;
    if (!running_) {
        KillTimer(window_, timerId_);
        return true;
    }
    dispatcher_.OnTimer(Now());
    // The alarms and the announcement took time (the spoken time plays to its end): the
    // next boundary is measured from the clock after them.
    if (running_) Arm(Now());
    return true;
}

void MinuteTick::OnTimeChange() {
    if (!running_ && !paused_) return;
    WallClock now = Now();
    dispatcher_.OnClockSet(now);
    if (running_) Arm(now);
}

void MinuteTick::OnPowerBroadcast(WPARAM event) {
    switch (event) {
    case PBT_APMSUSPEND:
        // The timer stays armed (see TickDispatcher::OnSuspend).
        dispatcher_.OnSuspend();
        break;
    case PBT_APMRESUMEAUTOMATIC:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMECRITICAL: {
        // Both resume notices usually come; the second one finds nothing more to do.
        if (!running_ && !paused_) break;
        WallClock now = Now();
        if (dispatcher_.suspended() || event == PBT_APMRESUMECRITICAL) dispatcher_.OnResume(now);
        else dispatcher_.OnClockSet(now);
        if (running_) Arm(now);
        break;
    }
    default:
        break;
    }
}

void MinuteTick::Arm(const WallClock& now) {
    if (!window_) return;
    int delay = dispatcher_.DelayMs(now);
    // A window timer never fires before its time; the margin covers a clock that reads a
    // millisecond behind the timer, so the tick lands just after the boundary, not before.
    const int kMarginMs = 2;
    SetTimer(window_, timerId_, static_cast<UINT>(delay > 0 ? delay + kMarginMs : USER_TIMER_MINIMUM), nullptr);
}

void ProgramTickActions::FireAlarm(AlarmEntry& alarm, const AlarmRing& ring) {
    alarms_.FireAlarm(alarm, false, nullptr, ring.snoozeMinutes);
}

void ProgramTickActions::TalkTime(const TalkTimeArgs& args) {
    // The result is not examined: a time that could not be spoken is not worth a message.
    hvplus_.TalkTime(args.text.c_str(), args.mode, args.speed);
}

void ProgramTickActions::CalendarChanged() {
    if (face_) InvalidateRect(face_, nullptr, FALSE);
    if (onCalendarChanged_) onCalendarChanged_();
}

}  // namespace hv
