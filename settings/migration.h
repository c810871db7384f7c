// Conversion of the previous version's settings. That version kept every setting as a
// text in the per-user application settings store, application "Horavox", sections
// "Others", "Window", "Talk" and "Alarm1" ... "Alarm9". At a start that finds them, before
// the settings are loaded, the old texts are converted into the current values once, and the
// user is asked whether the old ones may go; "No" keeps them, and the question (only the
// question) comes back at each start until it is answered Yes. Its record in the store:
// Migrated and MigrationPending (settings/settings_schema.h).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/memory_store.h"
#include "settings/settings_store.h"

namespace hv {

// Below HKEY_CURRENT_USER, one subkey per section, every value a REG_SZ text.
inline constexpr wchar_t kOldSettingsPath[] = L"Software\\VB and VBA Program Settings\\Horavox";

class OldSettingsStore {
public:
    virtual ~OldSettingsStore() = default;
    // The stored text, or `fallback` when the value is missing.
    virtual std::wstring ReadOldSetting(std::wstring_view section, std::wstring_view key,
                                        std::wstring_view fallback) = 0;
    // Removes every section at once.
    virtual void DeleteOldSettings() = 0;
};

// A yes/no question to the user; true for Yes.
class ConfirmationPrompt {
public:
    virtual ~ConfirmationPrompt() = default;
    virtual bool AskYesNo(std::wstring_view title, std::wstring_view text) = 0;
};

inline constexpr wchar_t kMigrationQuestionTitle[] = L"削除の確認";
// The question for old settings of version `oldVersion`.
std::wstring MigrationQuestionText(std::wstring_view oldVersion);

// Converts (unless done before) and asks, or does nothing when there are no old settings.
// Nothing is asked, and nothing deleted, while a key cannot be created or a write fails; a
// conversion cut short goes on at the next start with what it has not yet stored.
void MigratePreviousSettings(SettingsStore& store, OldSettingsStore& old, ConfirmationPrompt& prompt);

// The program has just stored `names` through `key` (opened for writing): a conversion
// still under way leaves them to the user. False when its list could not be rewritten.
bool ForgetPendingConversion(SettingsStore& store, SettingsKey key, std::span<const std::wstring> names);

// An old text as a number: decimal with optional sign, fraction and exponent, "&H" hex,
// or "True"/"False" (-1/0), surrounded by optional spaces. Anything else is not a number.
std::optional<double> ParseOldNumber(std::wstring_view text);

// An old store in memory, for tests. Section and key names are case-insensitive.
class MemoryOldSettingsStore : public OldSettingsStore {
public:
    std::wstring ReadOldSetting(std::wstring_view section, std::wstring_view key, std::wstring_view fallback) override;
    void DeleteOldSettings() override;

    void Put(std::wstring_view section, std::wstring_view key, std::wstring_view text);
    bool empty() const { return sections_.empty(); }
    int deleteCount() const { return deleteCount_; }

private:
    std::map<std::wstring, std::map<std::wstring, std::wstring, RegistryNameLess>, RegistryNameLess> sections_;
    int deleteCount_ = 0;
};

}  // namespace hv
