// A stand-in for hvplus.dll that reports the version in HV_FAKE_HVPLUS_VERSION, so that
// the start-up's version check can be driven from a test.
#include <windows.h>

#include <cwchar>

extern "C" LONG WINAPI hvGetDllVersion() {
    wchar_t text[32] = {};
    if (!GetEnvironmentVariableW(L"HV_FAKE_HVPLUS_VERSION", text, 32)) return 0;
    return static_cast<LONG>(wcstol(text, nullptr, 10));
}
