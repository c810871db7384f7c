// What the face says in words: a month's heading ("2026年12月", "令和8年12月") with the
// Japanese eras, and a day described whole (date, weekday, today, holiday, 六曜) for its
// tooltip and for screen readers. Portable: no Windows header; texts are UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "face/civil_date.h"

namespace hv {

// A year counted in an era: year 1 is written 元年.
struct EraYear {
    std::u16string_view era;  // "大正", "昭和", "平成", "令和"
    int year = 0;
};

// The era in force on a date, by the days the eras legally began: 大正 1912-07-30, 昭和
// 1926-12-25, 平成 1989-01-08, 令和 2019-05-01. None before 1912-07-30 (or for an invalid date).
std::optional<EraYear> EraYearOf(const Date& date);

// "令和8年", "平成元年".
std::u16string EraYearText(const EraYear& year);

enum class HeadingForm {
    Western,  // "2026年12月"
    Era,      // "令和8年12月"
};

// The heading of a month. In the era form the era is the one of the month's 1st; when another
// begins within the month both are named ("昭和64年・平成元年1月"); a month before the first
// era takes the Western form. Empty for a month outside 1..12.
std::u16string MonthHeading(int year, int month, HeadingForm form);

// "2026年12月23日 水曜日、今日、天皇誕生日、大安": the date, its weekday, then as they apply
// "今日", the holiday's name and, with `withRokuyo`, the day's 六曜. Without `withYear` the date
// starts at the month ("12月23日 水曜日、..."), as a day of a month already named. Empty for an
// invalid date.
std::u16string DescribeDay(const Date& date, const Date& today, bool withRokuyo, bool withYear = true);

}  // namespace hv
