// Calendar dates and the arithmetic the month face and the holiday rules need.
// Portable: no Windows header; the caller passes the date (the program takes today's from
// the system clock at its Win32 boundary).
#pragma once

namespace hv {

// A day of the proleptic Gregorian calendar. Valid dates only where a function says so.
struct Date {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31

    friend constexpr bool operator==(const Date&, const Date&) = default;
};

// Weekdays throughout the program: 1 = Sunday, 2 = Monday ... 7 = Saturday.
inline constexpr int kSunday = 1;
inline constexpr int kMonday = 2;
inline constexpr int kSaturday = 7;

bool IsLeapYear(int year);

// 28..31 for month 1..12; 0 for a month outside 1..12.
int DaysInMonthOf(int year, int month);

// True when month is 1..12 and day lies within that month.
bool IsValidDate(const Date& date);

// Days since 1970-01-01 (negative before). Defined for valid dates.
long long DayNumber(const Date& date);
Date DateFromDayNumber(long long dayNumber);

// 1 = Sunday ... 7 = Saturday, for a valid date.
int WeekdayOf(const Date& date);

// Day of the month of the n-th (1..5) occurrence of a weekday in a month, or 0 if the
// month has no such day.
int NthWeekdayOfMonth(int year, int month, int weekday, int n);

// A date written as one number, year * 10000 + month * 100 + day (20261210), as stored
// values keep it; DateFromYmd does not check that the result is a valid date.
constexpr unsigned long YmdOf(const Date& date) {
    return static_cast<unsigned long>(date.year) * 10000 + static_cast<unsigned long>(date.month) * 100 +
           static_cast<unsigned long>(date.day);
}
constexpr Date DateFromYmd(unsigned long ymd) {
    return {static_cast<int>(ymd / 10000), static_cast<int>(ymd / 100 % 100), static_cast<int>(ymd % 100)};
}

// Comparison in calendar order.
constexpr bool operator<(const Date& a, const Date& b) {
    if (a.year != b.year) return a.year < b.year;
    if (a.month != b.month) return a.month < b.month;
    return a.day < b.day;
}
constexpr bool operator<=(const Date& a, const Date& b) { return !(b < a); }

}  // namespace hv
