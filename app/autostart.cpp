#include "app/autostart.h"

#include <algorithm>

namespace hv {

namespace {

wchar_t FoldCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Equal but for the case of their letters, as Windows compares paths and switches.
bool SameLetters(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b, [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

std::wstring_view Trim(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// The program a command line starts: the quoted first word, or the whole line when it
// is not quoted (an unquoted path may contain spaces, and Windows tries it whole).
std::wstring_view ProgramOf(std::wstring_view command) {
    command = Trim(command);
    if (command.empty() || command.front() != L'"') return command;
    command.remove_prefix(1);
    return command.substr(0, command.find(L'"'));
}

}  // namespace

std::wstring AutostartCommand(std::wstring_view programPath) {
    return L"\"" + std::wstring(programPath) + L"\" " + kAutostartSwitch;
}

bool StartedWithWindows(std::wstring_view commandLine) {
    // The program's path is the quoted first word, or else the first blank-delimited one.
    commandLine = Trim(commandLine);
    std::size_t end = commandLine.find_first_of(L" \t");
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const std::size_t quote = commandLine.find(L'"', 1);
        end = quote == std::wstring_view::npos ? quote : quote + 1;
    }
    if (end == std::wstring_view::npos) return false;
    return SameLetters(Trim(commandLine.substr(end)), kAutostartSwitch);
}

bool CommandStartsProgram(std::wstring_view command, std::wstring_view programPath) {
    const std::wstring_view program = ProgramOf(command);
    return !program.empty() && SameLetters(program, programPath);
}

bool StartupDisabledByUser(const std::vector<std::uint8_t>& approved) {
    return !approved.empty() && (approved[0] & 1) != 0;
}

bool AutostartTicked(const std::optional<std::wstring>& runCommand, const std::vector<std::uint8_t>& approved,
                     std::wstring_view programPath) {
    return runCommand && CommandStartsProgram(*runCommand, programPath) && !StartupDisabledByUser(approved);
}

}  // namespace hv
