// talkbench: speaks chains through hvplus.dll for the spoken-time benchmark.
//   talkbench [--gap MS] TEXT MODE SPEED [TEXT MODE SPEED ...]
//       Loads hvplus.dll by name, binds hvTalkTime by name and speaks each chain in turn,
//       MS milliseconds apart (counted from each call's return; default 1500). For each
//       call prints on stdout: "call N TEXT MODE SPEED START_MS RETURN_MS RESULT", times
//       by QueryPerformanceCounter in milliseconds (under Wine the counter is the host's
//       CLOCK_MONOTONIC_RAW, which the recorder stamps the recording with). On stderr it marks where
//       each call begins and returns, so that lines the sound driver writes there
//       (underruns) can be placed inside or outside a chain.
//   talkbench --idle STOPFILE
//       Does nothing until STOPFILE exists (at most an hour): keeps the Wine services up
//       for the whole benchmark, since they stop a while after the last program ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hvplus/hvplus_api.h"
#include "tools/bench/bench_win.h"

namespace {

int Idle(const char* stopFile) {
    std::printf("idle\n");
    std::fflush(stdout);
    for (int i = 0; i < 3600 * 5; ++i) {
        if (GetFileAttributesA(stopFile) != INVALID_FILE_ATTRIBUTES) return 0;
        Sleep(200);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--idle") == 0) return Idle(argv[2]);

    int first = 1;
    DWORD gapMs = 1500;
    if (argc > 2 && std::strcmp(argv[1], "--gap") == 0) {
        gapMs = DWORD(std::strtoul(argv[2], nullptr, 10));
        first = 3;
    }
    if (argc - first < 3 || (argc - first) % 3 != 0) {
        std::fprintf(stderr, "usage: talkbench [--gap MS] TEXT MODE SPEED [TEXT MODE SPEED ...]\n"
                             "       talkbench --idle STOPFILE\n");
        return 2;
    }

    const auto talk = hvbench::BindHvplus<HvTalkTimeFn>("hvTalkTime");
    if (!talk) return 1;

    // The calls run at the priority a normal program gives them: the benchmark measures
    // the library as the clock uses it.
    int failures = 0;
    for (int i = first, n = 1; i + 2 < argc; i += 3, ++n) {
        const char* text = argv[i];
        const auto mode = static_cast<SHORT>(std::atoi(argv[i + 1]));
        const auto speed = static_cast<BYTE>(std::atoi(argv[i + 2]));
        std::fprintf(stderr, "talkbench: begin %d\n", n);
        std::fflush(stderr);
        const double start = hvbench::NowMs();
        const LONG result = talk(text, mode, speed);
        const double back = hvbench::NowMs();
        std::fprintf(stderr, "talkbench: return %d\n", n);
        std::fflush(stderr);
        std::printf("call %d %s %d %d %.3f %.3f %ld\n", n, text, int(mode), int(speed), start, back, long(result));
        std::fflush(stdout);
        if (result == 0) ++failures;
        Sleep(gapMs);
    }
    return failures == 0 ? 0 : 1;
}
