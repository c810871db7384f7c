// The pieces of the file version query that do not need the platform: reading the
// translation table, naming string blocks and choosing the block the version is read from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hv {

inline constexpr wchar_t kUnknownVersion[] = L"Unknown";

struct Translation {
    std::uint16_t Language = 0;
    std::uint16_t CodePage = 0;
};

// US English with the Western European code page: the block tried when the table names none.
inline constexpr Translation kFallbackTranslation{0x0409, 0x04E4};

// Entries of a "\VarFileInfo\Translation" value: 4 bytes each, the language id in the low
// word and the code page in the high word, little-endian. A trailing partial entry is ignored.
std::vector<Translation> ParseTranslationTable(const void* data, std::size_t bytes);

// "\StringFileInfo\" + language and code page as 4 upper-case hexadecimal digits each.
std::wstring StringBlockPath(Translation translation);

// The string block to read "FileVersion" from: the first entry of `table` whose block
// exists, else the 040904E4 block if it exists, else empty. `blockExists` queries the
// version data for a block path.
std::wstring FindStringBlock(const std::vector<Translation>& table,
                             const std::function<bool(const std::wstring&)>& blockExists);

// A string value as the version data reports it: at most `length` characters, cut at the
// first NUL. Some resources count the terminating NUL in the length and some do not, so
// the length alone is not trusted to leave room for it.
std::wstring VersionValueText(const wchar_t* value, std::size_t length);

}  // namespace hv
