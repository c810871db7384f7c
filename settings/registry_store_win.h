// The settings store over the per-user registry, the previous version's settings store,
// and the migration question as a message box. Start-up brings the settings in with
//
//     hv::RegistrySettingsStore store;
//     hv::RegistryOldSettingsStore old;
//     hv::MessageBoxPrompt prompt(splash);
//     hv::MigratePreviousSettings(store, old, prompt);
//     hv::LoadSettings(store, settings, hv::TranslucencyAvailable(system));
//
// and the dialogs save their group through a RegistrySettingsStore of their own (it
// holds no open key, so any number may exist).
#pragma once

#include <windows.h>

#include <string>

#include "settings/migration.h"
#include "settings/settings_store.h"

namespace hv {

// Keys below HKEY_CURRENT_USER\<basePath>. Texts are REG_SZ through the wide API, so any
// text survives whatever the system code page, and a text written by the ANSI API reads
// back as the system converted it.
class RegistrySettingsStore : public SettingsStore {
public:
    explicit RegistrySettingsStore(std::wstring basePath = kSettingsBasePath) : basePath_(std::move(basePath)) {}

    StoreStatus CreateSettingsKey(std::wstring_view subkey, SettingsKey& key) override;
    StoreStatus OpenSettingsKey(std::wstring_view subkey, SettingsKey& key) override;
    void CloseSettingsKey(SettingsKey key) override;
    bool DeleteSettingsValue(SettingsKey key, std::wstring_view name) override;

protected:
    bool SetValue(SettingsKey key, std::wstring_view name, ValueType type, std::span<const std::uint8_t> data) override;
    std::optional<StoredValue> QueryValue(SettingsKey key, std::wstring_view name, std::size_t maxBytes) override;

private:
    std::wstring basePath_;
};

// HKEY_CURRENT_USER\<path>\<section>, every value a REG_SZ text.
class RegistryOldSettingsStore : public OldSettingsStore {
public:
    explicit RegistryOldSettingsStore(std::wstring path = kOldSettingsPath) : path_(std::move(path)) {}

    std::wstring ReadOldSetting(std::wstring_view section, std::wstring_view key, std::wstring_view fallback) override;
    void DeleteOldSettings() override;

private:
    std::wstring path_;
};

// Yes/No with the question icon, modal to `owner` (may be null).
class MessageBoxPrompt : public ConfirmationPrompt {
public:
    explicit MessageBoxPrompt(HWND owner = nullptr) : owner_(owner) {}
    bool AskYesNo(std::wstring_view title, std::wstring_view text) override;

private:
    HWND owner_;
};

// A value of at most `maxBytes` from an open key; nothing when it is missing, cannot be read or
// is longer. The size is asked first, so a damaged value of any size costs no allocation.
std::optional<StoredValue> QueryRegistryValue(HKEY key, std::wstring_view name, std::size_t maxBytes);

}  // namespace hv
