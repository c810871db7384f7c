#include "util/hotkey_text.h"

#include <array>
#include <cwchar>
#include <utility>

namespace hv {
namespace {

// Keys with names of their own (the rest: letters and digits as themselves, F1..F24).
constexpr std::array<std::pair<int, const wchar_t*>, 22> kKeyNames{{
    {0x08, L"Backspace"}, {0x09, L"Tab"}, {0x0D, L"Enter"}, {0x13, L"Pause"}, {0x1B, L"Esc"}, {0x20, L"Space"},
    {0x21, L"PageUp"}, {0x22, L"PageDown"}, {0x23, L"End"}, {0x24, L"Home"}, {0x25, L"Left"}, {0x26, L"Up"},
    {0x27, L"Right"}, {0x28, L"Down"}, {0x2D, L"Insert"}, {0x2E, L"Delete"}, {0x6A, L"Num *"}, {0x6B, L"Num +"},
    {0x6D, L"Num -"}, {0x6E, L"Num ."}, {0x6F, L"Num /"}, {0x91, L"ScrollLock"}}};

std::wstring KeyName(int vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::wstring(1, static_cast<wchar_t>(vk));
    if (vk >= 0x60 && vk <= 0x69) return L"Num " + std::to_wstring(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87) return L"F" + std::to_wstring(vk - 0x6F);
    for (const auto& [key, name] : kKeyNames)
        if (key == vk) return name;
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%02X", vk);
    return text;
}

}  // namespace

std::wstring HotkeyText(std::uint16_t hotkey) {
    const int vk = hotkey & 0xFF;
    if (vk == 0) return L"";
    std::wstring text;
    if (hotkey & 0x200) text += L"Ctrl+";
    if (hotkey & 0x100) text += L"Shift+";
    if (hotkey & 0x400) text += L"Alt+";
    return text + KeyName(vk);
}

}  // namespace hv
