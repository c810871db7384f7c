#include "util/file_version_win.h"

#include <windows.h>

#include <vector>

#include "util/version_text.h"

namespace hv {

std::wstring GetFileVersionText(const std::wstring& path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return kUnknownVersion;
    std::vector<unsigned char> data(static_cast<std::size_t>(size) + 1);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return kUnknownVersion;

    // A file without a translation table may still carry the 040904E4 block: the search
    // then goes straight to it.
    std::vector<Translation> table;
    void* tableData = nullptr;
    UINT tableBytes = 0;
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &tableData, &tableBytes))
        table = ParseTranslationTable(tableData, tableBytes);

    auto blockExists = [&](const std::wstring& block) {
        void* value = nullptr;
        UINT length = 0;
        return VerQueryValueW(data.data(), block.c_str(), &value, &length) != 0;
    };
    std::wstring block = FindStringBlock(table, blockExists);
    if (block.empty()) return kUnknownVersion;

    void* value = nullptr;
    UINT length = 0;
    std::wstring query = block + L"\\FileVersion";
    if (!VerQueryValueW(data.data(), query.c_str(), &value, &length) || !value) return kUnknownVersion;
    return VersionValueText(static_cast<const wchar_t*>(value), length);
}

}  // namespace hv
