// Libraries by name come from the system folder only, and so do the late imports, or they
// fail closed. Wine prefers its own builtin libraries, which would hide a planted copy;
// each case therefore runs in a child of this test that Wine tells to prefer a native
// winmm.dll (as Windows would take a copy in the program's folder) or to load none at all
// (as if the system folder had none).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "hvplus/hvplus_api.h"
#include "hvplus/hvplus_binding_win.h"
#include "hvplus/safe_load_win.h"

extern "C" int WINAPI PlantedProbe();  // in hvlate.dll, imported late

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

// Runs this test alone in a child, a copy of this program under a name of its own for which
// Wine takes winmm.dll as `winmmOrder` says (its per-program library overrides; a change of
// WINEDLLOVERRIDES made here would not reach the child), with `childCase` in
// kChildVariable; returns the child's exit code.
DWORD RunChild(const wchar_t* winmmOrder, const std::wstring& childCase) {
    constexpr wchar_t kChild[] = L"hvsafeload_child.exe";
    constexpr wchar_t kAppKey[] = L"Software\\Wine\\AppDefaults\\hvsafeload_child.exe";
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const fs::path child = ProgramFolder() / kChild;
    if (!CopyFileW(exe, child.c_str(), FALSE)) return 98;
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kAppKey) + L"\\DllOverrides").c_str(), 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &key, nullptr);
    RegSetValueExW(key, L"winmm", 0, REG_SZ, reinterpret_cast<const BYTE*>(winmmOrder),
                   static_cast<DWORD>((wcslen(winmmOrder) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    SetEnvironmentVariableW(kChildVariable, childCase.c_str());
    std::wstring command = L"\"" + child.wstring() + L"\" --gtest_filter=SafeLoad.*";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    DWORD code = 99;
    if (CreateProcessW(child.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    SetEnvironmentVariableW(kChildVariable, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
    DeleteFileW(child.c_str());
    return code;
}

constexpr DWORD kDelayLoadFailure = 0xC06D007E;  // VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND)
bool g_probing = false;

// An exception that nothing handles ends the child with its code, if it comes from the
// last step; from any earlier step with 2.
LONG WINAPI EndWithTheException(EXCEPTION_POINTERS* e) {
    TerminateProcess(GetCurrentProcess(), g_probing ? e->ExceptionRecord->ExceptionCode : 2);
    return EXCEPTION_CONTINUE_SEARCH;
}

// With copies of a library planted in the program's folder as winmm.dll and as hvlate.dll
// (which the system folder lacks), in a process that restricted the search as the program
// does, or in one that did not: winmm is the system's copy where that loads, else none (the
// spoken time a failed play, the process alive); and hvlate.dll's late import ends the
// process with the delay-load failure.
const struct {
    const wchar_t* winmmOrder;
    bool restrict;
    bool systemCopyLoads;
    DWORD exitCode;
} kCases[] = {{L"native,builtin", true, true, 0}, {L"", false, false, kDelayLoadFailure}};

TEST(SafeLoad, SystemLibrariesComeFromTheSystemFolderOrNotAtAll) {
    const fs::path folder = ProgramFolder();
    const std::wstring childCase = Environment(kChildVariable);
    if (childCase.empty()) {
        for (std::size_t i = 0; i < std::size(kCases); ++i) {
            std::error_code ignored;
            for (const char* name : {"winmm.dll", "hvlate.dll"}) {
                fs::remove(folder / (name + std::string(".loaded")), ignored);
                ASSERT_TRUE(fs::copy_file(HV_PLANTED_DLL, folder / name, fs::copy_options::overwrite_existing));
            }
            const DWORD code = RunChild(kCases[i].winmmOrder, std::to_wstring(i));
            EXPECT_EQ(code, kCases[i].exitCode) << "the child's checks failed; " << kCases[i].winmmOrder;
            for (const char* name : {"winmm.dll", "hvlate.dll"}) {
                fs::remove(folder / name, ignored);
                EXPECT_FALSE(fs::remove(folder / (name + std::string(".loaded")), ignored))
                    << "the planted " << name << " was loaded; " << kCases[i].winmmOrder;
            }
        }
        return;
    }
    SetUnhandledExceptionFilter(EndWithTheException);
    const auto& c = kCases[std::stoul(childCase)];
    if (c.restrict) hv::RestrictLibrarySearch();
    ASSERT_EQ(GetModuleHandleW(L"winmm.dll"), nullptr);
    if (c.restrict) {
        HMODULE byName = LoadLibraryW(L"winmm.dll");
        EXPECT_NE(byName, nullptr);
        FreeLibrary(byName);
    }
    EXPECT_EQ(hv::SystemLibraryLoads(L"winmm.dll"), c.systemCopyLoads);
    auto talk = hv::HvplusLibrary::BesideProgram().Export<HvTalkTimeFn>("hvTalkTime");
    ASSERT_NE(talk, nullptr);
    const LONG played = talk("12:00", 1, 4);
    HMODULE winmm = GetModuleHandleW(L"winmm.dll");
    if (c.systemCopyLoads) {
        ASSERT_NE(winmm, nullptr) << "the spoken time did not load winmm";
        wchar_t path[MAX_PATH], system[MAX_PATH];
        GetModuleFileNameW(winmm, path, MAX_PATH);
        GetSystemDirectoryW(system, MAX_PATH);
        EXPECT_TRUE(fs::equivalent(fs::path(path).parent_path(), system)) << fs::path(path).string();
        return;
    }
    EXPECT_EQ(played, 0);
    EXPECT_EQ(winmm, nullptr);
    if (::testing::Test::HasFailure()) return;
    g_probing = true;
    PlantedProbe();
    ADD_FAILURE() << "a late import that the system folder lacks was taken from elsewhere";
}

}  // namespace
