// Where the program and the library take other libraries from: the program's folder and
// the system folder, never the current folder or a PATH folder.
#pragma once

#include <windows.h>

#include <string>

namespace hv {

// First thing at start: later loads by name look in the program's folder and the system
// folder only, and the current folder is out of the search.
void RestrictLibrarySearch();

// Loads `fileName` from the program's folder or else from the system folder, by full
// path, with its own imports taken from its folder and the system folder; null when it
// is in neither or does not load. A copy in the program's folder is the one used even if
// it fails to load.
HMODULE LoadFromProgramOrSystemFolder(const wchar_t* fileName);

}  // namespace hv
