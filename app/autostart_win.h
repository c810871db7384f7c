// The Run key and the start-up list of the current user, for the setup menu's item
// "Windows の起動時に実行" (the portable rules are in app/autostart.h).
#pragma once

#include <string>

namespace hv {

// The full path of the running program.
std::wstring RunningProgramPath();

// Whether Windows starts `programPath` at sign-in (Run value present, naming it, and not
// switched off in the Task Manager's start-up list).
bool IsAutostartOn(const std::wstring& programPath);

// On: the Run value names `programPath`, and a switch-off in the start-up list is
// cleared. Off: the Run value and its start-up list entry are removed. False when the
// registry refused the change.
bool SetAutostart(const std::wstring& programPath, bool on);

}  // namespace hv
