#include "settings/settings_store.h"

#include <algorithm>

namespace hv {

bool SettingsStore::SetTextValue(SettingsKey key, std::wstring_view name, std::wstring_view text) {
    return SetValue(key, name, ValueType::Text, EncodeRegistryText(text));
}

bool SettingsStore::SetBinaryValue(SettingsKey key, std::wstring_view name, std::span<const std::uint8_t> bytes) {
    return SetValue(key, name, ValueType::Binary, bytes);
}

bool SettingsStore::SetDwordValue(SettingsKey key, std::wstring_view name, std::uint32_t value) {
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                  static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return SetValue(key, name, ValueType::Dword, bytes);
}

std::wstring SettingsStore::GetTextValue(SettingsKey key, std::wstring_view name, std::wstring_view fallback) {
    return TextOr(QueryValue(key, name, kMaxTextBytes), fallback);
}

void SettingsStore::GetBinaryValue(SettingsKey key, std::wstring_view name, std::span<std::uint8_t> bytes) {
    std::optional<StoredValue> value = QueryValue(key, name, bytes.size());
    if (!value || value->data.size() > bytes.size()) return;
    std::copy(value->data.begin(), value->data.end(), bytes.begin());
}

std::uint32_t SettingsStore::GetDwordValue(SettingsKey key, std::wstring_view name, std::uint32_t fallback) {
    std::optional<StoredValue> value = QueryValue(key, name, 4);
    if (!value || value->data.size() != 4) return fallback;
    const std::vector<std::uint8_t>& d = value->data;
    return static_cast<std::uint32_t>(d[0]) | (static_cast<std::uint32_t>(d[1]) << 8) |
           (static_cast<std::uint32_t>(d[2]) << 16) | (static_cast<std::uint32_t>(d[3]) << 24);
}

std::wstring TrimAtNul(std::wstring_view text) {
    std::size_t nul = text.find(L'\0');
    if (nul == std::wstring_view::npos) return {};
    return std::wstring(text.substr(0, nul));
}

std::vector<std::uint8_t> EncodeRegistryText(std::wstring_view text) {
    std::vector<std::uint8_t> data;
    data.reserve((text.size() + 1) * 2);
    for (wchar_t c : text) {
        auto unit = static_cast<std::uint16_t>(c);
        data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        data.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

std::wstring DecodeRegistryText(std::span<const std::uint8_t> data) {
    std::wstring text;
    text.reserve(data.size() / 2);
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        auto unit = static_cast<std::uint16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0) break;
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

bool IsTextType(ValueType type) {
    return type == ValueType::Text || type == ValueType::ExpandText || type == ValueType::MultiText;
}

std::wstring TextOr(const std::optional<StoredValue>& value, std::wstring_view fallback) {
    if (!value || !IsTextType(value->type)) return std::wstring(fallback);
    return DecodeRegistryText(value->data);
}

}  // namespace hv
