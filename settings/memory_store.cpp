#include "settings/memory_store.h"

#include <algorithm>

namespace hv {

namespace {

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::vector<std::uint8_t> LittleEndian(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::uint32_t FromLittleEndian(const std::vector<std::uint8_t>& d) {
    return static_cast<std::uint32_t>(d[0]) | (static_cast<std::uint32_t>(d[1]) << 8) |
           (static_cast<std::uint32_t>(d[2]) << 16) | (static_cast<std::uint32_t>(d[3]) << 24);
}

}  // namespace

bool RegistryNameLess::operator()(std::wstring_view a, std::wstring_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return FoldAscii(x) < FoldAscii(y); });
}

bool MemorySettingsStore::SameName(std::wstring_view a, std::wstring_view b) {
    NameLess less;
    return !less(a, b) && !less(b, a);
}

void MemorySettingsStore::Record(Op op, SettingsKey key, std::wstring_view name) {
    ++operationCount_;
    if (!recording_) return;
    const Handle* handle = Find(key);
    operations_.push_back({op, handle ? handle->subkey : std::wstring(), std::wstring(name)});
}

StoreStatus MemorySettingsStore::OpenKey(std::wstring_view subkey, bool create, SettingsKey& key) {
    key = kNoSettingsKey;
    ++operationCount_;
    if (recording_) operations_.push_back({create ? Op::Create : Op::Open, std::wstring(subkey), {}});
    if (auto failure = failures_.find(subkey); failure != failures_.end()) return failure->second;
    if (keys_.find(subkey) == keys_.end()) {
        if (!create) return kStoreFileNotFound;
        // Like the registry, creating a subkey creates the keys above it.
        keys_[L""];
        for (std::size_t slash = subkey.find(L'\\', 1); slash != std::wstring_view::npos;
             slash = subkey.find(L'\\', slash + 1)) {
            keys_[std::wstring(subkey.substr(0, slash))];
        }
        keys_[std::wstring(subkey)];
    }
    key = nextHandle_++;
    handles_[key] = Handle{std::wstring(subkey), create};
    return kStoreSuccess;
}

StoreStatus MemorySettingsStore::CreateSettingsKey(std::wstring_view subkey, SettingsKey& key) {
    return OpenKey(subkey, true, key);
}

StoreStatus MemorySettingsStore::OpenSettingsKey(std::wstring_view subkey, SettingsKey& key) {
    return OpenKey(subkey, false, key);
}

void MemorySettingsStore::CloseSettingsKey(SettingsKey key) {
    Record(Op::Close, key, {});
    handles_.erase(key);
}

const MemorySettingsStore::Handle* MemorySettingsStore::Find(SettingsKey key) const {
    auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

MemorySettingsStore::Values* MemorySettingsStore::WritableValues(SettingsKey key) {
    const Handle* handle = Find(key);
    if (!handle || !handle->writable) return nullptr;  // the registry refuses writes through a query-only key
    return &keys_[handle->subkey];
}

bool MemorySettingsStore::SetValue(SettingsKey key, std::wstring_view name, ValueType type,
                                   std::span<const std::uint8_t> data) {
    Record(Op::Set, key, name);
    Values* values = WritableValues(key);
    if (!values || WriteFails(key, name)) return false;
    (*values)[std::wstring(name)] = {type, {data.begin(), data.end()}};
    return true;
}

bool MemorySettingsStore::WriteFails(SettingsKey key, std::wstring_view name) const {
    for (const auto& [subkey, failing] : failedWrites_)
        if (SameName(subkey, Find(key)->subkey) && (failing.empty() || SameName(failing, name))) return true;
    return false;
}

bool MemorySettingsStore::DeleteSettingsValue(SettingsKey key, std::wstring_view name) {
    Record(Op::Delete, key, name);
    Values* values = WritableValues(key);
    if (!values || WriteFails(key, name)) return false;
    if (auto it = values->find(name); it != values->end()) values->erase(it);
    return true;
}

std::optional<StoredValue> MemorySettingsStore::QueryValue(SettingsKey key, std::wstring_view name,
                                                           std::size_t maxBytes) {
    Record(Op::Query, key, name);
    const Handle* handle = Find(key);
    const Value* value = handle ? Find(handle->subkey, name) : nullptr;
    if (!value || value->data.size() > maxBytes) return std::nullopt;
    return *value;
}

void MemorySettingsStore::Put(std::wstring_view subkey, std::wstring_view name, ValueType type,
                              std::vector<std::uint8_t> data) {
    keys_[L""];
    Values& values = keys_[std::wstring(subkey)];
    if (auto it = values.find(name); it != values.end()) values.erase(it);  // the name takes the new spelling
    values.emplace(std::wstring(name), Value{type, std::move(data)});
}

void MemorySettingsStore::PutText(std::wstring_view subkey, std::wstring_view name, std::wstring_view text) {
    Put(subkey, name, ValueType::Text, EncodeRegistryText(text));
}

void MemorySettingsStore::PutDword(std::wstring_view subkey, std::wstring_view name, std::uint32_t value) {
    Put(subkey, name, ValueType::Dword, LittleEndian(value));
}

void MemorySettingsStore::PutBinary(std::wstring_view subkey, std::wstring_view name, std::vector<std::uint8_t> data) {
    Put(subkey, name, ValueType::Binary, std::move(data));
}

const MemorySettingsStore::Value* MemorySettingsStore::Find(std::wstring_view subkey, std::wstring_view name) const {
    auto values = keys_.find(subkey);
    if (values == keys_.end()) return nullptr;
    auto it = values->second.find(name);
    return it == values->second.end() ? nullptr : &it->second;
}

std::optional<std::uint32_t> MemorySettingsStore::Dword(std::wstring_view subkey, std::wstring_view name) const {
    const Value* value = Find(subkey, name);
    if (!value || value->type != ValueType::Dword || value->data.size() != 4) return std::nullopt;
    return FromLittleEndian(value->data);
}

std::optional<std::wstring> MemorySettingsStore::Text(std::wstring_view subkey, std::wstring_view name) const {
    const Value* value = Find(subkey, name);
    if (!value || value->type != ValueType::Text) return std::nullopt;
    return DecodeRegistryText(value->data);
}

std::optional<std::vector<std::uint8_t>> MemorySettingsStore::Binary(std::wstring_view subkey,
                                                                     std::wstring_view name) const {
    const Value* value = Find(subkey, name);
    if (!value || value->type != ValueType::Binary) return std::nullopt;
    return value->data;
}

bool MemorySettingsStore::HasKey(std::wstring_view subkey) const { return keys_.find(subkey) != keys_.end(); }

std::size_t MemorySettingsStore::ValueCount(std::wstring_view subkey) const {
    auto values = keys_.find(subkey);
    return values == keys_.end() ? 0 : values->second.size();
}

std::vector<std::wstring> MemorySettingsStore::WrittenNames(std::wstring_view subkey) const {
    std::vector<std::wstring> names;
    for (const Operation& op : operations_) {
        if ((op.op == Op::Set || op.op == Op::Delete) && SameName(op.subkey, subkey)) names.push_back(op.name);
    }
    return names;
}

}  // namespace hv
