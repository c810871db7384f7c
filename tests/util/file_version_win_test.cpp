// Version texts of real files: the prefix's system DLLs and DLLs built for these tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "util/file_version_win.h"

namespace {

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring Fixture(const wchar_t* name) { return ExeFolder() + L"verfixtures\\" + name; }

std::wstring SystemFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

// Major and minor version of the file's fixed version block, which the text should agree with.
bool FixedVersion(const std::wstring& path, unsigned& major, unsigned& minor) {
    DWORD ignored = 0;
    std::vector<unsigned char> data(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    if (data.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()))
        return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) || !fixed) return false;
    major = HIWORD(fixed->dwFileVersionMS);
    minor = LOWORD(fixed->dwFileVersionMS);
    return true;
}

TEST(FileVersionText, SystemDllsOfThePrefix) {
    for (const wchar_t* name : {L"kernel32.dll", L"ole32.dll", L"comdlg32.dll", L"comctl32.dll", L"msvcrt.dll"}) {
        SCOPED_TRACE(name);
        std::wstring path = SystemFile(name);
        std::wstring text = hv::GetFileVersionText(path);
        EXPECT_NE(text, L"Unknown");
        unsigned major = 0, minor = 0, textMajor = 0, textMinor = 0;
        ASSERT_TRUE(FixedVersion(path, major, minor));
        // "6.00.2900.5512" reads as 6.0: texts may pad their numbers.
        ASSERT_EQ(swscanf(text.c_str(), L"%u.%u", &textMajor, &textMinor), 2) << text;
        EXPECT_EQ(textMajor, major) << text;
        EXPECT_EQ(textMinor, minor) << text;
    }
}

TEST(FileVersionText, TranslationTableOrderDecides) {
    // 0411/04B0 is listed before 0409/04E4: the Japanese block's text, whole.
    EXPECT_EQ(hv::GetFileVersionText(Fixture(L"japanese_first.dll")), L"2.0.411.0 (Japanese)");
}

TEST(FileVersionText, UsEnglishBlockWhenTheTableNamesNone) {
    EXPECT_EQ(hv::GetFileVersionText(Fixture(L"us_block_only.dll")), L"3.0.1252.0");
    EXPECT_EQ(hv::GetFileVersionText(Fixture(L"us_block_no_table.dll")), L"3.1.0.0");
}

TEST(FileVersionText, UnknownWithoutAFileVersion) {
    EXPECT_EQ(hv::GetFileVersionText(Fixture(L"no_file_version.dll")), L"Unknown");
    EXPECT_EQ(hv::GetFileVersionText(Fixture(L"no_version.dll")), L"Unknown");  // no version resource
    EXPECT_EQ(hv::GetFileVersionText(Fixture(L"missing.dll")), L"Unknown");
    EXPECT_EQ(hv::GetFileVersionText(L"Q:\\no\\such\\folder\\file.dll"), L"Unknown");
    EXPECT_EQ(hv::GetFileVersionText(L""), L"Unknown");
}

TEST(FileVersionText, OwnDeliverable) {
    EXPECT_EQ(hv::GetFileVersionText(ExeFolder() + L"hvplus.dll"), L"1.1.0.0");
}

}  // namespace
