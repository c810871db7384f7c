// The minute tick on the real window timer, over the real clock shifted to put a minute boundary just ahead.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/minute_tick_win.h"
#include "tests/app/tick_test_clock.h"
#include "util/window_win.h"

namespace hv {
namespace {

using test::ClockAt;
using test::MsOf;
using Talks = std::vector<std::string>;

class TickWindow : public Window {
public:
    explicit TickWindow(MinuteTick& tick) : tick_(tick) {
        Create(L"hvMinuteTickTest", L"tick", WS_OVERLAPPED, 0, 0, 0, 100, 100);
        tick_.Attach(hwnd());
    }
    ~TickWindow() override {
        if (hwnd()) DestroyWindow(hwnd());
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_TIMER && wp == MinuteTick::kTimerId) ++wakeUps;
        if (msg == WM_TIMER && tick_.OnTimer(wp)) return 0;
        if (msg == WM_TIMECHANGE) {
            tick_.OnTimeChange();
            return 0;
        }
        if (msg == WM_POWERBROADCAST) {
            tick_.OnPowerBroadcast(wp);
            return TRUE;
        }
        return Window::HandleMessage(msg, wp, lp);
    }

public:
    int wakeUps = 0;

private:
    MinuteTick& tick_;
};

// Announces every minute; each announcement must come inside the minute it names, never
// before its boundary. How late within it depends on the machine's load, so the tests wait
// for what must happen rather than for a time it usually takes; a tick that is not armed for
// the boundary at hand waits for one far later than they do.
class MinuteTickTest : public ::testing::Test, public TickActions {
protected:
    MinuteTickTest() {
        settings_.AnnounceTiming = AnnounceTiming::AnnounceEveryMinute;
        tick_.SetClock([this] { return Now(); });
    }
    void FireAlarm(AlarmEntry& alarm, const AlarmRing&) override {
        alarms_.push_back(TimeText(alarm.Hour, alarm.Minute));
        if (auto during = std::exchange(duringAlarm_, nullptr)) during();
    }
    void CalendarChanged() override {}
    void AlarmsSwitchedOff() override {}
    // The shell's real answer: on this desktop (nothing full screen) it lets the clock speak.
    UserFocus QueryUserFocus() override {
        ++focusQueries_;
        return ReadUserFocus();
    }
    void TalkTime(const TalkTimeArgs& args) override {
        const WallClock now = Now();
        EXPECT_EQ(TimeText(now.hour, now.minute), args.text) << "spoken at " << now.second << " s, outside its minute";
        talks_.push_back(args.text);
    }
    Talks Handled() { return std::exchange(talks_, {}); }

    WallClock Now() const { return ClockAt(MsOf(ReadWallClock()) + offsetMs_); }
    // Shifts the clock so that it reads `hour`:`minute`:00 in `msAhead` milliseconds.
    void BoundaryIn(int hour, int minute, int msAhead) {
        offsetMs_ = MsOf(test::On7th(hour, minute)) - msAhead - MsOf(ReadWallClock());
    }
    // Pumps until `done`, for half a minute at most.
    void PumpUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done() && std::chrono::steady_clock::now() < end) Pump(20);
    }
    bool Talked() const { return !talks_.empty(); }
    void Pump(int ms) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (auto now = std::chrono::steady_clock::now(); now < end; now = std::chrono::steady_clock::now()) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
    }
    long long offsetMs_ = 0;
    Settings settings_;
    MonthCalendar calendar_;
    Date calendarDate_;
    Talks talks_;
    Talks alarms_;
    std::function<void()> duringAlarm_;
    int focusQueries_ = 0;
    MinuteTick tick_{settings_, calendar_, calendarDate_, *this};
    TickWindow window_{tick_};
};

TEST_F(MinuteTickTest, HandlesTheNextBoundaryOnceAndNothingThatPassedWhileStopped) {
    ASSERT_NE(window_.hwnd(), nullptr);
    BoundaryIn(8, 0, 1500);
    tick_.Start();
    PumpUntil([&] { return Talked(); });
    EXPECT_EQ(Handled(), Talks{"08:00"}) << "nothing at start, then the boundary";
    Pump(500);
    EXPECT_EQ(Handled(), Talks{}) << "once per minute";

    // Stopped (a settings dialog) across 08:01: that minute is not handled afterwards.
    tick_.Stop();
    BoundaryIn(8, 1, 300);
    Pump(700);
    tick_.Start();
    Pump(800);
    EXPECT_EQ(Handled(), Talks{});
    EXPECT_GT(tick_.schedule().lastHandled(), MinuteNumber(test::On7th(8, 0)));

    // Paused across 08:02 instead: its alarm goes off as the tick resumes, the time unspoken.
    std::tie(settings_.Alarms[0].Enabled, settings_.Alarms[0].Hour, settings_.Alarms[0].Minute) = std::tuple(1, 8, 2);
    tick_.Pause();
    BoundaryIn(8, 2, 300);
    Pump(700);
    tick_.Resume();
    Pump(300);
    EXPECT_EQ(std::tuple(alarms_, Handled(), tick_.running()), std::tuple(Talks{"08:02"}, Talks{}, true));
}

TEST_F(MinuteTickTest, AClockChangeReArmsForTheNewNextBoundary) {
    BoundaryIn(9, 0, 55000);  // armed for 55 s ahead
    tick_.Start();
    Pump(200);
    BoundaryIn(9, 30, 1200);  // set forward: the next boundary is now 1.2 s away
    SendMessageW(window_.hwnd(), WM_TIMECHANGE, 0, 0);
    PumpUntil([&] { return Talked(); });
    EXPECT_EQ(Handled(), Talks{"09:30"});
    BoundaryIn(8, 15, 1000);  // set back, with the timer armed for 09:31
    SendMessageW(window_.hwnd(), WM_TIMECHANGE, 0, 0);
    PumpUntil([&] { return Talked(); });
    EXPECT_EQ(Handled(), Talks{"08:15"});
}

TEST_F(MinuteTickTest, ASuspendNoticeWithoutResumeLeavesTheTimerArmed) {
    BoundaryIn(10, 0, 1000);
    tick_.Start();
    SendMessageW(window_.hwnd(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);  // vetoed: no resume follows
    PumpUntil([&] { return Talked(); });
    EXPECT_EQ(Handled(), Talks{"10:00"});
}

TEST_F(MinuteTickTest, InsideQuietHoursNothingIsSpokenButTheAlarmOfThatMinuteFires) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));  // the program's apartment, for the real focus query
    settings_.QuietHours = true;  // 12:00 to 13:00
    settings_.QuietFromHour = 12;
    settings_.QuietToHour = 13;
    settings_.Alarms[0].Enabled = true;
    settings_.Alarms[0].Hour = 12;
    BoundaryIn(12, 0, 500);
    tick_.Start();
    PumpUntil([&] { return !alarms_.empty(); });
    EXPECT_EQ(std::tuple(alarms_, Handled(), focusQueries_), std::tuple(Talks{"12:00"}, Talks{}, 0));
    BoundaryIn(13, 0, 500);  // the first minute spoken again
    SendMessageW(window_.hwnd(), WM_TIMECHANGE, 0, 0);
    PumpUntil([&] { return Talked(); });
    EXPECT_EQ(std::tuple(Handled(), focusQueries_), std::tuple(Talks{"13:00"}, 1));
    OleUninitialize();
}

// An alarm's message box runs its own message loop; held open over 11:01 and 11:02 (the clock
// set forward between them), each waiting minute costs one wake-up, not a timer re-armed at
// once over and over. The minutes are handled when the box closes.
TEST_F(MinuteTickTest, AMessageBoxOpenOverTwoBoundariesCostsOneWakeUpEach) {
    settings_.AnnounceTiming = AnnounceTiming::AnnounceNone;
    settings_.Alarms[0].Enabled = settings_.Alarms[1].Enabled = true;
    settings_.Alarms[0].Hour = settings_.Alarms[1].Hour = 11;
    settings_.Alarms[1].Minute = 2;
    int wakeUpsWhileOpen = 0;
    duringAlarm_ = [&] {
        window_.wakeUps = 0;
        for (int minute : {1, 2}) {
            const int before = window_.wakeUps;
            BoundaryIn(11, minute, 300);
            SendMessageW(window_.hwnd(), WM_TIMECHANGE, 0, 0);
            PumpUntil([&] { return window_.wakeUps > before; });
            Pump(1000);  // where a busy loop would wake it again and again
        }
        wakeUpsWhileOpen = window_.wakeUps;
    };
    BoundaryIn(11, 0, 500);
    tick_.Start();
    PumpUntil([&] { return alarms_.size() == 2; });  // the second once the box has closed
    EXPECT_EQ(alarms_, (Talks{"11:00", "11:02"}));
    EXPECT_GE(wakeUpsWhileOpen, 2);
    EXPECT_LE(wakeUpsWhileOpen, 4) << "a busy loop while the box is open";
}

}  // namespace
}  // namespace hv
