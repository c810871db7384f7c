#include "settings/registry_store_win.h"

#include <vector>

namespace hv {

namespace {

HKEY ToHkey(SettingsKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

std::optional<StoredValue> QueryRegistryValue(HKEY key, std::wstring_view name, std::size_t maxBytes) {
    const std::wstring valueName(name);
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size);
    // The value may change between the size query and the read; a few rounds settle it.
    for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
        if (size > maxBytes) break;
        StoredValue value;
        value.data.resize(size + sizeof(wchar_t));
        DWORD got = static_cast<DWORD>(value.data.size());
        status = RegQueryValueExW(key, valueName.c_str(), nullptr, &type, value.data.data(), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;  // the value grew in between
            status = ERROR_SUCCESS;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        value.type = static_cast<ValueType>(type);
        value.data.resize(got);
        return value;
    }
    return std::nullopt;
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

bool RegistrySettingsStore::SetValue(SettingsKey key, std::wstring_view name, ValueType type,
                                     std::span<const std::uint8_t> data) {
    return RegSetValueExW(ToHkey(key), std::wstring(name).c_str(), 0, static_cast<DWORD>(type), data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool RegistrySettingsStore::DeleteSettingsValue(SettingsKey key, std::wstring_view name) {
    const LSTATUS status = RegDeleteValueW(ToHkey(key), std::wstring(name).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::optional<StoredValue> RegistrySettingsStore::QueryValue(SettingsKey key, std::wstring_view name,
                                                             std::size_t maxBytes) {
    if (key == kNoSettingsKey) return std::nullopt;
    return QueryRegistryValue(ToHkey(key), name, maxBytes);
}

std::wstring RegistryOldSettingsStore::ReadOldSetting(std::wstring_view section, std::wstring_view key,
                                                      std::wstring_view fallback) {
    std::wstring path = path_ + L"\\" + std::wstring(section);
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) {
        return std::wstring(fallback);
    }
    std::optional<StoredValue> value = QueryRegistryValue(handle, key, kMaxTextBytes);
    RegCloseKey(handle);
    return TextOr(value, fallback);
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
