// The exports of hvplus.dll as the program binds them by name. Texts are ANSI and owned
// by the caller for the duration of the call; the library allocates nothing for it.
#pragma once

#ifdef _WIN32
#include <windows.h>

extern "C" {
// Speaks "HH:MM"; mode 0 = 12-hour clock (low 16 bits), speed 0..15 (low 8 bits).
// Returns 0 for a rejected input or a failed play, nonzero once the closing clip runs.
typedef LONG(WINAPI* HvTalkTimeFn)(LPCSTR text, SHORT mode, BYTE speed);
// Fills the window's client area with a two-colour gradient; direction nonzero paints
// left to right. Returns the result of releasing the window's DC.
typedef LONG(WINAPI* HvPaintGradationFn)(HWND window, LONG first, LONG second, LONG direction);
// Runs an archiver command through UNLHA32.DLL and saves its output text to outputFile.
typedef LONG(WINAPI* HvLhaFn)(HWND owner, LPCSTR commandLine, LPCSTR outputFile);
// The library's version, 0x10100.
typedef LONG(WINAPI* HvGetDllVersionFn)();
// Speaks the date "YYYY-MM-DD" with its weekday (きょうは 十二月 九日 水曜日 です); speed as
// hvTalkTime's. Returns as hvTalkTime does.
typedef LONG(WINAPI* HvTalkDateFn)(LPCSTR text, BYTE speed);
// Plays the timer's chime and says タイマーが 終わりました; returns as hvTalkTime does.
typedef LONG(WINAPI* HvTalkTimerEndFn)(BYTE speed);
}
#endif

namespace hv {
inline constexpr long kHvplusVersion = 0x10100;
}
