// The text of the key that speaks the time, as the menu and the messages show it.
#include "util/hotkey_text.h"

#include <gtest/gtest.h>

#include <utility>

namespace hv {
namespace {

TEST(Hotkey, TextNamesModifiersInWindowsOrderAndTheKey) {
    const std::pair<std::uint16_t, const wchar_t*> cases[] = {
        {0x0654, L"Ctrl+Alt+T"}, {0x0770, L"Ctrl+Shift+Alt+F1"}, {0x0130, L"Shift+0"}, {0x0487, L"Alt+F24"},
        {0x0260, L"Ctrl+Num 0"}, {0x0620, L"Ctrl+Alt+Space"},    {0x02BA, L"Ctrl+0xBA"}, {0x0600, L""},
        {0x0000, L""}};
    for (const auto& [hotkey, text] : cases) EXPECT_EQ(HotkeyText(hotkey), text) << std::hex << hotkey;
}

}  // namespace
}  // namespace hv
