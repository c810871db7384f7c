// Times and keys as text: what the hour and minute boxes take, the "HH:MM" spoken, a hotkey.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "util/hotkey_text.h"
#include "util/time_field.h"

namespace hv {
namespace {

TEST(TimeFieldTest, TimeBoxesTakeNumbersRoundedHalfToEvenWithinTheirRange) {
    const struct {
        const wchar_t* text;
        int maximum;
        std::optional<int> taken;
    } cases[] = {
        {L"5", 23, 5},        {L"05", 23, 5},        {L" 7 ", 23, 7},      {L"1.6", 23, 2},
        {L"2.5", 23, 2},      {L"3.5", 23, 4},       {L"23.5", 23, {}},    {L"22.5", 23, 22},
        {L"-0.4", 23, 0},     {L"-1", 23, {}},       {L"24", 23, {}},      {L"59", 59, 59},
        {L"60", 59, {}},      {L"1e1", 23, 10},      {L".5", 23, 0},       {L"+3", 23, 3},
        {L"", 23, {}},        {L"abc", 23, {}},      {L"7x", 23, {}},      {L"0x10", 23, {}},
        {L"inf", 23, {}},     {L"nan", 23, {}},      {L"--1", 23, {}},     {L"1 2", 23, {}},
        {L"32768", 59, {}},   {L"99999999999", 59, {}},                    {L"１２", 23, 12},
        {L"\x3000２３", 23, 23},  {L"１．５", 23, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadTimeField(c.text, c.maximum), c.taken) << c.text;
}

TEST(TimeFieldTest, TheSpokenTimeHasTwoDigitsEach) {
    EXPECT_EQ(std::tuple(TimeText(13, 7), TimeText(0, 0), TimeText(23, 59)), std::tuple("13:07", "00:00", "23:59"));
}

TEST(Hotkey, TextNamesModifiersInWindowsOrderAndTheKey) {
    const std::pair<std::uint16_t, const wchar_t*> cases[] = {
        {0x0654, L"Ctrl+Alt+T"}, {0x0770, L"Ctrl+Shift+Alt+F1"}, {0x0130, L"Shift+0"}, {0x0487, L"Alt+F24"},
        {0x0260, L"Ctrl+Num 0"}, {0x0620, L"Ctrl+Alt+Space"},    {0x02BA, L"Ctrl+0xBA"}, {0x0600, L""}};
    for (const auto& [hotkey, text] : cases) EXPECT_EQ(HotkeyText(hotkey), text) << std::hex << hotkey;
}

}  // namespace
}  // namespace hv
