// The main window's placement arithmetic: stored twips to a rectangle on the screen,
// first-start centring, and bringing a window back from a monitor that is gone.
// Portable; the Win32 layer supplies the screen and monitor sizes.
#pragma once

#include <cstdint>

namespace hv {

struct TwipsPlacement {
    std::int32_t left = -1;  // negative: not placed yet
    std::int32_t top = -1;
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
// monitor's, so that the face keeps its size in inches).
PixelRect PlacementToPixels(const TwipsPlacement& placement, int positionDpi, int sizeDpi);
TwipsPlacement PixelsToPlacement(const PixelRect& rect, int positionDpi, int sizeDpi);

// `rect` moved (not resized, unless it is larger) so that it lies inside `area`.
PixelRect MoveInto(const PixelRect& rect, const PixelRect& area);

}  // namespace hv
