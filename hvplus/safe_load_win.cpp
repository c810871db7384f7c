#include "hvplus/safe_load_win.h"

#include <delayimp.h>

#include "hvplus/module_paths_win.h"

namespace hv {

void RestrictLibrarySearch() {
    SetDllDirectoryW(L"");
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadFromProgramOrSystemFolder(const wchar_t* fileName) {
    for (const std::wstring& folder : {ProgramFolderOf(), SystemFolderOf()}) {
        if (folder.empty()) continue;
        const std::wstring path = folder + fileName;
        if (!FileExists(path)) continue;
        return LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    return nullptr;
}

bool SystemLibraryLoads(const wchar_t* fileName) {
    // Loaded once, it stays (the late import's own load holds it too): freeing it here would
    // unload it before its first use, and winmm, loaded again, starts its drivers anew.
    const std::wstring path = SystemFolderOf() + fileName;
    return GetModuleHandleW(path.c_str()) || LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace hv

// Some system libraries are imported late (delay-load): winmm and version, which
// the system's own list does not protect, and oleaut32 and comctl32, which the first paint
// does not need. They are taken from the system folder only, so a copy planted in the
// program's folder is never used, whether or not the search has been restricted yet;
// comctl32 is left to the plain load, which follows the manifest to the side-by-side
// version 6 (a copy beside the program does not override that either). A library that does
// not load from the system folder fails closed: the hook raises the delay-load failure
// itself, as the helper would, instead of returning nothing, on which the helper would try
// the plain search and take a planted copy. Raised as not continuable, so no handler can
// send the helper on to that search either.
namespace {

FARPROC WINAPI LoadDelayedFromSystemFolder(unsigned note, PDelayLoadInfo info) {
    if (note != dliNotePreLoadLibrary || lstrcmpiA(info->szDll, "comctl32.dll") == 0) return nullptr;
    if (HMODULE module = LoadLibraryExA(info->szDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return reinterpret_cast<FARPROC>(module);
    info->dwLastError = GetLastError();
    const ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
    RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), EXCEPTION_NONCONTINUABLE, 1, &argument);
    return nullptr;  // not reached
}

}  // namespace

// The Microsoft delayimp.h declares the hooks const (unless told otherwise); MinGW's does not.
#if defined(_MSC_VER)
#define HV_DELAY_HOOK const
#else
#define HV_DELAY_HOOK
#endif

extern "C" {
HV_DELAY_HOOK PfnDliHook __pfnDliNotifyHook2 = LoadDelayedFromSystemFolder;
HV_DELAY_HOOK PfnDliHook __pfnDliFailureHook2 = nullptr;
}
