#include "face/month_navigator.h"

#include "face/holidays.h"

namespace hv {

bool MonthNavigator::SetToday(const Date& today) {
    if (today == today_ && year_ != 0) return false;
    today_ = today;
    wheelRemainder_ = 0;
    return ShowToday();
}

bool MonthNavigator::Turn(int months, long long nowMs) {
    NoteInput(nowMs);
    // Months counted from year 0: one number per month, so a turn crosses years by itself.
    const long long target = static_cast<long long>(year_) * 12 + (month_ - 1) + months;
    const long long year = target >= 0 ? target / 12 : -((-target + 11) / 12);
    if (months == 0 || year < kFirstHolidayDate.year || year > kLastHolidayDate.year) return false;
    year_ = static_cast<int>(year);
    month_ = static_cast<int>(target - year * 12) + 1;
    return true;
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
