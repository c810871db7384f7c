#include "app/placement.h"

#include <algorithm>

#include "face/face_layout.h"

namespace hv {

namespace {

std::int32_t ToTwips(int pixels, int dpi) { return static_cast<std::int32_t>(RoundHalfEven(PixelsToTwips(pixels, dpi))); }

// Left or top edge of a span of `length` kept within [low, high).
int FitSpan(int start, int length, int low, int high) {
    if (length >= high - low) return low;
    return std::clamp(start, low, high - length);
}

}  // namespace

TwipsPlacement ResolveFirstPlacement(TwipsPlacement stored, double screenWidthTwips, double screenHeightTwips) {
    if (stored.left < 0)
        stored.left = static_cast<std::int32_t>(RoundHalfEven(screenWidthTwips - stored.width) / 2);
    if (stored.top < 0)
        stored.top = static_cast<std::int32_t>(RoundHalfEven(screenHeightTwips - stored.height) / 3);
    return stored;
}

PixelRect PlacementToPixels(const TwipsPlacement& placement, int positionDpi, int sizeDpi) {
    PixelRect rect;
    rect.left = TwipsToPixels(placement.left, positionDpi);
    rect.top = TwipsToPixels(placement.top, positionDpi);
    rect.right = rect.left + TwipsToPixels(placement.width, sizeDpi);
    rect.bottom = rect.top + TwipsToPixels(placement.height, sizeDpi);
    return rect;
}

TwipsPlacement PixelsToPlacement(const PixelRect& rect, int positionDpi, int sizeDpi) {
    return {ToTwips(rect.left, positionDpi), ToTwips(rect.top, positionDpi), ToTwips(rect.Width(), sizeDpi),
            ToTwips(rect.Height(), sizeDpi)};
}

PixelRect MoveInto(const PixelRect& rect, const PixelRect& area) {
    PixelRect moved = rect;
    moved.left = FitSpan(rect.left, rect.Width(), area.left, area.right);
    moved.top = FitSpan(rect.top, rect.Height(), area.top, area.bottom);
    moved.right = moved.left + rect.Width();
    moved.bottom = moved.top + rect.Height();
    return moved;
}

}  // namespace hv
