// The version window's environment report, built from values read elsewhere (registry
// values of the local machine, file version texts) so that it can be checked anywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

using RegText = std::optional<std::wstring>;
using RegDword = std::optional<std::uint32_t>;

// HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion. A value that could not be read is empty.
struct NtVersionValues {
    bool Opened = false;
    RegText CurrentVersion;      // "4.0", "5.0", ... frozen at "6.3" from Windows 8.1 on
    RegText CurrentBuildNumber;
    RegText ProductName;         // still "Windows 10 ..." on Windows 11
    RegText DisplayVersion;      // "23H2" (Windows 10 20H2 and later)
    RegText ReleaseId;           // "1909" (older Windows 10)
    RegText CurrentBuild;
    RegDword CurrentMajorVersionNumber;  // Windows 10 and later
    RegDword CurrentMinorVersionNumber;
};

// HKLM\SOFTWARE\Microsoft\Internet Explorer
struct BrowserValues {
    bool Opened = false;
    RegText Version;
    RegText svcVersion;  // the real version of IE 10 and later, whose "Version" reads 9.1x
};

// HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion on the 9x family
struct Win9xValues {
    bool Opened = false;
    RegText Version;           // "Windows 98"
    RegText VersionNumber;     // "4.10.2222"
    RegText SubVersionNumber;  // " A "
    RegText PlusVersionNumber; // the value "Plus! VersionNumber"
};

struct OsRegistryValues {
    NtVersionValues Nt;
    BrowserValues Browser;
    Win9xValues Win9x;
};

struct SharedFileVersion {
    std::wstring Name;
    std::wstring Version;
};

// The report's first line: "OS:Windows ..." with the system's name, version and build,
// and on the NT family the browser version.
std::wstring BuildOsLine(bool isNT, const OsRegistryValues& values);

// One line of the file list: the name in a 12-character field, a TAB, the version text.
std::wstring FormatSharedFileLine(const SharedFileVersion& file);

// The whole report, lines separated by CR LF.
std::wstring BuildEnvironmentReport(bool isNT, const OsRegistryValues& values,
                                    const std::vector<SharedFileVersion>& files);

// The C runtime among a program's imported DLL names: "ucrtbase.dll" for the universal
// runtime (imported as api-ms-win-crt-*), an msvcrNN.dll, or msvcrt.dll; "msvcrt.dll"
// when none is imported (a runtime linked in statically still runs beside the system's).
std::wstring ChooseRuntimeLibrary(const std::vector<std::string>& importedDlls);

// The seven files of the report in order: the C runtime, the program's own library
// "hvplus.dll", then OLE32.DLL, COMDLG32.DLL, COMCTL32.DLL, MSCMCJP.DLL, MSCOMCTL.OCX.
inline constexpr wchar_t kProgramLibraryName[] = L"hvplus.dll";
std::vector<std::wstring> SharedFileNames(std::wstring_view runtimeLibrary);

// "Ver " + major + "." + minor of a version stored as major * 65536 + minor.
std::wstring VersionLabel(std::uint32_t appVersion);

}  // namespace hv
