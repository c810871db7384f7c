// hvPaintGradation as the program calls it: bound by name from hvplus.dll, painting a
// real window; the pixels are read back from the window's device context.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "hvplus/gradient.h"
#include "hvplus/gradient_paint_win.h"
#include "hvplus/hvplus_api.h"

namespace {

LRESULT CALLBACK QuietProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    // Nothing of the window's own painting may cover what the library drew.
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

const wchar_t* ClassName(bool ownDc) {
    const wchar_t* name = ownDc ? L"HvGradTestOwnDC" : L"HvGradTest";
    WNDCLASSW wc{};
    if (!GetClassInfoW(GetModuleHandleW(nullptr), name, &wc)) {
        wc.style = ownDc ? CS_OWNDC : 0;
        wc.lpfnWndProc = QuietProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = name;
        RegisterClassW(&wc);
    }
    return name;
}

// A borderless top-level window whose client area is exactly width x height.
struct TestWindow {
    HWND hwnd = nullptr;
    TestWindow(int width, int height, bool ownDc = false) {
        hwnd = CreateWindowExW(WS_EX_TOPMOST, ClassName(ownDc), L"", WS_POPUP | WS_VISIBLE, 10, 10, width, height,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        Pump();
        Sleep(50);
        Pump();
    }
    ~TestWindow() {
        if (hwnd) DestroyWindow(hwnd);
        Pump();
    }
};

// Pixels of a window's client area as COLORREF values, row by row.
struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> data;
    COLORREF at(int x, int y) const { return data[std::size_t(y) * width + x]; }
};

Pixels Read(HWND window, int width, int height) {
    Pixels p{width, height, {}};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* bgrx = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        std::uint32_t v = bgrx[i];
        p.data.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    return p;
}

unsigned CountGdiObjects() {
    unsigned n = 0;
    for (UINT_PTR h = 1; h <= 0xFFFF; ++h)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0) ++n;
    return n;
}

class Gradation : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module_ = LoadLibraryW(L"hvplus.dll"); }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "hvplus.dll did not load";
        paint_ = reinterpret_cast<HvPaintGradationFn>(
            reinterpret_cast<void*>(GetProcAddress(module_, "hvPaintGradation")));
        ASSERT_NE(paint_, nullptr);
    }

    // Every pixel of each column (or row) carries that line's colour.
    static void ExpectLines(const Pixels& p, const std::vector<std::uint32_t>& colors, bool leftToRight) {
        int mismatches = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                COLORREF want = colors[leftToRight ? x : y];
                if (p.at(x, y) != want && ++mismatches <= 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << p.at(x, y) << ", want "
                                  << want;
            }
        EXPECT_EQ(mismatches, 0);
    }

    static HMODULE module_;
    HvPaintGradationFn paint_ = nullptr;
};
HMODULE Gradation::module_ = nullptr;

TEST_F(Gradation, BlackToWhiteLeftToRightPaintsEveryColumnInItsColour) {
    TestWindow w(100, 30);
    ASSERT_NE(w.hwnd, nullptr);
    EXPECT_NE(paint_(w.hwnd, 0x000000, 0xFFFFFF, 1), 0);
    Pixels p = Read(w.hwnd, 100, 30);
    EXPECT_EQ(p.at(0, 0), RGB(2, 2, 2));
    EXPECT_EQ(p.at(0, 29), RGB(2, 2, 2));
    for (int shift : {0, 8, 16}) EXPECT_GE((p.at(99, 15) >> shift) & 0xFF, 254u);
    ExpectLines(p, hv::GradientLineColors(0x000000, 0xFFFFFF, 100), true);
}

TEST_F(Gradation, DirectionZeroPaintsTopToBottomAndAnyOtherValueLeftToRight) {
    TestWindow w(40, 120);
    ASSERT_NE(w.hwnd, nullptr);
    const COLORREF first = RGB(250, 10, 128), second = RGB(5, 240, 130);
    paint_(w.hwnd, first, second, 0);
    ExpectLines(Read(w.hwnd, 40, 120), hv::GradientLineColors(first, second, 120), false);
    paint_(w.hwnd, first, second, -7);
    ExpectLines(Read(w.hwnd, 40, 120), hv::GradientLineColors(first, second, 40), true);
}

TEST_F(Gradation, EqualColoursFillTheClientAreaUniformly) {
    TestWindow w(64, 48);
    ASSERT_NE(w.hwnd, nullptr);
    for (int direction : {0, 1}) {
        paint_(w.hwnd, RGB(12, 200, 99), RGB(12, 200, 99), direction);
        Pixels p = Read(w.hwnd, 64, 48);
        for (COLORREF c : p.data) ASSERT_EQ(c, RGB(12, 200, 99)) << "direction " << direction;
    }
}

TEST_F(Gradation, BitsAboveTheBlueChannelAreIgnored) {
    TestWindow w(80, 20);
    ASSERT_NE(w.hwnd, nullptr);
    paint_(w.hwnd, 0xFF000000 | RGB(0, 50, 255), 0x7F000000 | RGB(255, 50, 0), 1);
    ExpectLines(Read(w.hwnd, 80, 20), hv::GradientLineColors(RGB(0, 50, 255), RGB(255, 50, 0), 80), true);
    paint_(w.hwnd, 0x01000000 | RGB(9, 9, 9), 0x01000000 | RGB(9, 9, 9), 0);
    EXPECT_EQ(Read(w.hwnd, 80, 20).at(40, 10), RGB(9, 9, 9));
}

// What a window's clip hides: the painter drawn onto a black bitmap larger than the
// client area it is given.
Pixels PaintOnBitmap(int width, int height, COLORREF first, COLORREF second, bool leftToRight) {
    const int bw = 100, bh = 60;
    Pixels p{bw, bh, {}};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), bw, -bh, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    hv::PaintGradient(memory, width, height, first, second, leftToRight);
    GdiFlush();
    const auto* bgrx = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < bw * bh; ++i)
        p.data.push_back(RGB((bgrx[i] >> 16) & 0xFF, (bgrx[i] >> 8) & 0xFF, bgrx[i] & 0xFF));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return p;
}

int CountNotBlack(const Pixels& p) {
    int n = 0;
    for (COLORREF c : p.data) n += c != 0;
    return n;
}

TEST(GradientPainter, WidthZeroLeftToRightDrawsOneLineAtXZeroInTheFirstColour) {
    Pixels p = PaintOnBitmap(0, 30, RGB(200, 100, 50), RGB(0, 0, 255), true);
    for (int y = 0; y < 30; ++y) ASSERT_EQ(p.at(0, y), RGB(200, 100, 50)) << y;
    EXPECT_EQ(p.at(0, 30), RGB(0, 0, 0)) << "the line ends before the client bottom";
    EXPECT_EQ(CountNotBlack(p), 30);
    // Top to bottom with no width: every line is empty.
    EXPECT_EQ(CountNotBlack(PaintOnBitmap(0, 30, RGB(200, 100, 50), RGB(0, 0, 255), false)), 0);
}

TEST(GradientPainter, DrawsExtentPlusOneLinesTheLastJustOutsideTheClientArea) {
    const auto colors = hv::GradientLineColors(RGB(0, 0, 0), RGB(255, 255, 255), 50);
    Pixels columns = PaintOnBitmap(50, 30, RGB(0, 0, 0), RGB(255, 255, 255), true);
    EXPECT_EQ(columns.at(49, 29), colors[49]);
    EXPECT_EQ(columns.at(50, 0), colors[50]);
    EXPECT_EQ(columns.at(50, 29), colors[50]);
    EXPECT_EQ(columns.at(50, 30), RGB(0, 0, 0));
    EXPECT_EQ(columns.at(51, 0), RGB(0, 0, 0));
    const auto rowColors = hv::GradientLineColors(RGB(0, 0, 0), RGB(255, 255, 255), 30);
    Pixels rows = PaintOnBitmap(50, 30, RGB(0, 0, 0), RGB(255, 255, 255), false);
    EXPECT_EQ(rows.at(49, 30), rowColors[30]);
    EXPECT_EQ(rows.at(0, 29), rowColors[29]);
    EXPECT_EQ(rows.at(50, 30), RGB(0, 0, 0));
    EXPECT_EQ(rows.at(0, 31), RGB(0, 0, 0));
}

TEST_F(Gradation, LeavesAnOwnDeviceContextAsItFoundIt) {
    TestWindow w(60, 40, true);
    ASSERT_NE(w.hwnd, nullptr);
    HDC dc = GetDC(w.hwnd);
    HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(1, 2, 3));
    HGDIOBJ original = SelectObject(dc, hatch);
    SetDCBrushColor(dc, RGB(7, 8, 9));
    SetStretchBltMode(dc, HALFTONE);
    ReleaseDC(w.hwnd, dc);
    for (int direction : {0, 1}) {
        paint_(w.hwnd, RGB(0, 0, 0), RGB(255, 128, 64), direction);
        ExpectLines(Read(w.hwnd, 60, 40), hv::GradientLineColors(RGB(0, 0, 0), RGB(255, 128, 64), direction ? 60 : 40),
                    direction != 0);
    }
    dc = GetDC(w.hwnd);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), hatch);
    EXPECT_EQ(GetDCBrushColor(dc), RGB(7, 8, 9));
    EXPECT_EQ(GetStretchBltMode(dc), HALFTONE);
    SelectObject(dc, original);
    ReleaseDC(w.hwnd, dc);
    DeleteObject(hatch);
}

TEST_F(Gradation, CreatesNoLastingGdiObjectsAndRefusesAMissingWindow) {
    TestWindow w(200, 150);
    ASSERT_NE(w.hwnd, nullptr);
    paint_(w.hwnd, 0, 0xFFFFFF, 1);
    unsigned before = CountGdiObjects();
    for (int i = 0; i < 300; ++i) paint_(w.hwnd, RGB(i, 0, 0), RGB(0, i, 255), i & 1);
    EXPECT_EQ(CountGdiObjects(), before);
    TestWindow empty(0, 40);
    EXPECT_NE(paint_(empty.hwnd, 0, 0xFFFFFF, 1), 0) << "a client area without width is no failure";
    EXPECT_EQ(paint_(nullptr, 0, 0xFFFFFF, 1), 0) << "no window: nothing painted, not even the screen";
    TestWindow gone(20, 20);
    HWND stale = gone.hwnd;
    DestroyWindow(stale);
    gone.hwnd = nullptr;
    EXPECT_EQ(paint_(stale, 0, 0xFFFFFF, 1), 0);
}

}  // namespace
