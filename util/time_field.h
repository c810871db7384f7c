// Times of day as text: which text the hour and minute boxes of the settings dialogs take
// and what they show (every dialog with a time of day reads its boxes by this one rule), and
// the "HH:MM" the library speaks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hv {

inline constexpr int kMaxHour = 23;
inline constexpr int kMaxMinute = 59;

// A box of a time read as the dialogs take it: a number (ASCII or full-width digits, sign,
// fraction, exponent, spaces around) rounded to the nearest whole number, halves to the
// even one, as a 16-bit value; then within 0..maximum. Nothing for text that is not such a
// number or lies outside the range.
std::optional<int> ReadTimeField(std::wstring_view text, int maximum);

// The text a spinner's box shows: the plain decimal number.
inline std::wstring TimeFieldText(int value) { return std::to_wstring(value); }

// "HH:MM", 24-hour, two digits each: the text the library speaks (the tick's time, the
// announcement dialog's test).
std::string TimeText(int hour, int minute);

}  // namespace hv
