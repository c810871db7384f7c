// The open-file and colour choosers that the settings dialogs share.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace hv {

// Custom colours of the colour chooser: kept for the run (the App holds one table),
// never stored, so colours defined in one chooser are offered by the next.
using CustomColorTable = std::array<std::uint32_t, 16>;

inline constexpr std::int32_t kColorDialogCancelled = -1;

// Lets the user pick an existing file. `filter` is pairs of description and pattern,
// each followed by a NUL; the first pair is selected. Returns the full path (of any
// length), or empty text when the user cancels.
std::wstring ShowOpenFileDialog(HWND owner, std::wstring_view filter);

// Lets the user pick a colour, starting from `initial` (a COLORREF). Returns the chosen
// COLORREF, or kColorDialogCancelled (-1, unlike any colour) when the user cancels.
std::int32_t ShowColorDialog(HWND owner, std::uint32_t initial, CustomColorTable& customColors);

}  // namespace hv
