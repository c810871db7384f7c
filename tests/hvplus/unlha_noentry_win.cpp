// A UNLHA32.DLL that loads but has no "Unlha": hvLHA must say so.
#include <windows.h>

extern "C" WORD WINAPI UnlhaGetVersion() { return 1; }
