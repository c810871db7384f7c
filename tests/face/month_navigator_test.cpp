#include "face/month_navigator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

namespace hv {
namespace {

// One step of a user at the face: what is done at which millisecond, and the month shown after.
struct Step {
    const char* action;  // "turn N", "wheel N", "home", "input", "idle", "today Y M D"
    long long ms;
    int year, month;
    bool changed;
};

void Play(MonthNavigator& navigator, const std::vector<Step>& steps) {
    for (const Step& s : steps) {
        int a = 0, b = 0, c = 0;
        bool changed = false;
        const std::string action = s.action;
        if (std::sscanf(s.action, "turn %d", &a) == 1) changed = navigator.Turn(a, s.ms);
        else if (std::sscanf(s.action, "wheel %d", &a) == 1) changed = navigator.Wheel(a, s.ms);
        else if (std::sscanf(s.action, "today %d %d %d", &a, &b, &c) == 3) changed = navigator.SetToday({a, b, c});
        else if (action == "home") changed = navigator.ShowToday();
        else if (action == "input") navigator.NoteInput(s.ms);
        else if (action == "idle") changed = navigator.ReturnIfIdle(s.ms);
        EXPECT_EQ(std::tuple(navigator.year(), navigator.month(), changed), std::tuple(s.year, s.month, s.changed))
            << s.action << " at " << s.ms;
    }
}

TEST(MonthNavigator, TurnsAndComesBackAfterAMinuteWithoutInputOrAtTheDateChange) {
    MonthNavigator navigator({2026, 12, 7});
    Play(navigator, {
                       {"turn 1", 1000, 2027, 1, true},      // across the year
                       {"idle", 60999, 2027, 1, false},      // a minute after the turn, less a millisecond
                       {"input", 30000, 2027, 1, false},     // the mouse moves over the face
                       {"idle", 89999, 2027, 1, false},
                       {"idle", 90000, 2026, 12, true},      // a minute without input
                       {"idle", 200000, 2026, 12, false},
                       {"turn -13", 300000, 2025, 11, true},
                       {"home", 301000, 2026, 12, true},     // Home
                       {"home", 302000, 2026, 12, false},
                       {"turn 2", 400000, 2027, 2, true},
                       {"today 2026 12 7", 400500, 2027, 2, false},  // the same date: stays
                       {"today 2026 12 8", 401000, 2026, 12, true},  // the date changed
                       {"today 2027 1 1", 402000, 2027, 1, true},    // and with it today's month
                   });
    EXPECT_TRUE(navigator.showsToday());
    EXPECT_EQ(navigator.MsUntilReturn(402000), -1);
}

TEST(MonthNavigator, TheWheelTurnsByWholeNotchesAndStopsAtTheYearsOfTheHolidayRules) {
    MonthNavigator navigator({2099, 11, 30});
    Play(navigator, {
                       {"wheel -120", 0, 2099, 12, true},   // towards the user: forward
                       {"wheel -120", 0, 2099, 12, false},  // beyond 2099: nothing
                       {"wheel 60", 0, 2099, 12, false},    // half a notch waits
                       {"wheel 60", 0, 2099, 11, true},
                       {"wheel 60", 0, 2099, 11, false},
                       {"wheel -120", 0, 2099, 12, true},   // the other way starts afresh
                       {"today 1948 1 15", 0, 1948, 1, true},
                       {"turn -1", 0, 1948, 1, false},
                   });
    EXPECT_EQ(navigator.MsUntilReturn(0), -1);
    navigator.Turn(5, 1000);
    EXPECT_EQ(navigator.MsUntilReturn(31000), 30000);
    // Another month's record: its own weekdays and holidays, no today.
    const MonthCalendar june = navigator.Calendar();
    EXPECT_EQ(std::tuple(june.Today, june.DaysInMonth, june.FirstWeekday), std::tuple(0, 30, 3));
}

TEST(MonthNavigator, TheFocusDayMovesByDaysAndWeeksAcrossMonthsAndFollowsEveryTurn) {
    MonthNavigator navigator({2026, 12, 23});
    struct Move {
        const char* action;  // "move N" (days), "turn N", "home", "today Y M D"
        Date focus;
        bool turned;  // the shown month changed
    };
    for (const Move& m : {Move{"move 1", {2026, 12, 24}, false}, {"move 7", {2026, 12, 31}, false},
                          {"move 1", {2027, 1, 1}, true},      // across the year, the month turns with it
                          {"move -7", {2026, 12, 25}, true},   // and back
                          {"turn 2", {2027, 2, 25}, true},     // the same day of another month
                          {"move 6", {2027, 3, 3}, true},
                          {"turn -1", {2027, 2, 3}, true},
                          {"move 26", {2027, 3, 1}, true},
                          {"turn -1", {2027, 2, 1}, true},
                          {"move 27", {2027, 2, 28}, false},
                          {"turn -2", {2026, 12, 23}, true},   // today's month: today
                          {"move -1", {2026, 12, 22}, false},
                          {"home", {2026, 12, 23}, false},     // Home: today again
                          {"turn 1", {2027, 1, 23}, true},
                          {"today 2027 1 24", {2027, 1, 24}, false},  // a new date shown already
                          {"today 1948 7 20", {1948, 7, 20}, true},
                          {"move -1", {1948, 7, 20}, false}}) {  // before the rules: stays
        int a = 0, b = 0, c = 0;
        bool turned = false;
        if (std::sscanf(m.action, "move %d", &a) == 1) turned = navigator.MoveFocus(a, 0);
        else if (std::sscanf(m.action, "turn %d", &a) == 1) turned = navigator.Turn(a, 0);
        else if (std::sscanf(m.action, "today %d %d %d", &a, &b, &c) == 3) turned = navigator.SetToday({a, b, c});
        else turned = navigator.ShowToday();
        const Date& f = navigator.focus();
        EXPECT_EQ(std::tuple(f.year, f.month, f.day, navigator.year(), navigator.month(), turned),
                  std::tuple(m.focus.year, m.focus.month, m.focus.day, m.focus.year, m.focus.month, m.turned))
            << m.action;
    }
}

}  // namespace
}  // namespace hv
