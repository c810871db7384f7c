#include "hvplus/safe_load_win.h"

#include <delayimp.h>

#include "hvplus/module_paths_win.h"

namespace hv {

void RestrictLibrarySearch() {
    SetDllDirectoryW(L"");
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
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

}  // namespace hv

// Some system libraries are imported late (delay-load): winmm, version and uxtheme, which
// the system's own list does not protect, and oleaut32 and comctl32, which the first paint
// does not need. They are taken from the system folder only, so a copy planted in the
// program's folder is never used, whether or not the search has been restricted yet;
// comctl32 is left to the plain load, which follows the manifest to the side-by-side
// version 6 (a copy beside the program does not override that either).
namespace {

FARPROC WINAPI LoadDelayedFromSystemFolder(unsigned note, PDelayLoadInfo info) {
    if (note != dliNotePreLoadLibrary || lstrcmpiA(info->szDll, "comctl32.dll") == 0) return nullptr;
    return reinterpret_cast<FARPROC>(LoadLibraryExA(info->szDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

}  // namespace

extern "C" {
PfnDliHook __pfnDliNotifyHook2 = LoadDelayedFromSystemFolder;
PfnDliHook __pfnDliFailureHook2 = nullptr;
}
