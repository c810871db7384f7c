#include "util/time_field.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <string>

#include "util/units.h"

namespace hv {

namespace {

// Full-width digits, signs, point and space, as a Japanese input method types them.
std::string NarrowNumberText(std::wstring_view text) {
    std::string narrow;
    for (wchar_t c : text) {
        if (c >= L'\xFF10' && c <= L'\xFF19') c = static_cast<wchar_t>(L'0' + (c - L'\xFF10'));
        if (c == L'\xFF0B') c = L'+';
        if (c == L'\xFF0D' || c == L'\x2212') c = L'-';
        if (c == L'\xFF0E') c = L'.';
        if (c == L'\x3000' || c == L'\t') c = L' ';
        if (c > 0x7E) return "?";  // anything else makes the text no number
        narrow += static_cast<char>(c);
    }
    const auto first = narrow.find_first_not_of(' '), last = narrow.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : narrow.substr(first, last - first + 1);
}

std::optional<double> ReadNumber(std::wstring_view text) {
    std::string number = NarrowNumberText(text);
    bool negative = false;
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
        negative = number[0] == '-';
        number.erase(0, 1);
    }
    // Digits or a point must come first: no "inf", "nan", hexadecimal or second sign.
    if (number.empty() || !(std::isdigit(static_cast<unsigned char>(number[0])) || number[0] == '.')) return {};
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size()) return {};
    return negative ? -value : value;
}

}  // namespace

std::string TimeText(int hour, int minute) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", hour % 100, minute % 100);
    return text;
}

std::optional<int> ReadTimeField(std::wstring_view text, int maximum) {
    const std::optional<double> number = ReadNumber(text);
    if (!number) return {};
    const double rounded = RoundHalfEven(*number);
    // Beyond 16 bits the number does not read at all.
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) return {};
    const int value = static_cast<int>(rounded);
    if (value < 0 || value > maximum) return {};
    return value;
}

}  // namespace hv
