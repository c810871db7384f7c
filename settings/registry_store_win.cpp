#include "settings/registry_store_win.h"

#include <algorithm>
#include <vector>

namespace hv {

namespace {

HKEY ToHkey(SettingsKey key) { return reinterpret_cast<HKEY>(key); }

// Value names reach the API NUL-terminated.
std::wstring Name(std::wstring_view name) { return std::wstring(name); }

}  // namespace

bool QueryRegistryText(HKEY key, const std::wstring& name, std::wstring& text) {
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    // The value may change between the size query and the read; a few rounds settle it.
    for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
        if (!IsTextType(static_cast<ValueType>(type))) return false;
        std::vector<std::uint8_t> data(size + sizeof(wchar_t));
        DWORD got = static_cast<DWORD>(data.size());
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;  // the value grew in between
            status = ERROR_SUCCESS;
            continue;
        }
        if (status != ERROR_SUCCESS || !IsTextType(static_cast<ValueType>(type))) return false;
        data.resize(got);
        text = DecodeRegistryText(data);
        return true;
    }
    return false;
}

StoreStatus RegistrySettingsStore::CreateSettingsKey(std::wstring_view subkey, SettingsKey& key) {
    std::wstring path = basePath_ + std::wstring(subkey);
    HKEY handle = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, &handle, nullptr);
    key = status == ERROR_SUCCESS ? reinterpret_cast<SettingsKey>(handle) : kNoSettingsKey;
    return static_cast<StoreStatus>(status);
}

StoreStatus RegistrySettingsStore::OpenSettingsKey(std::wstring_view subkey, SettingsKey& key) {
    std::wstring path = basePath_ + std::wstring(subkey);
    HKEY handle = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &handle);
    key = status == ERROR_SUCCESS ? reinterpret_cast<SettingsKey>(handle) : kNoSettingsKey;
    return static_cast<StoreStatus>(status);
}

void RegistrySettingsStore::CloseSettingsKey(SettingsKey key) {
    if (key != kNoSettingsKey) RegCloseKey(ToHkey(key));
}

void RegistrySettingsStore::SetTextValue(SettingsKey key, std::wstring_view name, std::wstring_view text) {
    std::wstring data(text);
    RegSetValueExW(ToHkey(key), Name(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

void RegistrySettingsStore::SetBinaryValue(SettingsKey key, std::wstring_view name,
                                           std::span<const std::uint8_t> bytes) {
    RegSetValueExW(ToHkey(key), Name(name).c_str(), 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void RegistrySettingsStore::SetDwordValue(SettingsKey key, std::wstring_view name, std::uint32_t value) {
    DWORD data = value;
    RegSetValueExW(ToHkey(key), Name(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                   sizeof(data));
}

void RegistrySettingsStore::DeleteSettingsValue(SettingsKey key, std::wstring_view name) {
    RegDeleteValueW(ToHkey(key), Name(name).c_str());
}

std::wstring RegistrySettingsStore::GetTextValue(SettingsKey key, std::wstring_view name,
                                                 std::wstring_view fallback) {
    std::wstring text;
    if (key == kNoSettingsKey || !QueryRegistryText(ToHkey(key), Name(name), text)) return std::wstring(fallback);
    return text;
}

void RegistrySettingsStore::GetBinaryValue(SettingsKey key, std::wstring_view name, std::span<std::uint8_t> bytes) {
    if (key == kNoSettingsKey) return;
    // Read into a copy: a failed or too-long read must leave the caller's bytes alone.
    std::vector<std::uint8_t> data(bytes.size());
    DWORD size = static_cast<DWORD>(data.size());
    if (RegQueryValueExW(ToHkey(key), Name(name).c_str(), nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) {
        return;
    }
    std::copy(data.begin(), data.begin() + size, bytes.begin());
}

std::uint32_t RegistrySettingsStore::GetDwordValue(SettingsKey key, std::wstring_view name, std::uint32_t fallback) {
    if (key == kNoSettingsKey) return fallback;
    DWORD value = 0;
    DWORD size = sizeof(value);
    LSTATUS status = RegQueryValueExW(ToHkey(key), Name(name).c_str(), nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(&value), &size);
    return status == ERROR_SUCCESS && size == sizeof(value) ? value : fallback;
}

std::wstring RegistryOldSettingsStore::ReadOldSetting(std::wstring_view section, std::wstring_view key,
                                                      std::wstring_view fallback) {
    std::wstring path = path_ + L"\\" + std::wstring(section);
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) {
        return std::wstring(fallback);
    }
    std::wstring text;
    bool found = QueryRegistryText(handle, std::wstring(key), text);
    RegCloseKey(handle);
    return found ? text : std::wstring(fallback);
}

// The application's key with all its sections; the folder above it belongs to every
// program that used that store and stays.
void RegistryOldSettingsStore::DeleteOldSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

bool MessageBoxPrompt::AskYesNo(std::wstring_view title, std::wstring_view text) {
    std::wstring caption(title);
    std::wstring body(text);
    return MessageBoxW(owner_, body.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace hv
