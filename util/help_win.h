// Help: the pages in the folder "Horavx" beside the program, shown in the user's browser.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "util/system_info.h"

namespace hv {

// Opens the page of a help context (3 announcement, 7 alarm, 11 appearance; an unknown
// context opens the topic list). A page that is missing or cannot be opened is reported
// in a message box owned by `owner`.
void ShowHelpTopic(HWND owner, const SystemInfo& info, std::uint32_t context);

// Opens the topic list (the help menu's topic finder).
void ShowHelpTopicList(HWND owner, const SystemInfo& info);

// Opens one page with the shell; false, without any message, when the file is missing
// or the shell cannot open it.
bool OpenHelpPage(HWND owner, const std::wstring& path);

}  // namespace hv
