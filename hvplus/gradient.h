// Colours of a two-colour gradient, one per column or row. Portable: no Windows header,
// unit-tested natively; the Win32 layer only draws what this computes.
#pragma once

#include <cstdint>
#include <vector>

namespace hv {

// COLORREF layout: red in bits 0-7, green 8-15, blue 16-23; bits 24-31 are ignored.
inline constexpr std::uint32_t kColorMask = 0x00FFFFFF;

// Colours of lines 0..extent (extent + 1 of them, the last one lies just outside the
// client area). Each channel runs in single precision, starting at `first` and gaining
// one step before every line, so line 0 is already one step away from `first` and line
// extent - 1 carries `second` up to the rounding of the repeated additions; each value is
// truncated toward zero and its low 8 bits kept. An extent of 0 (or less) gives the one
// line 0 in `first`.
std::vector<std::uint32_t> GradientLineColors(std::uint32_t first, std::uint32_t second, int extent);

}  // namespace hv
