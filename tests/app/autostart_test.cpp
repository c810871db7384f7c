#include "app/autostart.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

constexpr wchar_t kProgram[] = L"C:\\Users\\Aki\\AppData\\Local\\Programs\\Horavox\\Horavx.exe";

TEST(Autostart, TheRunCommandIsTheQuotedPathAndNamesThisProgramOnly) {
    EXPECT_EQ(AutostartCommand(kProgram), std::wstring(L"\"") + kProgram + L"\" /autostart");
    const struct {
        const wchar_t* command;
        bool starts;
    } cases[] = {
        {L"\"C:\\Users\\Aki\\AppData\\Local\\Programs\\Horavox\\Horavx.exe\"", true},
        {L"  \"c:\\users\\aki\\appdata\\local\\programs\\horavox\\HORAVX.EXE\" /minimized", true},
        {L"C:\\Users\\Aki\\AppData\\Local\\Programs\\Horavox\\Horavx.exe", true},  // unquoted, as typed by hand
        {L"\"D:\\Tools\\Horavox\\Horavx.exe\"", false},                            // another copy
        {L"\"C:\\Users\\Aki\\AppData\\Local\\Programs\\Horavox\\Horavx.exe.bak\"", false},
        {L"\"C:\\Users\\Aki\\AppData\\Local\\Programs\\Horavox\\Horavx", false},     // quote never closed
        {L"", false},
        {L"\"\"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(CommandStartsProgram(c.command, kProgram), c.starts) << c.command;
}

TEST(Autostart, OnlyTheSwitchAfterTheProgramsPathTellsAStartWithWindows) {
    const struct {
        const wchar_t* commandLine;
        bool withWindows;
    } cases[] = {
        {L"\"C:\\Horavox\\Horavx.exe\" /autostart", true},  // what the Run value holds
        {L"\"C:\\Horavox\\Horavx.exe\"  /AutoStart ", true},
        {L"C:\\Horavox\\Horavx.exe /autostart", true},        // unquoted
        {L"\"C:\\Horavox\\Horavx.exe\"", false},             // an older Run value, the Start menu
        {L"\"C:\\Horavox\\Horavx.exe\" /autostart2", false},
        {L"\"C:\\a /autostart\\Horavx.exe\"", false},        // inside the path
        {L"\"C:\\Horavox\\Horavx.exe /autostart", false},    // quote never closed
        {L"/autostart", false},                                // the program's own word
    };
    for (const auto& c : cases) EXPECT_EQ(StartedWithWindows(c.commandLine), c.withWindows) << c.commandLine;
}

TEST(Autostart, TickedWhenTheRunValueStartsThisProgramAndTheStartupListDoesNotSwitchItOff) {
    const std::optional<std::wstring> ours = AutostartCommand(kProgram), other = L"\"D:\\Horavx.exe\"";
    const std::vector<std::uint8_t> none, on{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, on6{6, 0, 0, 0},
        off{3, 0, 0, 0, 0x10, 0x22, 0x7c, 0x4e, 0x51, 0x5d, 0xd9, 0x01}, off7{7};
    const struct {
        std::optional<std::wstring> run;
        std::vector<std::uint8_t> approved;
        bool ticked;
    } cases[] = {
        {std::nullopt, none, false}, {std::nullopt, on, false}, {ours, none, true}, {ours, on, true},
        {ours, on6, true},           {ours, off, false},        {ours, off7, false}, {other, none, false},
    };
    for (const auto& c : cases) EXPECT_EQ(AutostartTicked(c.run, c.approved, kProgram), c.ticked);
}

}  // namespace
}  // namespace hv
