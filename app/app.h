// The application object: the process-wide records, owned in one place and passed by
// reference to whoever needs them (no mutable globals).
#pragma once

#include "app/system_info.h"

namespace hv {

class HvplusLibrary;

struct App {
    SystemInfo system;
    HvplusLibrary* hvplus = nullptr;  // bound by name on first use
};

}  // namespace hv
