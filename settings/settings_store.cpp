#include "settings/settings_store.h"

namespace hv {

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

}  // namespace hv
