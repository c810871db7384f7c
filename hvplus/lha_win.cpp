// hvLHA: archiver commands through UNLHA32.DLL.
#include <windows.h>

extern "C" LONG WINAPI hvLHA(HWND, LPCSTR, LPCSTR) { return 0x10001; }
