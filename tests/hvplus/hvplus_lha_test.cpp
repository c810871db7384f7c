// hvLHA as the program calls it: bound by name from hvplus.dll, with UNLHA32.DLL absent,
// without its entry point, scripted, or the tools' stand-in archiver, copied into the
// program's folder (this test runs from a folder of its own with a copy of hvplus.dll),
// and planted where the library must not take it from.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "hvplus/hvplus_api.h"
#include "hvplus/hvplus_binding_win.h"
#include "tests/support/import_patch_win.h"
#include "tests/support/message_box_catcher_win.h"
#include "tests/tools/lzh_builder.h"

namespace {

// hvplus.dll beside this test, bound as the program binds it.
hv::HvplusLibrary& Hvplus() { return hv::HvplusLibrary::BesideProgram(); }

namespace fs = std::filesystem;

std::string Ansi(const std::wstring& wide) {
    std::string a(std::size_t(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, a.data(), int(a.size()), nullptr, nullptr);
    a.pop_back();
    return a;
}

std::optional<std::string> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

class HvLha : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(lha_, nullptr) << "hvplus.dll or its hvLHA is missing";
        dir_ = fs::temp_directory_path() / ("hvlha-" + std::to_string(GetCurrentProcessId()) + "-" +
                                            std::to_string(GetTickCount()));
        ASSERT_TRUE(fs::create_directories(dir_));
        ASSERT_FALSE(fs::exists(Planted())) << "left over: " << Planted();
        ASSERT_EQ(GetModuleHandleW(L"UNLHA32.DLL"), nullptr);
        owner_ = CreateWindowExW(0, L"STATIC", L"hvLHA test owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 20, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(owner_);
        std::error_code ignored;
        fs::remove(Planted(), ignored);
        fs::remove_all(dir_, ignored);
    }
    // The archiver in the program's folder, where the library looks first.
    static fs::path Planted() { return ProgramFolder() / "UNLHA32.DLL"; }
    static fs::path ProgramFolder() {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        return fs::path(path).parent_path();
    }
    void UseArchiver(const fs::path& dll, const fs::path& where = Planted()) {
        ASSERT_TRUE(fs::copy_file(dll, where, fs::copy_options::overwrite_existing));
    }
    LONG Lha(const std::string& command, const fs::path& output = {}) {
        LONG result = lha_(owner_, command.c_str(), Ansi((output.empty() ? Log() : output).wstring()).c_str());
        EXPECT_EQ(GetModuleHandleW(L"UNLHA32.DLL"), nullptr) << "UNLHA32.DLL stays loaded after the call";
        return result;
    }
    fs::path Log() const { return dir_ / "log.txt"; }

    const HvLhaFn lha_ = Hvplus().Export<HvLhaFn>("hvLHA");
    fs::path dir_;
    HWND owner_ = nullptr;
};

TEST_F(HvLha, AMissingArchiverOrEntryPointShowsItsMessageAndWritesNothing) {
    std::wstring defaultCaption;  // the title a message box gets when it asks for none
    {
        hvtest::MessageBoxCatcher catcher;
        MessageBoxW(owner_, L"reference", nullptr, MB_OK | MB_ICONERROR);
        ASSERT_EQ(catcher.boxes.size(), 1u);
        defaultCaption = catcher.boxes[0].caption;
    }
    wchar_t withoutEntry[MAX_PATH];  // hvplus.dll itself has no "Unlha"
    GetModuleFileNameW(Hvplus().module(), withoutEntry, MAX_PATH);
    const struct {
        const wchar_t* archiver;
        LONG result;
        const wchar_t* text;
    } cases[] = {{nullptr, 0x10001, L"UNLHA32.DLLの呼出しに失敗しました。"},
                 {withoutEntry, 0x10000, L"Unlha関数のエントリポイントが見つかりません。"}};
    for (const auto& c : cases) {
        if (c.archiver) UseArchiver(c.archiver);
        hvtest::MessageBoxCatcher catcher;
        EXPECT_EQ(Lha("l a.lzh"), c.result);
        EXPECT_FALSE(ReadAll(Log()));
        WriteAll(Log(), "kept");
        EXPECT_EQ(Lha("l a.lzh"), c.result);
        EXPECT_EQ(ReadAll(Log()), "kept");
        fs::remove(Log());
        ASSERT_EQ(catcher.boxes.size(), 2u);
        for (const auto& box : catcher.boxes) {
            EXPECT_EQ(box.text, c.text);
            EXPECT_EQ(box.caption, defaultCaption);
            EXPECT_FALSE(box.caption.empty());
            EXPECT_EQ(box.owner, owner_);
            EXPECT_TRUE(box.errorIcon);
        }
    }
}

TEST_F(HvLha, OnlySuccessReplacesTheOutputFileAndFailuresReturnTheArchiversCode) {
    UseArchiver(HV_UNLHA_DOUBLE);
    hvtest::MessageBoxCatcher catcher;
    const std::string passed = Ansi(L"echo  a  \"表示 予定表\"\t");  // Shift-JIS, doubled spaces, quotes
    char probe[128];
    std::snprintf(probe, sizeof probe, "size=32767 zeroed=1 owner=%p", static_cast<void*>(owner_));
    const struct {
        std::string command;
        LONG result;
        std::optional<std::string> file;
    } steps[] = {
        {"fail 7", 7, std::nullopt},
        {"echo first line\r\nsecond line\r\n", 0, "first line\r\nsecond line\r\n"},
        {"echo x", 0, "x"},  // two successes leave only the second output
        {"fail 32790", 32790, "x"},
        {"fail -2", -2, "x"},
        {"echo", 0, ""},  // an empty output empties the file
        {"fill", 0, std::string(0x7FFF, 'x')},
        {"probe", 0, probe},
        {passed, 0, passed.substr(5)},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(Lha(step.command), step.result) << step.command;
        EXPECT_EQ(ReadAll(Log()), step.file) << step.command;
    }
    // An output file that cannot be written (no such folder, locked) is lost silently.
    EXPECT_EQ(Lha("echo lost", dir_ / "no such folder" / "log.txt"), 0);
    HANDLE lock = CreateFileW(Log().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(Lha("echo lost"), 0);
    CloseHandle(lock);
    EXPECT_EQ(ReadAll(Log()), passed.substr(5));
    fs::remove(Log());
    EXPECT_EQ(Lha("echo"), 0);
    EXPECT_EQ(ReadAll(Log()), "") << "an empty output creates the file";
    EXPECT_TRUE(catcher.boxes.empty()) << "the archiver's own errors get no message from the library";
}

// Only the program's folder and the system folder count: a copy in the current folder, in
// a PATH folder or in the DLL directory another part of the process set is never loaded.
TEST_F(HvLha, AnArchiverPlantedOutsideTheProgramFolderIsNotLoaded) {
    const fs::path cwd = dir_ / "current", path = dir_ / "on path", dllDir = dir_ / "dll dir";
    for (const fs::path& folder : {cwd, path, dllDir}) {
        ASSERT_TRUE(fs::create_directories(folder));
        UseArchiver(HV_UNLHA_DOUBLE, folder / "UNLHA32.DLL");
    }
    const fs::path previousCwd = fs::current_path();
    fs::current_path(cwd);
    wchar_t previousPath[32767] = {};
    GetEnvironmentVariableW(L"PATH", previousPath, 32767);
    SetEnvironmentVariableW(L"PATH", (path.wstring() + L";" + previousPath).c_str());
    SetDllDirectoryW(dllDir.c_str());
    {
        hvtest::MessageBoxCatcher catcher;
        EXPECT_EQ(Lha("echo planted"), 0x10001);
        ASSERT_EQ(catcher.boxes.size(), 1u);
        EXPECT_EQ(catcher.boxes[0].text, L"UNLHA32.DLLの呼出しに失敗しました。");
        EXPECT_FALSE(fs::exists(Log()));
        // The same archiver in the program's folder is the one taken.
        UseArchiver(HV_UNLHA_DOUBLE);
        EXPECT_EQ(Lha("echo program folder"), 0);
        EXPECT_EQ(ReadAll(Log()), "program folder");
        EXPECT_EQ(catcher.boxes.size(), 1u);
    }
    SetDllDirectoryW(nullptr);
    SetEnvironmentVariableW(L"PATH", previousPath);
    fs::current_path(previousCwd);
}

BOOL WINAPI DiskFull(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
    if (written) *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

TEST_F(HvLha, AFailedWriteOrAllocationKeepsThePreviousOutput) {
    UseArchiver(HV_UNLHA_DOUBLE);
    WriteAll(Log(), "previous");
    const auto entries = [&] { return std::distance(fs::directory_iterator(dir_), fs::directory_iterator()); };
    const auto before = entries();
    {
        hvtest::ImportPatch diskFull(Hvplus().module(), "kernel32.dll", "WriteFile", reinterpret_cast<void*>(DiskFull));
        ASSERT_TRUE(diskFull.active());
        EXPECT_EQ(Lha("echo lost"), 0);
    }
    {
        hvtest::ImportPatch noMemory(Hvplus().module(), "msvcrt.dll", "malloc",
                                     reinterpret_cast<void*>(hvtest::MallocFailingLargeBlocks));
        ASSERT_TRUE(noMemory.active());
        // The wide copy of so long an output path is a block the allocator refuses.
        EXPECT_NO_THROW(Lha("echo lost", dir_ / std::string(2100, 'x')));
    }
    EXPECT_EQ(ReadAll(Log()), "previous");
    EXPECT_EQ(entries(), before) << "left a file behind";
}

// The output takes the target's place keeping its attributes; no file of the user's is touched.
TEST_F(HvLha, TheOutputTakesTheFilesPlaceKeepingItsAttributesAndTouchesNoOtherFile) {
    UseArchiver(HV_UNLHA_DOUBLE);
    WriteAll(dir_ / "log.txt.tmp", "the user's");
    WriteAll(Log(), "old");
    ASSERT_TRUE(SetFileAttributesW(Log().c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(Lha("echo new"), 0);
    EXPECT_EQ(ReadAll(Log()), "new");
    EXPECT_NE(GetFileAttributesW(Log().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(ReadAll(dir_ / "log.txt.tmp"), "the user's");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(HvLha, ListsAnArchiveThroughTheStandInArchiver) {
    UseArchiver(HV_UNLHA_STANDIN);
    const std::string name = Ansi(L"予定表.txt");
    auto bytes = hv::test::BuildLzh({{.level = 1, .name = name, .folder = "notes\xFF"}});
    auto list = [&](const char* command, const char* file) {
        return Lha(command + (" \"" + Ansi((dir_ / file).wstring()) + "\""));
    };
    WriteAll(dir_ / "a b.lzh", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(list("l", "a b.lzh"), 0);
    auto listing = ReadAll(Log());
    ASSERT_TRUE(listing);
    EXPECT_NE(listing->find("-lh0-  2024-03-05 14:33:26  notes\\" + name + "\r\n"), std::string::npos) << *listing;
    EXPECT_NE(listing->find("  1 file\r\n"), std::string::npos);
    WriteAll(dir_ / "plain.txt", "not an archive");
    EXPECT_EQ(list("l", "plain.txt"), 3);
    EXPECT_EQ(list("l", "missing.lzh"), 2);
    EXPECT_EQ(list("x", "a b.lzh"), 1);
    EXPECT_EQ(ReadAll(Log()), listing) << "failures leave the last listing";
}

}  // namespace
