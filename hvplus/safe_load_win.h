// Where the program and the library take other libraries from: their own by full path,
// system libraries from the system folder, never the current folder, a PATH folder or the
// program's folder by name.
#pragma once

#include <windows.h>

#include <string>

namespace hv {

// First thing at start: later loads by name look in the system folder only, and the
// current folder is out of the search. The program's own libraries are loaded by full path.
void RestrictLibrarySearch();

// Loads `fileName` from the program's folder or else from the system folder, by full
// path, with its own imports taken from its folder and the system folder; null when it
// is in neither or does not load. A copy in the program's folder is the one used even if
// it fails to load.
HMODULE LoadFromProgramOrSystemFolder(const wchar_t* fileName);

// Whether the system library `fileName`, which a binary imports late, loads from the
// system folder (it is then loaded for good). A late import that does not load ends the
// process (the delay-load hook never falls back to another folder), so the library's
// exports ask here first and answer with their failure value instead.
bool SystemLibraryLoads(const wchar_t* fileName);

}  // namespace hv
