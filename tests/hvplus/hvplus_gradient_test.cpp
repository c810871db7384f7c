// hvPaintGradation as the program calls it: bound by name from hvplus.dll, painting a
// real window; the pixels are read back from the window's device context.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "hvplus/gradient.h"
#include "hvplus/hvplus_api.h"
#include "hvplus/hvplus_binding_win.h"

namespace {

// hvplus.dll beside this test, bound as the program binds it.
hv::HvplusLibrary& Hvplus() { return hv::HvplusLibrary::BesideProgram(); }

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
        WNDCLASSW wc{};
        wc.style = ownDc ? CS_OWNDC : 0;
        wc.lpfnWndProc = QuietProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = ownDc ? L"HvGradTestOwnDC" : L"HvGradTest";
        RegisterClassW(&wc);  // fails harmlessly once registered
        hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 10, 10, width, height,
                               nullptr, nullptr, wc.hInstance, nullptr);
        // Until the window is on the screen, what is drawn on it does not read back.
        for (const ULONGLONG end = GetTickCount64() + 30000; width > 0 && !DrawingReadsBack() && GetTickCount64() < end;)
            Pump(), Sleep(20);
        Pump();
    }
    bool DrawingReadsBack() const {
        HDC dc = GetDC(hwnd);
        const bool back = SetPixel(dc, 0, 0, RGB(1, 2, 3)) == RGB(1, 2, 3) && GetPixel(dc, 0, 0) == RGB(1, 2, 3);
        ReleaseDC(hwnd, dc);
        return back;
    }
    ~TestWindow() {
        if (hwnd) DestroyWindow(hwnd);
        Pump();
    }
};

LONG Paint(HWND window, COLORREF first, COLORREF second, LONG direction) {
    static const auto paint = Hvplus().Export<HvPaintGradationFn>("hvPaintGradation");
    if (!paint) ADD_FAILURE() << "hvplus.dll or its hvPaintGradation is missing";
    return paint ? paint(window, LONG(first), LONG(second), direction) : 0;
}

// Paints, then reads the client area back: every pixel of each column (or row) carries
// its line's colour.
void ExpectPainted(HWND window, int width, int height, COLORREF first, COLORREF second, LONG direction) {
    EXPECT_NE(Paint(window, first, second, direction), 0);
    const bool columns = direction != 0;
    const auto colors = hv::GradientLineColors(first & 0xFFFFFF, second & 0xFFFFFF, columns ? width : height);
    HDC dc = GetDC(window);
    int mismatches = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF got = GetPixel(dc, x, y), want = colors[columns ? x : y];
            if (got != want && ++mismatches <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << got << ", want " << want;
        }
    ReleaseDC(window, dc);
    EXPECT_EQ(mismatches, 0);
}

TEST(Gradation, PaintsEveryColumnOrRowInItsLineColour) {
    const struct {
        int width, height;
        COLORREF first, second;
        LONG direction;
    } cases[] = {
        {100, 30, RGB(0, 0, 0), RGB(255, 255, 255), 1},
        {40, 120, RGB(250, 10, 128), RGB(5, 240, 130), 0},                        // 0: top to bottom
        {40, 120, RGB(250, 10, 128), RGB(5, 240, 130), -7},                       // else left to right
        {80, 20, 0xFF000000 | RGB(0, 50, 255), 0x7F000000 | RGB(255, 50, 0), 1},  // bits 24-31 ignored
        {64, 48, RGB(12, 200, 99), RGB(12, 200, 99), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " direction " << c.direction);
        TestWindow w(c.width, c.height);
        ASSERT_NE(w.hwnd, nullptr);
        ExpectPainted(w.hwnd, c.width, c.height, c.first, c.second, c.direction);
    }
}

TEST(Gradation, LeavesAnOwnDeviceContextAsItFoundIt) {
    TestWindow w(60, 40, true);
    ASSERT_NE(w.hwnd, nullptr);
    HDC dc = GetDC(w.hwnd);
    HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(1, 2, 3));
    HGDIOBJ original = SelectObject(dc, hatch);
    SetDCBrushColor(dc, RGB(7, 8, 9));
    SetStretchBltMode(dc, HALFTONE);  // would blend the columns if left in place
    for (LONG direction : {0, 1}) ExpectPainted(w.hwnd, 60, 40, RGB(0, 0, 0), RGB(255, 128, 64), direction);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), hatch);
    EXPECT_EQ(GetDCBrushColor(dc), RGB(7, 8, 9));
    EXPECT_EQ(GetStretchBltMode(dc), HALFTONE);
    SelectObject(dc, original);
    ReleaseDC(w.hwnd, dc);
    DeleteObject(hatch);
}

TEST(Gradation, CreatesNoLastingGdiObjectsAndRefusesAMissingWindow) {
    // Wine's GetGuiResources is a stub; its GDI handles are small table indices to probe.
    auto countGdiObjects = [] {
        unsigned n = 0;
        for (UINT_PTR h = 1; h <= 0xFFFF; ++h) n += GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0;
        return n;
    };
    TestWindow w(200, 150);
    ASSERT_NE(w.hwnd, nullptr);
    Paint(w.hwnd, 0, 0xFFFFFF, 1);
    const unsigned before = countGdiObjects();
    for (int i = 0; i < 300; ++i) Paint(w.hwnd, RGB(i, 0, 0), RGB(0, i, 255), i & 1);
    EXPECT_EQ(countGdiObjects(), before);
    TestWindow empty(0, 40);
    EXPECT_NE(Paint(empty.hwnd, 0, 0xFFFFFF, 1), 0) << "a client area without width is no failure";
    EXPECT_EQ(Paint(nullptr, 0, 0xFFFFFF, 1), 0) << "no window: nothing painted, not even the screen";
    HWND stale = TestWindow(20, 20).hwnd;  // destroyed at once
    EXPECT_EQ(Paint(stale, 0, 0xFFFFFF, 1), 0);
}

}  // namespace
