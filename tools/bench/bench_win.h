// What the Windows benchmarks share: a millisecond clock and hvplus.dll's exports bound
// by name, as the program binds them.
#pragma once

#include <windows.h>

#include <cstdio>

#include "hvplus/hvplus_binding_win.h"

namespace hvbench {

// QueryPerformanceCounter in milliseconds (under Wine the counter is the host's
// CLOCK_MONOTONIC_RAW, which the sound recorder stamps its recordings with). Whole
// seconds and the rest are converted apart, so a counter that has run for days keeps
// its sub-millisecond precision.
inline double NowMs() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart / frequency.QuadPart) * 1000.0 +
           double(now.QuadPart % frequency.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// An export of hvplus.dll, bound as the program binds it; null, with a line on stderr
// that says why, when the library or the export is missing.
template <typename Fn>
Fn BindHvplus(const char* name) {
    hv::HvplusLibrary& library = hv::HvplusLibrary::BesideProgram();
    if (!library.Load()) {
        std::fprintf(stderr, "hvplus.dll did not load (error %lu)\n", GetLastError());
        return nullptr;
    }
    auto fn = library.Export<Fn>(name);
    if (!fn) std::fprintf(stderr, "hvplus.dll has no %s\n", name);
    return fn;
}

}  // namespace hvbench
