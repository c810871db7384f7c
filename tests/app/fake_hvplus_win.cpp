// A stand-in for hvplus.dll that reports the version in HV_FAKE_HVPLUS_VERSION, so that
// the start-up's version check can be driven from a test.
#include <windows.h>

#include <cwchar>

extern "C" LONG WINAPI hvGetDllVersion() {
    wchar_t text[32] = {};
    if (!GetEnvironmentVariableW(L"HV_FAKE_HVPLUS_VERSION", text, 32)) return 0;
    return static_cast<LONG>(wcstol(text, nullptr, 10));
}

// What it is asked to say, a line each ("time 09:05 0 2", "date 2026-12-09 2", "timerEnd 2"),
// which hvFakeTakeLog copies out and empties.
#include <cstdio>
#include <string>

namespace {
std::string g_log;
LONG Record(const char* what, const char* text, int a, int b = -1) {
    g_log += std::string(what) + text + " " + std::to_string(a) + (b < 0 ? "" : " " + std::to_string(b)) + "\n";
    return 1;
}
}  // namespace

extern "C" LONG WINAPI hvTalkTime(LPCSTR text, SHORT mode, BYTE speed) { return Record("time ", text, mode, speed); }
extern "C" LONG WINAPI hvTalkDate(LPCSTR text, BYTE speed) { return Record("date ", text, speed); }
extern "C" LONG WINAPI hvTalkTimerEnd(BYTE speed) { return Record("timerEnd", "", speed); }
extern "C" void WINAPI hvFakeTakeLog(char* out, int size) {
    std::snprintf(out, static_cast<std::size_t>(size), "%s", g_log.c_str());
    g_log.clear();
}
