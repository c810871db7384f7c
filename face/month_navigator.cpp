#include "face/month_navigator.h"

#include <algorithm>

#include "face/holidays.h"

namespace hv {

bool MonthNavigator::SetToday(const Date& today) {
    if (today == today_ && year_ != 0) return false;
    today_ = today;
    wheelRemainder_ = 0;
    return ShowToday();  // the focus follows the new today, also within a month still shown
}

bool MonthNavigator::Turn(int months, long long nowMs) {
    NoteInput(nowMs);
    // Months counted from year 0: one number per month, so a turn crosses years by itself.
    const long long target = static_cast<long long>(year_) * 12 + (month_ - 1) + months;
    const long long year = target >= 0 ? target / 12 : -((-target + 11) / 12);
    if (months == 0 || year < kFirstHolidayDate.year || year > kLastHolidayDate.year) return false;
    year_ = static_cast<int>(year);
    month_ = static_cast<int>(target - year * 12) + 1;
    FollowMonth();
    return true;
}

bool MonthNavigator::MoveFocus(int days, long long nowMs) {
    NoteInput(nowMs);
    const Date target = DateFromDayNumber(DayNumber(focus_) + days);
    if (target < kFirstHolidayDate || kLastHolidayDate < target) return false;
    const bool turned = target.year != year_ || target.month != month_;
    year_ = target.year;
    month_ = target.month;
    focus_ = target;
    return turned;
}

void MonthNavigator::FollowMonth() {
    if (showsToday()) {
        focus_ = today_;
    } else if (focus_.year != year_ || focus_.month != month_) {
        focus_ = {year_, month_, std::min(focus_.day, DaysInMonthOf(year_, month_))};
    }
}

bool MonthNavigator::Wheel(int delta, long long nowMs) {
    // A turn the other way starts afresh rather than first paying back what was left over.
    if ((delta > 0 && wheelRemainder_ < 0) || (delta < 0 && wheelRemainder_ > 0)) wheelRemainder_ = 0;
    wheelRemainder_ += delta;
    const int steps = wheelRemainder_ / kWheelStep;
    wheelRemainder_ -= steps * kWheelStep;
    return Turn(-steps, nowMs);
}

bool MonthNavigator::ShowToday() {
    focus_ = today_;  // also when today's month is shown already (Home)
    if (showsToday()) return false;
    year_ = today_.year;
    month_ = today_.month;
    return true;
}

bool MonthNavigator::ReturnIfIdle(long long nowMs) {
    return MsUntilReturn(nowMs) == 0 && ShowToday();
}

long long MonthNavigator::MsUntilReturn(long long nowMs) const {
    if (showsToday()) return -1;
    const long long left = lastInputMs_ + kReturnAfterMs - nowMs;
    return left > 0 ? left : 0;
}

MonthCalendar MonthNavigator::Calendar() const {
    if (showsToday()) return ComputeMonthCalendar(today_);
    MonthCalendar calendar = ComputeMonthCalendar({year_, month_, 1});
    calendar.Today = 0;
    calendar.TodayWeekday = 0;
    return calendar;
}

}  // namespace hv
