// Where the running program and the system keep their files: the program, the library
// and the tests all ask here.
#pragma once

#include <windows.h>

#include <string>

namespace hv {

// The full path of a loaded module (null: the running program's .exe); empty when the
// system does not say. Paths of any length.
std::wstring ModulePath(HMODULE module);

// The folder of the running program (the .exe, whoever loaded this code) and the system
// folder, each ending in a backslash; empty when the system does not say.
std::wstring ProgramFolderOf();
std::wstring SystemFolderOf();

// Whether `path` names a file that exists (not a folder).
bool FileExists(const std::wstring& path);

}  // namespace hv
