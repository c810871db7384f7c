// Which month the face shows: today's, or another one the user turned to (the mouse wheel,
// PageUp and PageDown; Home turns back). Another month gives way to today's by itself after a
// minute without input over the face, and when the date changes. Portable: the caller passes
// the time as milliseconds of a steady clock (GetTickCount64 in the program, a number in tests).
#pragma once

#include "face/civil_date.h"
#include "face/month_calendar.h"

namespace hv {

class MonthNavigator {
public:
    // How long another month stays without input.
    static constexpr long long kReturnAfterMs = 60000;
    // The wheel's travel for one month (one notch of a common wheel, WHEEL_DELTA).
    static constexpr int kWheelStep = 120;

    explicit MonthNavigator(const Date& today = {}) { SetToday(today); }

    // Today's date, at start-up and whenever the date changes. A new date shows today's month
    // again. True when the shown month changed.
    bool SetToday(const Date& today);

    // Turns `months` forward (negative: back). A turn beyond the years the holiday rules cover
    // does nothing. Counts as input. True when the shown month changed.
    bool Turn(int months, long long nowMs);
    // The wheel turned by `delta` (positive away from the user, as Windows reports it): whole
    // steps of kWheelStep turn a month each, away from the user back, towards the user
    // forward; the remainder waits for the next turn the same way. True when the month changed.
    bool Wheel(int delta, long long nowMs);
    // Today's month again (Home), the focus on today. True when the shown month changed.
    bool ShowToday();
    // Moves the focus day (the day the keyboard is on, for a screen reader) by `days`: the
    // arrow keys move it a day or a week. Leaving the shown month turns the month with it; a
    // move beyond the years the holiday rules cover does nothing. Counts as input. True when
    // the shown month changed.
    bool MoveFocus(int days, long long nowMs);
    // Any other input over the face: the minute starts afresh.
    void NoteInput(long long nowMs) { lastInputMs_ = nowMs; }
    // Today's month again once a minute has passed since the last input. True when it changed.
    bool ReturnIfIdle(long long nowMs);
    // Milliseconds until ReturnIfIdle turns back (0 when it would now); -1 while today's month shows.
    long long MsUntilReturn(long long nowMs) const;

    int year() const { return year_; }
    int month() const { return month_; }
    bool showsToday() const { return year_ == today_.year && month_ == today_.month; }
    const Date& today() const { return today_; }
    // Always a day of the shown month: today in today's month; after a turn to another month
    // the same day of the month as before, cut to the month's length.
    const Date& focus() const { return focus_; }

    // The record the face draws: today's month with today marked, another without the mark.
    MonthCalendar Calendar() const;

private:
    // The focus day once the shown month has changed.
    void FollowMonth();

    Date today_;
    Date focus_;
    int year_ = 0;
    int month_ = 0;
    long long lastInputMs_ = 0;
    int wheelRemainder_ = 0;
};

}  // namespace hv
