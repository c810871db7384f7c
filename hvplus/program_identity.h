// Who the program is, in one place for the code and the resource scripts of both binaries:
// its title (the main window's, the notification-area tip's, every message box's, the product
// name of the versions) and the resource id of its icon.
#pragma once

#define HV_PROGRAM_TITLE "Horavox"
#define HV_PROGRAM_ICON_ID 1

#ifndef RC_INVOKED
namespace hv {

inline constexpr wchar_t kProgramTitle[] = L"" HV_PROGRAM_TITLE;
inline constexpr int kProgramIconId = HV_PROGRAM_ICON_ID;

}  // namespace hv
#endif
