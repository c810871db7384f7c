// hvfacebench: figures for the calendar face, each against a baseline measured in the same
// run. Prints; never fails on a figure.
//   hvfacebench startup [RUNS]   Horavx.exe vs hvbarewin.exe (a bare window with a menu bar,
//                                a notification-area icon and a 60 s timer) and vs
//                                `hvbarewin grid` (the same window drawing the month grid in the
//                                face's default fonts: the floor of a calendar window): start to
//                                a viewable window (the program idles for input only after its
//                                first WM_PAINT), taken in turns, median and fastest of RUNS
//                                (default 15)
//   hvfacebench repaint          the real main window in this process: GDI objects before and
//                                after 10,000 repaints; one full repaint at 1920 x 1080 vs a
//                                bare window filling the same area; the appearance dialog on
//                                that face: filling its font lists vs one bare enumeration of
//                                the fonts, and the face's redraw per move of a size slider;
//                                the full repaint again with the heading row and the 六曜
//   hvfacebench lunar            the lunisolar dates of one month (every month of 1948-2099)
//                                vs the same month's holidays; all of 1948-2099 written as
//                                hvcal --lunar writes it vs its holidays written as lines
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "hvplus/hvplus_binding_win.h"
#include "app/main_menu.h"
#include "app/main_window_win.h"
#include "face/appearance_dialog_win.h"
#include "face/holidays.h"
#include "face/lunisolar.h"
#include "settings/memory_store.h"

namespace {

std::wstring Folder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The shortest successful run (failed runs are -1).
double Fastest(const std::vector<double>& v) {
    double best = 0;
    for (double x : v)
        if (x > 0 && (best == 0 || x < best)) best = x;
    return best;
}

struct Find {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindTop(HWND w, LPARAM p) {
    auto* f = reinterpret_cast<Find*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == f->pid && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == nullptr) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to the first idle after the first paint; -1 on failure.
double StartOnce(const std::wstring& exe, const wchar_t* arguments = nullptr) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + exe + L"\"";
    if (arguments) command += std::wstring(L" ") + arguments;
    double start = Now();
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    DWORD idle = WaitForInputIdle(pi.hProcess, 20000);
    double elapsed = Now() - start;
    Find f{pi.dwProcessId, nullptr};
    for (int i = 0; i < 200 && !f.found; ++i) {
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&f));
        if (!f.found) Sleep(10);
    }
    if (f.found) PostMessageW(f.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return idle == 0 ? elapsed : -1;
}

void PrintStartup(bool fastest, int runs, const std::vector<double>& program, const std::vector<double>& bare,
                  const std::vector<double>& grid) {
    auto pick = [fastest](const std::vector<double>& v) { return fastest ? Fastest(v) : Median(v); };
    const double p = pick(program), b = pick(bare), g = pick(grid);
    std::printf("start-up to a viewable window (%s of %d): Horavx.exe %.1f ms, bare window %.1f ms (ratio %.2f), "
                "month grid %.1f ms (ratio %.2f)\n",
                fastest ? "fastest" : "median", runs, p, b, b > 0 ? p / b : 0.0, g, g > 0 ? p / g : 0.0);
}

int Startup(int runs) {
    std::vector<double> program, bare, grid;
    const std::wstring bareExe = Folder() + L"hvbarewin.exe", programExe = Folder() + L"Horavx.exe";
    struct Subject {
        const std::wstring& exe;
        const wchar_t* arguments;
        std::vector<double>& times;
    };
    const Subject subjects[] = {{bareExe, nullptr, bare}, {bareExe, L"grid", grid}, {programExe, nullptr, program}};
    for (const Subject& s : subjects) StartOnce(s.exe, s.arguments);  // warm the server and the file cache
    // In turns, so that the machine's load falls on each alike; the order turns too.
    for (int i = 0; i < runs; ++i) {
        for (int k = 0; k < 3; ++k) {
            const Subject& s = subjects[(i + k) % 3];
            s.times.push_back(StartOnce(s.exe, s.arguments));
        }
    }
    // On a shared machine single runs can take several times as long; the fastest run of
    // each shows what the program itself costs.
    PrintStartup(false, runs, program, bare, grid);
    PrintStartup(true, runs, program, bare, grid);
    return 0;
}

int GdiObjectCount() {
    int n = 0;
    for (uintptr_t h = 1; h < 0x10000; ++h) n += GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0;
    return n;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) DispatchMessageW(&msg);
    }
}

double TimeRepaints(HWND w, int count) {
    double start = Now();
    for (int i = 0; i < count; ++i) RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return (Now() - start) / count;
}

LRESULT CALLBACK BareProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_3DFACE));
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

// The appearance dialog over the face: filled font lists, then size-slider moves driven
// the way the slider reports them (each a WM_HSCROLL), from a timer inside the modal loop.
struct SliderRun {
    std::vector<double> moves;
    double fillMs = 0;
    int families = 0;
};
SliderRun* gSliderRun = nullptr;

void CALLBACK DriveAppearance(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = GetActiveWindow();
    using D = hv::AppearanceDialog;
    HWND slider = GetDlgItem(dialog, D::FontId(1, D::kFontSize));
    gSliderRun->families = static_cast<int>(SendMessageW(GetDlgItem(dialog, D::FontId(0, D::kFontName)), CB_GETCOUNT, 0, 0));
    for (int round = 0; round < 3; ++round) {
        for (int size = hv::kFontSizeMin; size <= hv::kFontSizeMax; size += 2) {
            const double start = Now();
            SendMessageW(slider, TBM_SETPOS, TRUE, size);
            SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, size), reinterpret_cast<LPARAM>(slider));
            gSliderRun->moves.push_back(Now() - start);
        }
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

double BareFontEnumeration() {
    const double start = Now();
    const std::size_t n = hv::ScreenFontFamilies().size();
    const double elapsed = Now() - start;
    return n ? elapsed : 0;
}

// One opening of the dialog with the slider driven; its fill time and moves go into `run`.
double OpenAppearance(hv::MainWindow& window, SliderRun& run) {
    SliderRun once;
    gSliderRun = &once;
    hv::AppearanceDialog dialog(window);
    SetTimer(nullptr, 0, 100, DriveAppearance);
    dialog.RunModal(window.hwnd());
    gSliderRun = nullptr;
    run.families = once.families;
    run.moves.insert(run.moves.end(), once.moves.begin(), once.moves.end());
    return dialog.fontFillMs();
}

void PrintMoves(const char* what, std::vector<double> moves) {
    std::sort(moves.begin(), moves.end());
    std::printf("size slider at 1920 x 1080, %s: %zu moves, each a full redraw: median %.2f ms, worst %.2f ms "
                "(a 60 Hz pointer leaves 16.7 ms; median %.2f of it)\n",
                what, moves.size(), Median(moves), moves.empty() ? 0 : moves.back(), Median(moves) / 16.7);
}

void AppearanceFigures(hv::MainWindow& window) {
    std::vector<double> fills, bare;
    SliderRun plain;
    for (int i = 0; i < 5; ++i) {
        bare.push_back(BareFontEnumeration());
        fills.push_back(OpenAppearance(window, plain));
    }
    std::printf("font lists (%d families, median of 5): filled in %.2f ms, one bare enumeration %.2f ms, ratio %.1f\n",
                plain.families, Median(fills), Median(bare), Median(bare) > 0 ? Median(fills) / Median(bare) : 0.0);
    PrintMoves("plain colour", plain.moves);
    SliderRun gradient;
    window.settings().Gradation = hv::Gradation::LeftToRight;
    window.settings().BackgroundColor[2] = RGB(0, 0, 128);
    OpenAppearance(window, gradient);
    window.settings().Gradation = hv::Gradation::None;
    PrintMoves("gradation", gradient.moves);
}

int Repaint() {
    OleInitialize(nullptr);
    hv::HvplusLibrary hvplus(Folder() + L"hvplus.dll");
    hv::MemorySettingsStore store;
    hv::App app;
    app.hvplus = &hvplus;
    app.store = &store;
    app.system.AppVersion = hv::kAppVersion;
    SYSTEMTIME now;
    GetLocalTime(&now);
    app.calendarDate = {now.wYear, now.wMonth, now.wDay};
    app.calendar = hv::ComputeMonthCalendar(app.calendarDate);
    app.settings.FontColor[6] = RGB(0, 0, 0);  // with the shadow: every label drawn twice

    hv::MainWindow window(app);
    if (!window.Create()) return 1;
    Pump();
    const int before = GdiObjectCount();
    double perRepaint = TimeRepaints(window.hwnd(), 10000);
    Pump();
    const int after = GdiObjectCount();
    std::printf("GDI objects: %d before, %d after 10,000 repaints of the default-size face (%.3f ms each)\n",
                before, after, perRepaint);

    // Client area of 1920 x 1080; the same for a bare window filling it.
    RECT outer{0, 0, 1920, 1080};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(window.hwnd(), GWL_STYLE)), TRUE, 0);
    SetWindowPos(window.hwnd(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_NOZORDER);
    Pump();
    RECT client;
    GetClientRect(window.hwnd(), &client);
    double plain = TimeRepaints(window.hwnd(), 200);
    app.settings.Gradation = hv::Gradation::LeftToRight;
    app.settings.BackgroundColor[2] = RGB(0, 0, 128);
    double gradient = TimeRepaints(window.hwnd(), 50);
    app.settings.Gradation = hv::Gradation::None;

    WNDCLASSW wc{};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HvBenchBare";
    RegisterClassW(&wc);
    RECT bareOuter{0, 0, client.right, client.bottom};
    AdjustWindowRect(&bareOuter, WS_OVERLAPPEDWINDOW, FALSE);
    HWND bare = CreateWindowExW(0, wc.lpszClassName, L"bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                bareOuter.right - bareOuter.left, bareOuter.bottom - bareOuter.top, nullptr, nullptr,
                                wc.hInstance, nullptr);
    Pump();
    double baseline = TimeRepaints(bare, 200);
    std::printf("full repaint at %ld x %ld: face %.2f ms (gradient %.2f ms), bare fill %.2f ms, ratio %.1f\n",
                client.right, client.bottom, plain, gradient, baseline, baseline > 0 ? plain / baseline : 0.0);
    {
        // The heading in the era form and the 六曜 under every day, over the gradient: the
        // repaint a user with both switched on waits for.
        // Taken in turns with the same face without them, so that the machine's load falls on both alike.
        app.settings.Gradation = hv::Gradation::LeftToRight;
        std::vector<double> with, without;
        for (int i = 0; i < 60; ++i) {
            app.settings.ShowHeading = app.settings.HeadingEra = app.settings.ShowRokuyo = true;
            with.push_back(TimeRepaints(window.hwnd(), 1));
            app.settings.ShowHeading = app.settings.HeadingEra = app.settings.ShowRokuyo = false;
            without.push_back(TimeRepaints(window.hwnd(), 1));
        }
        app.settings.Gradation = hv::Gradation::None;
        std::sort(with.begin(), with.end());
        std::printf("full repaint at %ld x %ld over the gradient, %zu each: with the era heading and the rokuyo "
                    "median %.2f ms (worst %.2f), without them median %.2f ms, ratio %.2f (16.7 ms is one frame "
                    "at 60 Hz)\n",
                    client.right, client.bottom, with.size(), Median(with), with.back(), Median(without),
                    Median(without) > 0 ? Median(with) / Median(without) : 0.0);
    }
    DestroyWindow(bare);
    AppearanceFigures(window);
    SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    Pump();
    OleUninitialize();
    return 0;
}

// The lunisolar calendar's costs against the holiday rules' over the same spans.
int Lunar() {
    std::vector<double> months, holidays;
    volatile long long sink = 0;
    for (int year = 1948; year <= 2099; ++year) {
        for (int month = 1; month <= 12; ++month) {
            double start = Now();
            sink = sink + static_cast<long long>(hv::LunarDatesOfMonth(year, month).size());
            months.push_back(Now() - start);
            start = Now();
            sink = sink + hv::ComputeMonthCalendar({year, month, 1}).Holidays[1];
            holidays.push_back(Now() - start);
        }
    }
    std::sort(months.begin(), months.end());
    std::printf("one month's lunisolar dates (%zu months of 1948-2099): median %.3f ms, 99th percentile %.3f ms, "
                "worst %.3f ms; the month's holidays %.4f ms (median ratio %.0f)\n",
                months.size(), Median(months), months[months.size() * 99 / 100], months.back(), Median(holidays),
                Median(holidays) > 0 ? Median(months) / Median(holidays) : 0.0);

    // 1948-2099 as lines, the way hvcal --lunar writes them (without the output itself).
    const long long first = hv::DayNumber({1948, 1, 1}), last = hv::DayNumber({2099, 12, 31});
    double start = Now();
    const std::vector<hv::LunarMonth> span = hv::LunarMonthsCovering(first, last);
    const double computed = Now() - start;
    std::string text;
    for (const hv::LunarMonth& month : span) {
        for (int day = 1; day <= month.days; ++day) {
            const hv::Date date = hv::DateFromDayNumber(month.firstDay + day - 1);
            const std::u16string_view rokuyo = hv::RokuyoName(hv::RokuyoOf({month.year, month.month, month.leap, day}));
            char line[48];
            std::snprintf(line, sizeof line, "%04d-%02d-%02d %d %d %d ", date.year, date.month, date.day, month.leap,
                          month.month, day);
            text += line;
            text.append(reinterpret_cast<const char*>(rokuyo.data()), rokuyo.size() * 2);
        }
    }
    const double lunar = Now() - start;
    start = Now();
    std::string holidayText;
    for (int year = 1948; year <= 2099; ++year) {
        for (const hv::Holiday& holiday : hv::HolidaysOfYear(year)) {
            char line[48];
            std::snprintf(line, sizeof line, "%04d-%02d-%02d ", holiday.date.year, holiday.date.month,
                          holiday.date.day);
            holidayText += line;
        }
    }
    const double holidayMs = Now() - start;
    std::printf("1948-2099 day by day (%zu months, %zu bytes): %.1f ms, of which the months %.1f ms; its holidays "
                "as lines %.1f ms, ratio %.1f\n",
                span.size(), text.size(), lunar, computed, holidayMs, holidayMs > 0 ? lunar / holidayMs : 0.0);
    return static_cast<int>(sink & 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring mode = argc > 1 ? argv[1] : L"";
    int result = 2;
    if (mode == L"startup") result = Startup(argc > 2 ? _wtoi(argv[2]) : 15);
    if (mode == L"repaint") result = Repaint();
    if (mode == L"lunar") result = Lunar();
    std::fflush(stdout);
    return result;
}
