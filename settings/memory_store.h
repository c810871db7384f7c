// A SettingsStore held in memory that behaves like the registry where the settings code
// can tell (missing keys, read-only handles, value types, case-insensitive names) and
// records every operation, so tests can check what was read and written, in which
// order, and that every key opened was closed again.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings_store.h"

namespace hv {

// Registry names compare without regard to ASCII case; lookups by view allocate nothing.
struct RegistryNameLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const;
};

class MemorySettingsStore : public SettingsStore {
public:
    using Value = StoredValue;

    enum class Op { Create, Open, Close, Set, Delete, Query };
    struct Operation {
        Op op;
        std::wstring subkey;  // as opened: "" or "\Alarm"; empty for Close of an unknown handle
        std::wstring name;    // value name; empty for key operations
        bool operator==(const Operation&) const = default;
    };

    StoreStatus CreateSettingsKey(std::wstring_view subkey, SettingsKey& key) override;
    StoreStatus OpenSettingsKey(std::wstring_view subkey, SettingsKey& key) override;
    void CloseSettingsKey(SettingsKey key) override;
    bool DeleteSettingsValue(SettingsKey key, std::wstring_view name) override;

    // Direct access for tests, bypassing the record of operations. Put creates the key.
    void Put(std::wstring_view subkey, std::wstring_view name, ValueType type, std::vector<std::uint8_t> data);
    void PutText(std::wstring_view subkey, std::wstring_view name, std::wstring_view text);
    void PutDword(std::wstring_view subkey, std::wstring_view name, std::uint32_t value);
    void PutBinary(std::wstring_view subkey, std::wstring_view name, std::vector<std::uint8_t> data);
    const Value* Find(std::wstring_view subkey, std::wstring_view name) const;
    std::optional<std::uint32_t> Dword(std::wstring_view subkey, std::wstring_view name) const;
    std::optional<std::wstring> Text(std::wstring_view subkey, std::wstring_view name) const;
    std::optional<std::vector<std::uint8_t>> Binary(std::wstring_view subkey, std::wstring_view name) const;
    bool HasKey(std::wstring_view subkey) const;
    std::size_t ValueCount(std::wstring_view subkey) const;

    // Makes every later create or open of `subkey` fail with `status`.
    void FailKey(std::wstring_view subkey, StoreStatus status) { failures_[std::wstring(subkey)] = status; }
    // Makes every later write or delete of value `name` under `subkey` fail (a full disk, a
    // policy); an empty name fails every value of the key (a key made read-only, the
    // registry's quota reached).
    void FailWrite(std::wstring_view subkey, std::wstring_view name) {
        failedWrites_.emplace_back(std::wstring(subkey), std::wstring(name));
    }
    // Every key opens and every value writes again.
    void ClearFailures() {
        failures_.clear();
        failedWrites_.clear();
    }

    const std::vector<Operation>& operations() const { return operations_; }
    void ClearOperations() { operations_.clear(); }
    // Off, operations are only counted (for long fuzzing runs).
    void SetRecording(bool on) { recording_ = on; }
    std::size_t OperationCount() const { return operationCount_; }
    std::size_t OpenKeyCount() const { return handles_.size(); }
    // Names of the values written (set or deleted) under `subkey`, in order.
    std::vector<std::wstring> WrittenNames(std::wstring_view subkey) const;

protected:
    bool SetValue(SettingsKey key, std::wstring_view name, ValueType type, std::span<const std::uint8_t> data) override;
    std::optional<StoredValue> QueryValue(SettingsKey key, std::wstring_view name, std::size_t maxBytes) override;

private:
    struct Handle {
        std::wstring subkey;  // as the caller spelled it
        bool writable = false;
    };
    using NameLess = RegistryNameLess;
    using Values = std::map<std::wstring, Value, NameLess>;

    static bool SameName(std::wstring_view a, std::wstring_view b);
    StoreStatus OpenKey(std::wstring_view subkey, bool create, SettingsKey& key);
    const Handle* Find(SettingsKey key) const;
    Values* WritableValues(SettingsKey key);
    bool WriteFails(SettingsKey key, std::wstring_view name) const;
    void Record(Op op, SettingsKey key, std::wstring_view name);

    std::map<std::wstring, Values, NameLess> keys_;  // subkey -> values
    std::map<std::wstring, StoreStatus, NameLess> failures_;
    std::vector<std::pair<std::wstring, std::wstring>> failedWrites_;  // subkey, value name
    std::map<SettingsKey, Handle> handles_;
    SettingsKey nextHandle_ = 0x100;
    std::vector<Operation> operations_;
    bool recording_ = true;
    std::size_t operationCount_ = 0;
};

}  // namespace hv
