// hvwinwait TITLE [TIMEOUT_MS] [DESKTOP]: exits 0 once a visible top-level window
// titled TITLE exists (on the named desktop, such as a Wine virtual desktop, or on this
// process's own), 1 when the timeout (default 30 s) passes first.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

namespace {

struct Search {
    const wchar_t* title;
    bool found;
};

BOOL CALLBACK Check(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    wchar_t text[256];
    if (IsWindowVisible(w) && GetWindowTextW(w, text, 256) > 0 && wcscmp(text, s->title) == 0) {
        s->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    DWORD timeout = argc > 2 ? static_cast<DWORD>(wcstoul(argv[2], nullptr, 10)) : 30000;
    const wchar_t* desktopName = argc > 3 ? argv[3] : nullptr;
    DWORD start = GetTickCount();
    for (;;) {
        Search s{argv[1], false};
        if (desktopName) {
            if (HDESK desk = OpenDesktopW(desktopName, 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE)) {
                EnumDesktopWindows(desk, Check, reinterpret_cast<LPARAM>(&s));
                CloseDesktop(desk);
            }
        } else {
            EnumWindows(Check, reinterpret_cast<LPARAM>(&s));
        }
        if (s.found) return 0;
        if (GetTickCount() - start > timeout) return 1;
        Sleep(100);
    }
}
