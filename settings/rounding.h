// Conversions of non-integral numbers to integers: to the nearest, halves to even, and
// saturating at the ends of the target range instead of overflowing.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace hv {
// Its own (inline) namespace: the face has a RoundHalfEven(double) of another return type,
// and one program links both; without it the two would share one symbol.
inline namespace settings_rounding {

// The nearest integer value, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2),
// independent of the floating-point rounding mode. NaN and infinities come back unchanged.
inline double RoundHalfEven(double x) {
    if (!std::isfinite(x)) return x;
    double lower = std::floor(x);
    double diff = x - lower;
    if (diff > 0.5) return lower + 1;
    if (diff < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

// RoundHalfEven to a 32-bit integer, clamped to its range; NaN gives 0.
inline std::int32_t RoundToInt32(double x) {
    if (std::isnan(x)) return 0;
    double r = RoundHalfEven(x);
    if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(r);
}

}  // namespace settings_rounding
}  // namespace hv
