// The late-imported system libraries come from the system folder only. Wine prefers its
// own builtin libraries, which would hide a planted copy; the check therefore runs in a
// child of this test that Wine tells to prefer native winmm.dll, as Windows would take a
// copy in the program's folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "hvplus/hvplus_api.h"
#include "hvplus/hvplus_binding_win.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kChildVariable[] = L"HV_SAFE_LOAD_CHILD";

fs::path ProgramFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[4096] = {};
    return GetEnvironmentVariableW(name, value, 4096) < 4096 ? value : L"";
}

// Runs this test alone in a child with `overrides` added to Wine's library overrides;
// returns the child's exit code.
DWORD RunChild(const wchar_t* overrides) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring previous = Environment(L"WINEDLLOVERRIDES");
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", (previous + (previous.empty() ? L"" : L";") + overrides).c_str());
    SetEnvironmentVariableW(kChildVariable, L"1");
    std::wstring command = std::wstring(L"\"") + exe + L"\" --gtest_filter=SafeLoad.*";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    DWORD code = 99;
    if (CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    SetEnvironmentVariableW(kChildVariable, nullptr);
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", previous.empty() ? nullptr : previous.c_str());
    return code;
}

TEST(SafeLoad, WinmmPlantedInTheProgramFolderIsNotLoaded) {
    const fs::path planted = ProgramFolder() / "winmm.dll", marker = ProgramFolder() / "winmm.dll.loaded";
    if (Environment(kChildVariable).empty()) {
        std::error_code ignored;
        fs::remove(marker, ignored);
        ASSERT_TRUE(fs::copy_file(HV_PLANTED_DLL, planted, fs::copy_options::overwrite_existing));
        const DWORD code = RunChild(L"winmm=n,b");
        fs::remove(planted, ignored);
        EXPECT_EQ(code, 0u) << "the child's checks failed";
        EXPECT_FALSE(fs::exists(marker)) << "the planted winmm.dll was loaded";
        fs::remove(marker, ignored);
        return;
    }
    // In the child: nothing has needed winmm yet; the spoken time needs it.
    ASSERT_EQ(GetModuleHandleW(L"winmm.dll"), nullptr);
    auto talk = hv::HvplusLibrary::BesideProgram().Export<HvTalkTimeFn>("hvTalkTime");
    ASSERT_NE(talk, nullptr);
    talk("12:00", 1, 4);
    HMODULE winmm = GetModuleHandleW(L"winmm.dll");
    ASSERT_NE(winmm, nullptr) << "the spoken time did not load winmm";
    wchar_t path[MAX_PATH], system[MAX_PATH];
    GetModuleFileNameW(winmm, path, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(fs::equivalent(fs::path(path).parent_path(), system)) << fs::path(path).string();
}

}  // namespace
