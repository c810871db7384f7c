#include "face/civil_date.h"

namespace hv {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonthOf(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(const Date& date) {
    return date.day >= 1 && date.day <= DaysInMonthOf(date.year, date.month);
}

// Days from civil date and back, after Howard Hinnant's algorithms: eras of 400 years,
// years starting in March so the leap day falls at the end.
long long DayNumber(const Date& date) {
    const long long y = static_cast<long long>(date.year) - (date.month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long monthFromMarch = (date.month + 9) % 12;
    const long long dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Date DateFromDayNumber(long long dayNumber) {
    const long long z = dayNumber + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    const int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return Date{year, month, day};
}

int WeekdayOf(const Date& date) {
    // 1970-01-01 was a Thursday (weekday 5).
    const long long n = DayNumber(date);
    const long long zeroBased = ((n + 4) % 7 + 7) % 7;  // 0 = Sunday
    return static_cast<int>(zeroBased) + 1;
}

int NthWeekdayOfMonth(int year, int month, int weekday, int n) {
    const int first = WeekdayOf(Date{year, month, 1});
    const int day = 1 + (weekday - first + 7) % 7 + 7 * (n - 1);
    return n >= 1 && day <= DaysInMonthOf(year, month) ? day : 0;
}

}  // namespace hv
