// hvPaintGradation as the program calls it: bound by name from hvplus.dll, painting a
// real window; the pixels are read back from the window's device context.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "hvplus/gradient.h"
#include "hvplus/gradient_paint_win.h"
#include "hvplus/hvplus_api.h"
#include "tests/hvplus/hvplus_binding_win.h"

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

LRESULT CALLBACK QuietProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    // Nothing of the window's own painting may cover what the library drew.
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) return ValidateRect(w, nullptr), 0;
    return DefWindowProcW(w, msg, wp, lp);
}

// A borderless top-level window whose client area is exactly width x height.
struct TestWindow {
    HWND hwnd = nullptr;
    TestWindow(int width, int height, bool ownDc = false) {
        const wchar_t* name = ownDc ? L"HvGradTestOwnDC" : L"HvGradTest";
        WNDCLASSW wc{};
        wc.style = ownDc ? CS_OWNDC : 0;
        wc.lpfnWndProc = QuietProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = name;
        RegisterClassW(&wc);  // fails harmlessly once registered
        hwnd = CreateWindowExW(WS_EX_TOPMOST, name, L"", WS_POPUP | WS_VISIBLE, 10, 10, width, height, nullptr,
                               nullptr, wc.hInstance, nullptr);
        Pump();
        Sleep(50);
        Pump();
    }
    ~TestWindow() {
        if (hwnd) DestroyWindow(hwnd);
        Pump();
    }
};

// Pixels as COLORREF values, row by row, of what `draw` puts on a black 32-bit bitmap.
struct Pixels {
    int width = 0;
    std::vector<COLORREF> data;
    COLORREF at(int x, int y) const { return data[std::size_t(y) * width + x]; }
};

Pixels Capture(int width, int height, const std::function<void(HDC)>& draw) {
    Pixels p{width, {}};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t v = static_cast<const std::uint32_t*>(bits)[i];
        p.data.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return p;
}

Pixels Read(HWND window, int width, int height) {
    return Capture(width, height, [&](HDC memory) {
        HDC dc = GetDC(window);
        BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    });
}

// Every pixel of each column (or row) carries that line's colour.
void ExpectLines(const Pixels& p, int height, const std::vector<std::uint32_t>& colors, bool leftToRight) {
    int mismatches = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y) != colors[leftToRight ? x : y] && ++mismatches <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << p.at(x, y) << ", want "
                              << colors[leftToRight ? x : y];
    EXPECT_EQ(mismatches, 0);
}

LONG Paint(HWND window, COLORREF first, COLORREF second, LONG direction) {
    static const auto paint = hvtest::BindHvplus<HvPaintGradationFn>("hvPaintGradation");
    if (!paint) ADD_FAILURE() << "hvplus.dll or its hvPaintGradation is missing";
    return paint ? paint(window, LONG(first), LONG(second), direction) : 0;
}

TEST(Gradation, PaintsEveryColumnOrRowInItsLineColour) {
    struct Case {
        int width, height;
        COLORREF first, second;
        LONG direction;
    };
    const Case cases[] = {
        {100, 30, RGB(0, 0, 0), RGB(255, 255, 255), 1},
        {40, 120, RGB(250, 10, 128), RGB(5, 240, 130), 0},  // 0: top to bottom
        {40, 120, RGB(250, 10, 128), RGB(5, 240, 130), -7},  // any other value: left to right
        {80, 20, 0xFF000000 | RGB(0, 50, 255), 0x7F000000 | RGB(255, 50, 0), 1},  // bits 24-31 ignored
        {64, 48, RGB(12, 200, 99), RGB(12, 200, 99), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " direction " << c.direction);
        TestWindow w(c.width, c.height);
        ASSERT_NE(w.hwnd, nullptr);
        EXPECT_NE(Paint(w.hwnd, c.first, c.second, c.direction), 0);
        const bool columns = c.direction != 0;
        ExpectLines(Read(w.hwnd, c.width, c.height), c.height,
                    hv::GradientLineColors(c.first & 0xFFFFFF, c.second & 0xFFFFFF, columns ? c.width : c.height),
                    columns);
    }
    TestWindow w(100, 30);
    Paint(w.hwnd, RGB(0, 0, 0), RGB(255, 255, 255), 1);
    Pixels p = Read(w.hwnd, 100, 30);
    EXPECT_EQ(p.at(0, 0), RGB(2, 2, 2));
    for (int shift : {0, 8, 16}) EXPECT_GE((p.at(99, 29) >> shift) & 0xFF, 254u);
}

// What a window's clip hides: the painter drawn onto a black bitmap larger than the
// client area it is given draws extent + 1 lines, the last just outside.
TEST(GradientPainter, DrawsExtentPlusOneLinesAndOneLineForAZeroWidth) {
    const COLORREF white = RGB(255, 255, 255);
    auto paint = [](int width, int height, COLORREF first, COLORREF second, bool leftToRight) {
        return Capture(100, 60, [&](HDC dc) { hv::PaintGradient(dc, width, height, first, second, leftToRight); });
    };
    const auto columnColors = hv::GradientLineColors(0, white, 50), rowColors = hv::GradientLineColors(0, white, 30);
    Pixels columns = paint(50, 30, 0, white, true), rows = paint(50, 30, 0, white, false);
    EXPECT_EQ(columns.at(49, 29), columnColors[49]);
    EXPECT_EQ(columns.at(50, 29), columnColors[50]);
    EXPECT_EQ(columns.at(50, 30), 0u);
    EXPECT_EQ(columns.at(51, 0), 0u);
    EXPECT_EQ(rows.at(49, 30), rowColors[30]);
    EXPECT_EQ(rows.at(50, 30), 0u);
    EXPECT_EQ(rows.at(0, 31), 0u);

    Pixels line = paint(0, 30, RGB(200, 100, 50), RGB(0, 0, 255), true);
    for (int y = 0; y < 60; ++y) EXPECT_EQ(line.at(0, y), y < 30 ? RGB(200, 100, 50) : 0u) << y;
    EXPECT_EQ(line.at(1, 0), 0u);
    Pixels none = paint(0, 30, RGB(200, 100, 50), RGB(0, 0, 255), false);
    EXPECT_EQ(std::count(none.data.begin(), none.data.end(), 0u), 100 * 60) << "rows without width are empty";
}

TEST(Gradation, LeavesAnOwnDeviceContextAsItFoundIt) {
    TestWindow w(60, 40, true);
    ASSERT_NE(w.hwnd, nullptr);
    HDC dc = GetDC(w.hwnd);
    HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(1, 2, 3));
    HGDIOBJ original = SelectObject(dc, hatch);
    SetDCBrushColor(dc, RGB(7, 8, 9));
    SetStretchBltMode(dc, HALFTONE);
    ReleaseDC(w.hwnd, dc);
    for (int direction : {0, 1}) {
        Paint(w.hwnd, RGB(0, 0, 0), RGB(255, 128, 64), direction);
        ExpectLines(Read(w.hwnd, 60, 40), 40,
                    hv::GradientLineColors(RGB(0, 0, 0), RGB(255, 128, 64), direction ? 60 : 40), direction != 0);
    }
    dc = GetDC(w.hwnd);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), hatch);
    EXPECT_EQ(GetDCBrushColor(dc), RGB(7, 8, 9));
    EXPECT_EQ(GetStretchBltMode(dc), HALFTONE);
    SelectObject(dc, original);
    ReleaseDC(w.hwnd, dc);
    DeleteObject(hatch);
}

// Wine's GetGuiResources is a stub; its GDI handles are small table indices to probe.
unsigned CountGdiObjects() {
    unsigned n = 0;
    for (UINT_PTR h = 1; h <= 0xFFFF; ++h) n += GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0;
    return n;
}

TEST(Gradation, CreatesNoLastingGdiObjectsAndRefusesAMissingWindow) {
    TestWindow w(200, 150);
    ASSERT_NE(w.hwnd, nullptr);
    Paint(w.hwnd, 0, 0xFFFFFF, 1);
    const unsigned before = CountGdiObjects();
    for (int i = 0; i < 300; ++i) Paint(w.hwnd, RGB(i, 0, 0), RGB(0, i, 255), i & 1);
    EXPECT_EQ(CountGdiObjects(), before);
    TestWindow empty(0, 40);
    EXPECT_NE(Paint(empty.hwnd, 0, 0xFFFFFF, 1), 0) << "a client area without width is no failure";
    EXPECT_EQ(Paint(nullptr, 0, 0xFFFFFF, 1), 0) << "no window: nothing painted, not even the screen";
    HWND stale = TestWindow(20, 20).hwnd;  // destroyed at once
    EXPECT_EQ(Paint(stale, 0, 0xFFFFFF, 1), 0);
}

}  // namespace
