// What Windows says of the user, for the announcement's focus rule: the shell's notification
// state and, where Windows has it, the notification setting (do not disturb).
#pragma once

#include <optional>

#include "app/tick_decisions.h"

namespace hv {

// The shell's notification state (SHQueryUserNotificationState; Unknown when it fails) and,
// unless that asks for quiet already, the notification setting (WithNotificationMode).
UserFocus ReadUserFocus();

// The user's notification mode (ToastNotificationMode of the default toast notification
// manager, Windows 11); empty where the system has no such setting or it cannot be read.
std::optional<int> ReadNotificationMode();

}  // namespace hv
