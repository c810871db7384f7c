// hvLHA as the program calls it: bound by name from hvplus.dll, with UNLHA32.DLL absent,
// without its entry point, scripted, or the tools' stand-in archiver, copied into a
// private folder that the library search looks in (SetDllDirectoryW). Message boxes are
// caught by a CBT hook on this thread, which records and closes them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "hvplus/hvplus_api.h"
#include "tests/tools/lzh_builder.h"

namespace {

std::wstring Wide(const char* utf8) {
    std::wstring w(std::size_t(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), int(w.size()));
    w.pop_back();
    for (auto& c : w)
        if (c == L'/') c = L'\\';
    return w;
}

std::string Ansi(const std::wstring& wide) {
    std::string a(std::size_t(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, a.data(), int(a.size()), nullptr, nullptr);
    a.pop_back();
    return a;
}

std::optional<std::string> ReadAll(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(f);
    return bytes;
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

// What a message box showed: caught when it activates, closed with its OK button.
struct Box {
    std::wstring caption, text;
    HWND owner = nullptr;
    bool errorIcon = false;
};

class BoxCatcher {
public:
    BoxCatcher() {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~BoxCatcher() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    std::vector<Box> boxes;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_ACTIVATE && current_) current_->Catch(reinterpret_cast<HWND>(wp));
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static BOOL CALLBACK Child(HWND child, LPARAM p) {
        auto* box = reinterpret_cast<Box*>(p);
        wchar_t cls[32] = {}, text[512] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Static") != 0) return TRUE;
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            box->errorIcon = icon && icon == LoadIconW(nullptr, IDI_ERROR);
        } else if (GetWindowTextW(child, text, 512) > 0) {
            box->text = text;
        }
        return TRUE;
    }
    void Catch(HWND window) {
        wchar_t cls[32] = {}, caption[256] = {};
        GetClassNameW(window, cls, 32);
        if (lstrcmpW(cls, L"#32770") != 0 || window == last_) return;
        last_ = window;
        Box box;
        GetWindowTextW(window, caption, 256);
        box.caption = caption;
        box.owner = GetWindow(window, GW_OWNER);
        EnumChildWindows(window, Child, reinterpret_cast<LPARAM>(&box));
        boxes.push_back(box);
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    static BoxCatcher* current_;
    HHOOK hook_ = nullptr;
    HWND last_ = nullptr;
};
BoxCatcher* BoxCatcher::current_ = nullptr;

class HvLha : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module_ = LoadLibraryW(L"hvplus.dll"); }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "hvplus.dll did not load";
        lha_ = reinterpret_cast<HvLhaFn>(reinterpret_cast<void*>(GetProcAddress(module_, "hvLHA")));
        ASSERT_NE(lha_, nullptr);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"hvlha-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
        dllDir_ = dir_ + L"\\dll";
        CreateDirectoryW(dllDir_.c_str(), nullptr);
        // The only folder besides the system's where UNLHA32.DLL could come from.
        ASSERT_TRUE(SetDllDirectoryW(dllDir_.c_str()));
        ASSERT_EQ(GetModuleHandleW(L"UNLHA32.DLL"), nullptr);
        output_ = dir_ + L"\\log.txt";
        owner_ = CreateWindowExW(0, L"STATIC", L"hvLHA test owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 20, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        if (owner_) DestroyWindow(owner_);
        SetDllDirectoryW(nullptr);
        for (const wchar_t* name : {L"\\dll\\UNLHA32.DLL", L"\\log.txt", L"\\a b.lzh", L"\\plain.txt"})
            DeleteFileW((dir_ + name).c_str());
        RemoveDirectoryW(dllDir_.c_str());
        RemoveDirectoryW(dir_.c_str());
    }

    void UseArchiver(const char* builtDll) {
        ASSERT_TRUE(CopyFileW(Wide(builtDll).c_str(), (dllDir_ + L"\\UNLHA32.DLL").c_str(), FALSE));
    }
    LONG Lha(const std::string& command, const std::wstring& output) {
        LONG result = lha_(owner_, command.c_str(), Ansi(output).c_str());
        EXPECT_EQ(GetModuleHandleW(L"UNLHA32.DLL"), nullptr) << "UNLHA32.DLL stays loaded after the call";
        return result;
    }
    LONG Lha(const std::string& command) { return Lha(command, output_); }

    // The title a message box gets when it asks for none.
    std::wstring DefaultCaption() {
        BoxCatcher catcher;
        MessageBoxW(owner_, L"reference", nullptr, MB_OK | MB_ICONERROR);
        return catcher.boxes.empty() ? L"?" : catcher.boxes[0].caption;
    }

    static HMODULE module_;
    HvLhaFn lha_ = nullptr;
    std::wstring dir_, dllDir_, output_;
    HWND owner_ = nullptr;
};
HMODULE HvLha::module_ = nullptr;

TEST_F(HvLha, MissingArchiverShowsItsMessageAndWritesNothing) {
    const std::wstring caption = DefaultCaption();
    BoxCatcher catcher;
    EXPECT_EQ(Lha("l a.lzh"), 0x10001);
    WriteAll(output_, "kept");
    EXPECT_EQ(Lha("l a.lzh"), 0x10001);
    EXPECT_EQ(ReadAll(output_), "kept");
    ASSERT_EQ(catcher.boxes.size(), 2u);
    for (const Box& box : catcher.boxes) {
        EXPECT_EQ(box.text, L"UNLHA32.DLLの呼出しに失敗しました。");
        EXPECT_EQ(box.caption, caption) << "the platform's default title";
        EXPECT_FALSE(box.caption.empty());
        EXPECT_EQ(box.owner, owner_);
        EXPECT_TRUE(box.errorIcon);
    }
}

TEST_F(HvLha, ArchiverWithoutEntryPointShowsItsMessageAndIsReleased) {
    UseArchiver(HV_UNLHA_NOENTRY);
    const std::wstring caption = DefaultCaption();
    BoxCatcher catcher;
    EXPECT_EQ(Lha("l a.lzh"), 0x10000);
    EXPECT_FALSE(ReadAll(output_).has_value());
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].text, L"Unlha関数のエントリポイントが見つかりません。");
    EXPECT_EQ(catcher.boxes[0].caption, caption);
    EXPECT_EQ(catcher.boxes[0].owner, owner_);
    EXPECT_TRUE(catcher.boxes[0].errorIcon);
}

TEST_F(HvLha, SuccessReplacesTheOutputFileWithTheArchiversText) {
    UseArchiver(HV_UNLHA_DOUBLE);
    BoxCatcher catcher;
    EXPECT_EQ(Lha("echo first line\r\nsecond line\r\n"), 0);
    EXPECT_EQ(ReadAll(output_), "first line\r\nsecond line\r\n");
    EXPECT_EQ(Lha("echo x"), 0);
    EXPECT_EQ(ReadAll(output_), "x") << "two successes leave only the second output";
    EXPECT_EQ(Lha("echo"), 0);
    EXPECT_EQ(ReadAll(output_), "") << "an empty output empties the file";
    DeleteFileW(output_.c_str());
    EXPECT_EQ(Lha("echo"), 0);
    EXPECT_EQ(ReadAll(output_), "") << "an empty output creates the file";
    EXPECT_TRUE(catcher.boxes.empty());
}

TEST_F(HvLha, FailureReturnsTheArchiversCodeAndLeavesThePreviousFile) {
    UseArchiver(HV_UNLHA_DOUBLE);
    BoxCatcher catcher;
    EXPECT_EQ(Lha("fail 7"), 7);
    EXPECT_FALSE(ReadAll(output_).has_value()) << "no file after a failure";
    EXPECT_EQ(Lha("echo previous"), 0);
    EXPECT_EQ(Lha("fail 32790"), 32790);
    EXPECT_EQ(Lha("fail -2"), -2);
    EXPECT_EQ(ReadAll(output_), "previous");
    EXPECT_TRUE(catcher.boxes.empty()) << "the archiver's own errors get no message from the library";
}

TEST_F(HvLha, ArchiverGetsTheOwnerTheCommandUnchangedAndAZeroedBuffer) {
    UseArchiver(HV_UNLHA_DOUBLE);
    EXPECT_EQ(Lha("probe"), 0);
    char expected[128];
    std::snprintf(expected, sizeof expected, "size=32767 zeroed=1 owner=%p", static_cast<void*>(owner_));
    EXPECT_EQ(ReadAll(output_), expected);
    // Shift-JIS bytes, doubled spaces and quotes pass through as they are.
    const std::string command = Ansi(L"echo  a  \"表示 予定表\"\t");
    EXPECT_EQ(Lha(command), 0);
    EXPECT_EQ(ReadAll(output_), command.substr(5));
}

TEST_F(HvLha, AnOutputWithoutTerminatorIsSavedUpToTheBufferEnd) {
    UseArchiver(HV_UNLHA_DOUBLE);
    EXPECT_EQ(Lha("fill"), 0);
    EXPECT_EQ(ReadAll(output_), std::string(0x7FFF, 'x'));
}

TEST_F(HvLha, AnOutputFileThatCannotBeWrittenIsLostSilently) {
    UseArchiver(HV_UNLHA_DOUBLE);
    BoxCatcher catcher;
    EXPECT_EQ(Lha("echo lost", dir_ + L"\\no such folder\\log.txt"), 0);
    WriteAll(output_, "locked");
    HANDLE lock = CreateFileW(output_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Lha("echo lost"), 0);
    CloseHandle(lock);
    EXPECT_EQ(ReadAll(output_), "locked");
    EXPECT_TRUE(catcher.boxes.empty());
}

TEST_F(HvLha, ListsAnArchiveThroughTheStandInArchiver) {
    UseArchiver(HV_UNLHA_STANDIN);
    hv::test::BuildMember member;
    member.level = 1;
    member.name = Ansi(L"予定表.txt");
    member.folder = "notes\xFF";
    auto bytes = hv::test::BuildLzh({member});
    const std::wstring archive = dir_ + L"\\a b.lzh";
    WriteAll(archive, std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(Lha("l \"" + Ansi(archive) + "\""), 0);
    auto listing = ReadAll(output_);
    ASSERT_TRUE(listing.has_value());
    EXPECT_NE(listing->find("-lh0-  2024-03-05 14:33:26  notes\\" + Ansi(L"予定表.txt") + "\r\n"), std::string::npos)
        << *listing;
    EXPECT_NE(listing->find("  1 file\r\n"), std::string::npos);
    EXPECT_EQ(listing->back(), '\n');

    WriteAll(dir_ + L"\\plain.txt", "not an archive");
    EXPECT_EQ(Lha("l \"" + Ansi(dir_ + L"\\plain.txt") + "\""), 3);
    EXPECT_EQ(Lha("l \"" + Ansi(dir_ + L"\\missing.lzh") + "\""), 2);
    EXPECT_EQ(Lha("x \"" + Ansi(archive) + "\""), 1);
    EXPECT_EQ(ReadAll(output_), listing) << "failures leave the last listing";
}

}  // namespace
