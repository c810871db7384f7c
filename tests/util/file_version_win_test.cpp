// Version texts of DLLs built for these tests, each carrying nothing but a version resource.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "util/file_version_win.h"

namespace {

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

TEST(FileVersionText, FromTheBlockTheTranslationTableNamesFirst) {
    const std::pair<const wchar_t*, const wchar_t*> files[] = {
        {L"japanese_first.dll", L"2.0.411.0 (Japanese)"},  // 0411/04B0 listed before 0409/04E4
        {L"us_block_only.dll", L"3.0.1252.0"},             // the table names no block there is: 040904E4
        {L"us_block_no_table.dll", L"3.1.0.0"},            // no table at all: 040904E4
        {L"no_file_version.dll", L"Unknown"},              // a block without FileVersion
        {L"no_version.dll", L"Unknown"},                   // no version resource
        {L"missing.dll", L"Unknown"}};
    for (const auto& [name, text] : files) {
        EXPECT_EQ(hv::GetFileVersionText(ExeFolder() + L"verfixtures\\" + name), text) << name;
    }
    EXPECT_EQ(hv::GetFileVersionText(L"Q:\\no\\such\\folder\\file.dll"), L"Unknown");
    EXPECT_EQ(hv::GetFileVersionText(ExeFolder() + L"hvplus.dll"), L"1.1.0.0");
}

}  // namespace
