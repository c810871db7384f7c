// hvgradbench [WIDTH HEIGHT [CALLS]]: how long hvPaintGradation takes over a large client
// area against one FillRect of the same area in the same run, how other ways of drawing
// the same lines compare, and whether 10,000 calls leave GDI objects behind.
// hvgradbench --show MS: two framed windows painted by hvPaintGradation from their
// WM_PAINT (left to right, top to bottom) for MS milliseconds, to look at.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "hvplus/gradient.h"
#include "hvplus/hvplus_api.h"
#include "tools/bench/bench_win.h"

namespace {

constexpr COLORREF kFirst = RGB(0x20, 0x40, 0xC0);
constexpr COLORREF kSecond = RGB(0xF0, 0xE0, 0x10);

using hvbench::NowMs;

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Live GDI objects of this process. GetGuiResources answers on Windows; Wine's is a stub
// that returns 0, and there the handle values are small table indices that can be probed.
unsigned CountGdiObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
    unsigned n = 0;
    for (UINT_PTR h = 1; h <= 0xFFFF; ++h)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0) ++n;
    return n;
}

// Other ways of putting the same colours on the same lines, drawn in the bench itself
// so that the library's choice can be weighed against them.
void PenPerLine(HWND window, bool leftToRight) {
    HDC dc = GetDC(window);
    RECT rc;
    GetClientRect(window, &rc);
    auto colors = hv::GradientLineColors(kFirst, kSecond, leftToRight ? rc.right : rc.bottom);
    for (int i = 0; i < int(colors.size()); ++i) {
        HPEN pen = CreatePen(PS_SOLID, 1, colors[i]);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, leftToRight ? i : 0, leftToRight ? 0 : i, nullptr);
        LineTo(dc, leftToRight ? i : rc.right, leftToRight ? rc.bottom : i);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    ReleaseDC(window, dc);
}

void PatBltPerLine(HWND window, bool leftToRight) {
    HDC dc = GetDC(window);
    RECT rc;
    GetClientRect(window, &rc);
    auto colors = hv::GradientLineColors(kFirst, kSecond, leftToRight ? rc.right : rc.bottom);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DC_BRUSH));
    for (int i = 0; i < int(colors.size()); ++i) {
        SetDCBrushColor(dc, colors[i]);
        if (leftToRight)
            PatBlt(dc, i, 0, 1, rc.bottom, PATCOPY);
        else
            PatBlt(dc, 0, i, rc.right, 1, PATCOPY);
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
}

const wchar_t* RegisterWindowClass(const wchar_t* name, WNDPROC proc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    return name;
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) return 1;
    return DefWindowProcW(w, msg, wp, lp);
}

HvPaintGradationFn g_showPaint = nullptr;

LRESULT CALLBACK ShowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        g_showPaint(w, RGB(0x10, 0x30, 0x90), RGB(0xF8, 0xD0, 0x60), GetWindowLongPtrW(w, GWLP_USERDATA));
        return 0;
    }
    case WM_SIZE:
        InvalidateRect(w, nullptr, FALSE);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

int Show(HvPaintGradationFn paint, DWORD ms) {
    g_showPaint = paint;
    const wchar_t* windowClass = RegisterWindowClass(L"HvGradientShow", ShowProc);
    const wchar_t* titles[] = {L"上から下 (hvPaintGradation 0)", L"左から右 (hvPaintGradation 1)"};
    for (int direction : {1, 0}) {
        HWND w = CreateWindowExW(0, windowClass, titles[direction], WS_OVERLAPPEDWINDOW, 40 + 470 * (1 - direction), 60,
                                 440, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(w, GWLP_USERDATA, direction);
        ShowWindow(w, SW_SHOW);
    }
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        Pump();
        Sleep(20);
    }
    return 0;
}

struct Variant {
    const char* name;
    std::function<void()> run;
    std::vector<double> ms;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const bool show = argc > 1 && std::string(argv[1]) == "--show";
    const int width = argc > 2 && !show ? std::atoi(argv[1]) : 1920;
    const int height = argc > 2 ? std::atoi(argv[2]) : 1080;
    const int calls = argc > 3 ? std::atoi(argv[3]) : 10000;
    const int rounds = 40;

    const auto paint = hvbench::BindHvplus<HvPaintGradationFn>("hvPaintGradation");
    if (!paint) return 2;
    if (show) return Show(paint, argc > 2 ? DWORD(std::atoi(argv[2])) : 10000);

    HWND window = CreateWindowExW(WS_EX_TOPMOST, RegisterWindowClass(L"HvGradientBench", Proc), L"hvgradbench",
                                  WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) return 2;
    Pump();
    Sleep(200);
    Pump();
    RECT rc;
    GetClientRect(window, &rc);
    HBRUSH brush = CreateSolidBrush(kFirst);

    std::vector<Variant> variants = {
        {"FillRect of the whole client area (baseline)",
         [&] {
             HDC dc = GetDC(window);
             FillRect(dc, &rc, brush);
             ReleaseDC(window, dc);
         }, {}},
        {"hvPaintGradation, left to right", [&] { paint(window, kFirst, kSecond, 1); }, {}},
        {"hvPaintGradation, top to bottom", [&] { paint(window, kFirst, kSecond, 0); }, {}},
        {"pen per line, left to right", [&] { PenPerLine(window, true); }, {}},
        {"pen per line, top to bottom", [&] { PenPerLine(window, false); }, {}},
        {"PatBlt with the DC brush per line, left to right", [&] { PatBltPerLine(window, true); }, {}},
        {"PatBlt with the DC brush per line, top to bottom", [&] { PatBltPerLine(window, false); }, {}},
    };
    for (auto& v : variants) v.run();  // warm up
    for (int r = 0; r < rounds; ++r) {
        for (auto& v : variants) {
            double t0 = NowMs();
            v.run();
            // Wine copies the window's surface to the display after drawing; include it.
            GdiFlush();
            v.ms.push_back(NowMs() - t0);
        }
        Pump();
    }

    std::printf("client area %ld x %ld, median of %d runs each\n", rc.right, rc.bottom, rounds);
    const double base = Median(variants[0].ms);
    for (auto& v : variants) {
        double m = Median(v.ms);
        std::printf("  %-50s %8.3f ms  %6.2f x FillRect  %6.1f %% of 1/60 s\n", v.name, m, m / base,
                    m * 60.0 / 10.0);
    }

    // The drawing reached the far corner (nothing clipped by a small desktop).
    paint(window, kFirst, kSecond, 1);
    HDC dc = GetDC(window);
    COLORREF corner = GetPixel(dc, rc.right - 1, rc.bottom - 1);
    ReleaseDC(window, dc);
    COLORREF expected = hv::GradientLineColors(kFirst, kSecond, rc.right)[rc.right - 1];
    std::printf("far corner pixel %06lX, expected %06lX: %s\n", corner, expected,
                corner == expected ? "drawn" : "NOT DRAWN");

    unsigned before = CountGdiObjects();
    double t0 = NowMs();
    for (int i = 0; i < calls; ++i) {
        paint(window, kFirst + i, kSecond - i, i & 1);
        if ((i & 255) == 0) Pump();
    }
    double elapsed = NowMs() - t0;
    unsigned after = CountGdiObjects();
    std::printf("GDI objects before %d calls: %u, after: %u (%s); %.3f ms per call\n", calls, before, after,
                before == after ? "unchanged" : "CHANGED", elapsed / calls);

    DeleteObject(brush);
    DestroyWindow(window);
    return corner == expected && before == after ? 0 : 1;
}
