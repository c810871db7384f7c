// The program is per-monitor dpi aware: every length it draws or lays out is scaled to the
// dpi of the monitor its window is on. These three are the only places the dpi is read.
#pragma once

#include <windows.h>

namespace hv {

// The dpi of `window`'s monitor; the system dpi for a null window; 96 where the system
// cannot tell.
int DpiOf(HWND window);

// The system dpi: the unit of stored window positions, whatever monitor the window is on.
int SystemDpi();

// `length` at 96 dpi, scaled to `dpi` (rounded to the nearest pixel).
inline int ScaleToDpi(int length, int dpi) { return MulDiv(length, dpi, 96); }

}  // namespace hv
