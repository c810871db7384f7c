#include "app/autostart_win.h"

#include <windows.h>

#include "app/autostart.h"
#include "hvplus/module_paths_win.h"
#include "settings/registry_store_win.h"

namespace hv {

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// The value as the registry holds it, read the bounded way the settings are read; nothing
// when the key or the value is missing or longer than `maxBytes`.
std::optional<StoredValue> ReadValue(const wchar_t* keyName, std::size_t maxBytes) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    std::optional<StoredValue> value = QueryRegistryValue(key, kAutostartValueName, maxBytes);
    RegCloseKey(key);
    return value;
}

// A REG_EXPAND_SZ command is compared as written, not expanded.
std::optional<std::wstring> ReadRunCommand() {
    const std::optional<StoredValue> value = ReadValue(kRunKey, kMaxTextBytes);
    if (!value || !IsTextType(value->type)) return std::nullopt;
    return DecodeRegistryText(value->data);
}

std::vector<std::uint8_t> ReadApproved() {
    const std::optional<StoredValue> value = ReadValue(kApprovedKey, 64);
    return value && value->type == ValueType::Binary ? value->data : std::vector<std::uint8_t>{};
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
