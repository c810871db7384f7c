// hvPaintGradation: two-colour gradient over a window's client area, one colour per
// column (left to right) or row (top to bottom).
#include <windows.h>

#include "hvplus/gradient_paint_win.h"

// The line at coordinate extent (the last of extent + 1) lies just outside the client
// area, where the window DC's clip removes it.
extern "C" LONG WINAPI hvPaintGradation(HWND window, LONG first, LONG second, LONG direction) {
    RECT client;
    // GetDC(nullptr) would hand out the whole screen: without a window there is nothing
    // to paint.
    if (!window || !GetClientRect(window, &client)) return 0;
    HDC dc = GetDC(window);
    if (!dc) return 0;
    // No exception may leave an export; a failed allocation paints nothing and fails.
    bool painted = true;
    try {
        hv::PaintGradient(dc, client.right, client.bottom, static_cast<std::uint32_t>(first),
                          static_cast<std::uint32_t>(second), direction != 0);
    } catch (...) {
        painted = false;
    }
    const int released = ReleaseDC(window, dc);
    return painted ? released : 0;
}
