// The environment report of the version window, read from this system.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "util/system_info.h"
#include "util/environment_report.h"

namespace hv {

// The operating system and browser values of HKEY_LOCAL_MACHINE (read-only access).
OsRegistryValues ReadOsRegistryValues(bool isNT);

// Names of the DLLs that `module`'s import table names, in table order.
std::vector<std::string> ImportedDllNames(HMODULE module);

// The report's seven files with their version texts: the C runtime the program imports
// and the remaining system files as loaded into this process (else from the system
// folder), hvplus.dll from the program's folder.
std::vector<SharedFileVersion> ReadSharedFileVersions(const SystemInfo& info);

// The whole report for this system.
std::wstring BuildSystemEnvironmentReport(const SystemInfo& info);

}  // namespace hv
