// The stand-in UNLHA32.DLL itself, loaded from its own build folder (it is never beside
// the program): Unlha's listing, its reasons and codes, and how it respects the size.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/tools/lzh_builder.h"

namespace {

typedef int(WINAPI* UnlhaFn)(HWND, LPCSTR, LPSTR, DWORD);

std::wstring Wide(const char* utf8) {
    std::wstring w(std::size_t(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), int(w.size()));
    w.pop_back();
    for (auto& c : w)
        if (c == L'/') c = L'\\';
    return w;
}

class StandIn : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(Wide(HV_UNLHA_STANDIN).c_str());
        ASSERT_NE(module_, nullptr);
        unlha_ = reinterpret_cast<UnlhaFn>(reinterpret_cast<void*>(GetProcAddress(module_, "Unlha")));
        ASSERT_NE(unlha_, nullptr);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        archive_ = std::wstring(temp) + L"hv-standin-" + std::to_wstring(GetCurrentProcessId()) + L".lzh";
        std::vector<hv::test::BuildMember> members(3);
        for (int i = 0; i < 3; ++i) {
            members[i].level = i;
            members[i].name = "member" + std::to_string(i) + ".txt";
        }
        auto bytes = hv::test::BuildLzh(members);
        HANDLE f = CreateFileW(archive_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(f);
        char ansi[MAX_PATH * 2];
        WideCharToMultiByte(CP_ACP, 0, archive_.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
        archiveAnsi_ = ansi;
    }
    void TearDown() override {
        DeleteFileW(archive_.c_str());
        if (module_) FreeLibrary(module_);
    }
    int Run(const char* command, std::string& text, DWORD size = 0x7FFF) {
        std::string buffer(0x8000, '#');
        int result = unlha_(nullptr, command, buffer.data(), size);
        EXPECT_EQ(buffer.find_first_not_of('#', size), std::string::npos) << "wrote past the size it was given";
        std::size_t end = buffer.find('\0');
        EXPECT_LT(end, std::size_t(size)) << "no NUL within the size";
        text = buffer.substr(0, end);
        return result;
    }

    HMODULE module_ = nullptr;
    UnlhaFn unlha_ = nullptr;
    std::wstring archive_;
    std::string archiveAnsi_;
};

TEST_F(StandIn, ListsEveryHeaderLevel) {
    std::string text;
    ASSERT_EQ(Run(("l " + archiveAnsi_).c_str(), text), 0) << text;
    for (const char* name : {"member0.txt", "member1.txt", "member2.txt"})
        EXPECT_NE(text.find(std::string("  ") + name + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("2024-03-05 14:33:26  member0.txt"), std::string::npos) << "MS-DOS stamps as stored";
    EXPECT_NE(text.find("  3 files\r\n"), std::string::npos);
}

TEST_F(StandIn, CutsItsTextToTheSizeAtALineEnd) {
    std::string full, cut;
    ASSERT_EQ(Run(("l \"" + archiveAnsi_ + "\"").c_str(), full), 0);
    ASSERT_EQ(Run(("l \"" + archiveAnsi_ + "\"").c_str(), cut, 200), 0);
    EXPECT_LT(cut.size(), 200u);
    EXPECT_EQ(full.compare(0, cut.size(), cut), 0);
    EXPECT_EQ(cut.substr(cut.size() - 2), "\r\n");
    std::string none;
    EXPECT_EQ(Run("x whatever", none, 1), 1);
    EXPECT_EQ(none, "");
}

TEST_F(StandIn, OtherCommandsAndUnreadableArchivesGiveACodeAndOneLine) {
    std::string text;
    EXPECT_EQ(Run("x a.lzh", text), 1);
    EXPECT_NE(text.find("unknown command"), std::string::npos);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(unlha_(nullptr, nullptr, text.data(), 0), 1);
    EXPECT_EQ(Run("l Z:\\no\\such\\archive.lzh", text), 2);
    EXPECT_NE(text.find("cannot open"), std::string::npos);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    char selfAnsi[MAX_PATH * 2];
    WideCharToMultiByte(CP_ACP, 0, self, -1, selfAnsi, sizeof selfAnsi, nullptr, nullptr);
    EXPECT_EQ(Run((std::string("l \"") + selfAnsi + "\"").c_str(), text), 3);
    EXPECT_NE(text.find("not an LZH archive"), std::string::npos) << text;
}

}  // namespace
