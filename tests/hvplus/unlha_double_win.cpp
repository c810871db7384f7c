// A scripted UNLHA32.DLL for hvLHA's tests: the command line says what to answer.
//   "echo TEXT"  writes TEXT (everything after "echo ") and returns 0
//   "fail N"     writes a reason and returns N
//   "probe"      writes what it was given: buffer size, whether the buffer was all
//                zeros, the owner window; returns 0
//   "fill"       fills the whole buffer without a NUL and returns 0
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int WINAPI Unlha(HWND owner, LPCSTR commandLine, LPSTR output, DWORD size) {
    const char* command = commandLine ? commandLine : "";
    if (std::strncmp(command, "echo", 4) == 0) {
        const char* text = command[4] == ' ' ? command + 5 : command + 4;
        lstrcpynA(output, text, static_cast<int>(size));
        return 0;
    }
    if (std::strncmp(command, "fail ", 5) == 0) {
        lstrcpynA(output, "scripted failure", static_cast<int>(size));
        return std::atoi(command + 5);
    }
    if (std::strcmp(command, "probe") == 0) {
        bool zeroed = true;
        for (DWORD i = 0; i < size; ++i) zeroed = zeroed && output[i] == 0;
        std::snprintf(output, size, "size=%lu zeroed=%d owner=%p", static_cast<unsigned long>(size), zeroed ? 1 : 0,
                      static_cast<void*>(owner));
        return 0;
    }
    if (std::strcmp(command, "fill") == 0) {
        std::memset(output, 'x', size);
        return 0;
    }
    lstrcpynA(output, "unknown script", static_cast<int>(size));
    return 99;
}
