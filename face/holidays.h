// Japan's national holidays as the National Holidays Act (国民の祝日に関する法律) and the
// laws that amended it or added one-off days define them, from 1948-07-20 (when the Act
// took effect) to 2099-12-31. Outside that span no day is a holiday: before it the Act did
// not exist, after it the equinox days are not yet known well enough to print.
//
// Names are UTF-16 (char16_t), like every text inside the program; at the Win32 boundary a
// char16_t string is passed as the wchar_t string it is on Windows
// (reinterpret_cast<const wchar_t*>(name.data())). The views point at static storage, stay
// valid for the life of the process and are followed by a NUL there, so data() may also be
// passed where a NUL-terminated text is expected.
#pragma once

#include <string_view>
#include <vector>

#include "face/civil_date.h"

namespace hv {

inline constexpr Date kFirstHolidayDate{1948, 7, 20};
inline constexpr Date kLastHolidayDate{2099, 12, 31};

struct Holiday {
    Date date;
    std::u16string_view name;  // e.g. u"元日", u"振替休日", u"国民の休日"
};

// Every holiday of a year in date order (empty outside 1948..2099).
std::vector<Holiday> HolidaysOfYear(int year);

// Every holiday of a month in date order.
std::vector<Holiday> HolidaysOfMonth(int year, int month);

// The holiday's name for a date, or an empty view if the date is not a holiday (or not a
// valid date).
std::u16string_view HolidayName(const Date& date);

inline bool IsHoliday(const Date& date) { return !HolidayName(date).empty(); }

// Day of March (vernal) or September (autumnal) of the equinox day of a year 1948..2099,
// or 0 outside those years.
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);

}  // namespace hv
