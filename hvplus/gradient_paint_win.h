// Drawing of a two-colour gradient onto any device context: the body of hvPaintGradation,
// apart so that it can be drawn onto a bitmap that shows what falls outside a window.
#pragma once

#include <windows.h>

#include <cstdint>

namespace hv {

// Paints the extent + 1 lines of the gradient over a client area of width x height
// (extent = width when leftToRight, else height): line i covers x = i, y = 0..height-1
// (or y = i, x = 0..width-1), exactly where a 1-pixel pen from (i, 0) to (i, height)
// would. The DC's objects and modes are as they were afterwards; nothing is left
// created.
void PaintGradient(HDC dc, int width, int height, std::uint32_t first, std::uint32_t second, bool leftToRight);

}  // namespace hv
