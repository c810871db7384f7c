#include "util/version_text.h"

namespace hv {

std::vector<Translation> ParseTranslationTable(const void* data, std::size_t bytes) {
    std::vector<Translation> table;
    if (!data) return table;
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i + 4 <= bytes; i += 4) {
        Translation t;
        t.Language = static_cast<std::uint16_t>(p[i] | (p[i + 1] << 8));
        t.CodePage = static_cast<std::uint16_t>(p[i + 2] | (p[i + 3] << 8));
        table.push_back(t);
    }
    return table;
}

std::wstring StringBlockPath(Translation translation) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring path = L"\\StringFileInfo\\";
    for (std::uint16_t word : {translation.Language, translation.CodePage}) {
        for (int shift = 12; shift >= 0; shift -= 4) path += kHex[(word >> shift) & 0xF];
    }
    return path;
}

std::wstring FindStringBlock(const std::vector<Translation>& table,
                             const std::function<bool(const std::wstring&)>& blockExists) {
    for (Translation t : table) {
        std::wstring path = StringBlockPath(t);
        if (blockExists(path)) return path;
    }
    std::wstring fallback = StringBlockPath(kFallbackTranslation);
    if (blockExists(fallback)) return fallback;
    return {};
}

std::wstring VersionValueText(const wchar_t* value, std::size_t length) {
    if (!value) return {};
    std::size_t n = 0;
    while (n < length && value[n] != L'\0') ++n;
    return std::wstring(value, n);
}

}  // namespace hv
