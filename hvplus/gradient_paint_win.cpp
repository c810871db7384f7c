#include "hvplus/gradient_paint_win.h"

#include <vector>

#include "hvplus/gradient.h"

namespace hv {

namespace {

// Columns: one DIB row of extent + 1 pixels stretched down the client height in a single
// call. Repeating one source row puts exactly its colour on every column, and it is
// many times faster than a call per column (which writes memory a column at a time).
void DrawColumns(HDC dc, int height, const std::vector<std::uint32_t>& colors) {
    if (height <= 0) return;
    std::vector<std::uint32_t> pixels(colors.size());
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const std::uint32_t c = colors[i];
        pixels[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);  // COLORREF to BGRX
    }
    const int count = static_cast<int>(pixels.size());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = count;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // A DC that keeps its state (CS_OWNDC) may be set to HALFTONE, which would blend.
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, count, height, 0, 0, count, 1, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    if (oldMode) SetStretchBltMode(dc, oldMode);
}

// Rows: one PatBlt per row with the DC's own brush, which only changes colour, so no
// GDI object is created at all. Rows are contiguous in memory, so this beats stretching
// a one-pixel column across.
void DrawRows(HDC dc, int width, const std::vector<std::uint32_t>& colors) {
    if (width <= 0) return;
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    const COLORREF oldColor = GetDCBrushColor(dc);
    for (std::size_t i = 0; i < colors.size(); ++i) {
        SetDCBrushColor(dc, colors[i]);
        PatBlt(dc, 0, static_cast<int>(i), width, 1, PATCOPY);
    }
    SetDCBrushColor(dc, oldColor);
    SelectObject(dc, oldBrush);
}

}  // namespace

void PaintGradient(HDC dc, int width, int height, std::uint32_t first, std::uint32_t second, bool leftToRight) {
    const auto colors = GradientLineColors(first, second, leftToRight ? width : height);
    if (leftToRight)
        DrawColumns(dc, height, colors);
    else
        DrawRows(dc, width, colors);
}

}  // namespace hv
