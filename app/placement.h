// The main window's placement arithmetic: stored twips to a rectangle on the screen,
// first-start centring, and bringing a window wholly onto a monitor whatever was stored.
// Portable; the Win32 layer supplies the screen and monitor sizes.
#pragma once

#include <cstdint>

namespace hv {

// The stored position of a window that has never been placed. Any other value, negative
// ones included (a monitor to the left of or above the main one), is a position.
inline constexpr std::int32_t kNotPlaced = -1;

// The smallest window the face is usable in: a third of the first-start size.
inline constexpr std::int32_t kMinimumWidthTwips = 1800;
inline constexpr std::int32_t kMinimumHeightTwips = 1200;

struct TwipsPlacement {
    std::int32_t left = kNotPlaced;
    std::int32_t top = kNotPlaced;
    std::int32_t width = 5400;
    std::int32_t height = 3500;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A window that has never been placed is centred horizontally, its top at a third of
// the free height (screen size in twips).
TwipsPlacement ResolveFirstPlacement(TwipsPlacement stored, double screenWidthTwips, double screenHeightTwips);

// The window's rectangle in pixels: position converted at `positionDpi` (the system's,
// so that stored positions mean the same on every monitor), size at `sizeDpi` (the
// monitor's, so that the face keeps its size in inches). Any stored values give a rectangle
// whose coordinates fit an int.
PixelRect PlacementToPixels(const TwipsPlacement& placement, int positionDpi, int sizeDpi);
TwipsPlacement PixelsToPlacement(const PixelRect& rect, int positionDpi, int sizeDpi);

// `rect` moved (not resized, unless it is larger) so that it lies inside `area`.
PixelRect MoveInto(const PixelRect& rect, const PixelRect& area);

// `rect` made visible on a monitor's work area: a size below the minimum grows to it, one
// beyond the work area shrinks to it, and the window is moved wholly onto the area (not
// under the taskbar, nor off the monitor's edge).
PixelRect FitOnWorkArea(const PixelRect& rect, const PixelRect& workArea, int minWidth, int minHeight);

}  // namespace hv
