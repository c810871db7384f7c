// The text of a key combination as menus and messages show it. Portable.
#pragma once

#include <cstdint>
#include <string>

namespace hv {

// "Ctrl+Alt+T" for a hotkey value (bits 0-7 the virtual key, bit 8 Shift, 9 Ctrl, 10 Alt);
// "" for none. Keys this program has no name for read as their virtual-key number.
std::wstring HotkeyText(std::uint16_t hotkey);

}  // namespace hv
