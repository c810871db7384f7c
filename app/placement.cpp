#include "app/placement.h"

#include <algorithm>

#include "face/face_layout.h"

namespace hv {

namespace {

// A coordinate this far out is nowhere on any screen; the limit keeps sums within an int.
constexpr double kFarPixels = 1 << 24;

int ToPixels(std::int32_t twips, int dpi) {
    const double far = kFarPixels * 1440.0 / dpi;
    return TwipsToPixels(std::clamp(static_cast<double>(twips), -far, far), dpi);
}

std::int32_t ToTwips(int pixels, int dpi) { return static_cast<std::int32_t>(RoundHalfEven(PixelsToTwips(pixels, dpi))); }

// Left or top edge of a span of `length` kept within [low, high).
int FitSpan(int start, int length, int low, int high) {
    if (length >= high - low) return low;
    return std::clamp(start, low, high - length);
}

}  // namespace

TwipsPlacement ResolveFirstPlacement(TwipsPlacement stored, double screenWidthTwips, double screenHeightTwips) {
    if (stored.left == kNotPlaced)
        stored.left = static_cast<std::int32_t>(RoundHalfEven(screenWidthTwips - stored.width) / 2);
    if (stored.top == kNotPlaced)
        stored.top = static_cast<std::int32_t>(RoundHalfEven(screenHeightTwips - stored.height) / 3);
    return stored;
}

PixelRect PlacementToPixels(const TwipsPlacement& placement, int positionDpi, int sizeDpi) {
    PixelRect rect;
    rect.left = ToPixels(placement.left, positionDpi);
    rect.top = ToPixels(placement.top, positionDpi);
    rect.right = rect.left + ToPixels(placement.width, sizeDpi);
    rect.bottom = rect.top + ToPixels(placement.height, sizeDpi);
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

PixelRect FitOnWorkArea(const PixelRect& rect, const PixelRect& workArea, int minWidth, int minHeight) {
    // A work area smaller than the minimum wins: the window must fit on it.
    const int width = std::clamp(rect.Width(), std::min(minWidth, workArea.Width()), workArea.Width());
    const int height = std::clamp(rect.Height(), std::min(minHeight, workArea.Height()), workArea.Height());
    return MoveInto({rect.left, rect.top, rect.left + width, rect.top + height}, workArea);
}

}  // namespace hv
