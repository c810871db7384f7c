// A scripted UNLHA32.DLL for hvLHA's tests: the command line says what to answer.
//   "echo TEXT"  writes TEXT and returns 0        "fail N"  returns N
//   "fill"       fills the whole buffer, no NUL    "probe"   describes its buffer and owner
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int WINAPI Unlha(HWND owner, LPCSTR command, LPSTR output, DWORD size) {
    if (std::strncmp(command, "echo", 4) == 0) {
        lstrcpynA(output, command[4] == ' ' ? command + 5 : command + 4, int(size));
    } else if (std::strncmp(command, "fail ", 5) == 0) {
        lstrcpynA(output, "scripted failure", int(size));
        return std::atoi(command + 5);
    } else if (std::strcmp(command, "fill") == 0) {
        std::memset(output, 'x', size);
    } else if (std::strcmp(command, "probe") == 0) {
        bool zeroed = true;
        for (DWORD i = 0; i < size; ++i) zeroed = zeroed && output[i] == 0;
        std::snprintf(output, size, "size=%lu zeroed=%d owner=%p", static_cast<unsigned long>(size), zeroed ? 1 : 0,
                      static_cast<void*>(owner));
    } else {
        return 99;
    }
    return 0;
}
