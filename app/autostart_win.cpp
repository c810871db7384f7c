#include "app/autostart_win.h"

#include <windows.h>

#include "app/autostart.h"
#include "hvplus/module_paths_win.h"

namespace hv {

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

std::optional<std::wstring> ReadRunCommand() {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kAutostartValueName, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ |
                     RRF_NOEXPAND, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kAutostartValueName, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ |
                     RRF_NOEXPAND, nullptr, text.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(text.find(L'\0'));
    return text;
}

std::vector<std::uint8_t> ReadApproved() {
    std::vector<std::uint8_t> bytes(64);
    DWORD size = static_cast<DWORD>(bytes.size());
    if (RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, kAutostartValueName, RRF_RT_REG_BINARY, nullptr, bytes.data(),
                     &size) != ERROR_SUCCESS)
        return {};
    bytes.resize(size);
    return bytes;
}

// Missing is as good as deleted.
bool DeleteValue(const wchar_t* keyName) {
    const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, keyName, kAutostartValueName);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace

std::wstring RunningProgramPath() {
    static const std::wstring path = ModulePath(nullptr);  // the same for the whole run
    return path;
}

bool IsAutostartOn(const std::wstring& programPath) {
    return AutostartTicked(ReadRunCommand(), ReadApproved(), programPath);
}

bool SetAutostart(const std::wstring& programPath, bool on) {
    if (!on) return DeleteValue(kRunKey) && DeleteValue(kApprovedKey);
    const std::wstring command = AutostartCommand(programPath);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS status =
        RegSetValueExW(key, kAutostartValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    // Without an entry in the start-up list the Run value counts as switched on.
    return status == ERROR_SUCCESS && DeleteValue(kApprovedKey);
}

}  // namespace hv
