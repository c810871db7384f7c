// Starting with Windows: the value "Horavox" under the user's Run key holds the quoted
// program path and the switch that tells the program it starts with Windows (it shows no
// splash then). The setting lives there only, not among the program's own settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

inline constexpr wchar_t kAutostartValueName[] = L"Horavox";
inline constexpr wchar_t kAutostartSwitch[] = L"/autostart";

// What the Run value holds for this program: its path in quotes, then kAutostartSwitch.
std::wstring AutostartCommand(std::wstring_view programPath);

// Whether the program's command line (GetCommandLineW) carries kAutostartSwitch after the
// program's own path, letters compared without case.
bool StartedWithWindows(std::wstring_view commandLine);

// Whether a Run command starts the program at `programPath`: its first word (quoted or
// not) names the same file, letters compared without case as Windows does for paths.
bool CommandStartsProgram(std::wstring_view command, std::wstring_view programPath);

// The Task Manager's start-up list keeps, per Run value, a flag in the first byte of a
// binary value under StartupApproved\Run: an odd byte means the user switched it off.
bool StartupDisabledByUser(const std::vector<std::uint8_t>& approved);

// The menu item's tick: the Run value starts this program and the user has not switched
// it off in the start-up list.
bool AutostartTicked(const std::optional<std::wstring>& runCommand, const std::vector<std::uint8_t>& approved,
                     std::wstring_view programPath);

}  // namespace hv
