#include "util/dpi_win.h"

namespace hv {

int DpiOf(HWND window) {
    if (!window) return SystemDpi();
    const UINT dpi = GetDpiForWindow(window);
    return dpi ? static_cast<int>(dpi) : SystemDpi();
}

int SystemDpi() {
    const UINT dpi = GetDpiForSystem();
    return dpi ? static_cast<int>(dpi) : 96;
}

}  // namespace hv
