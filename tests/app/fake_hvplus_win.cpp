// A stand-in for hvplus.dll that reports the version in HV_FAKE_HVPLUS_VERSION, so that
// the start-up's version check can be driven from a test.
#include <windows.h>

#include <cwchar>

extern "C" LONG WINAPI hvGetDllVersion() {
    wchar_t text[32] = {};
    if (!GetEnvironmentVariableW(L"HV_FAKE_HVPLUS_VERSION", text, 32)) return 0;
    return static_cast<LONG>(wcstol(text, nullptr, 10));
}

// The spoken commands, recorded one line each ("time 09:05 0 2", "date 2026-12-09 2",
// "timerEnd 2") for hvFakeTakeLog, which copies the log out and empties it.
#include <cstdio>
#include <string>

namespace {
std::string g_log;
void Record(const char* format, const char* text, int a, int b) {
    char line[96];
    std::snprintf(line, sizeof line, format, text ? text : "(null)", a, b);
    g_log += line;
}
}  // namespace

extern "C" LONG WINAPI hvTalkTime(LPCSTR text, SHORT mode, BYTE speed) {
    Record("time %s %d %d\n", text, mode, speed);
    return 1;
}
extern "C" LONG WINAPI hvTalkDate(LPCSTR text, BYTE speed) {
    Record("date %s %d%.0d\n", text, speed, 0);
    return 1;
}
extern "C" LONG WINAPI hvTalkTimerEnd(BYTE speed) {
    Record("timerEnd%s %d%.0d\n", "", speed, 0);
    return 1;
}
extern "C" void WINAPI hvFakeTakeLog(char* out, int size) {
    std::snprintf(out, static_cast<std::size_t>(size), "%s", g_log.c_str());
    g_log.clear();
}
