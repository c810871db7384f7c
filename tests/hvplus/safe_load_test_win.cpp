// Libraries by name and late imports come from the system folder only, or fail closed. Wine
// prefers its builtin libraries, which would hide a planted copy; so each case runs in a child
// that Wine's per-program overrides (a WINEDLLOVERRIDES set here does not reach it) tell to
// prefer a native winmm.dll, as Windows would take one in the program's folder, or load none.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "hvplus/hvplus_api.h"
#include "hvplus/hvplus_binding_win.h"
#include "hvplus/safe_load_win.h"

extern "C" int WINAPI PlantedProbe();  // in hvlate.dll, imported late; the system folder has none

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kChildVariable[] = L"HV_SAFE_LOAD_CHILD";
constexpr wchar_t kChildKey[] = L"Software\\Wine\\AppDefaults\\hvsafeload.exe";

fs::path ProgramFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[4096] = {};
    return GetEnvironmentVariableW(name, value, 4096) < 4096 ? value : L"";
}

// Runs this test alone in a copy of this program that takes winmm.dll as `winmmOrder`
// says; returns the child's exit code.
DWORD RunChild(const std::wstring& winmmOrder, const std::wstring& childCase) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring child = (ProgramFolder() / "hvsafeload.exe").wstring();
    CopyFileW(exe, child.c_str(), FALSE);
    RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kChildKey) + L"\\DllOverrides").c_str(), L"winmm", REG_SZ,
                    winmmOrder.c_str(), static_cast<DWORD>((winmmOrder.size() + 1) * sizeof(wchar_t)));
    SetEnvironmentVariableW(kChildVariable, childCase.c_str());
    std::wstring command = L"\"" + child + L"\" --gtest_filter=SafeLoad.*";
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
    RegDeleteTreeW(HKEY_CURRENT_USER, kChildKey);
    DeleteFileW(child.c_str());
    return code;
}

bool g_probing = false;  // a crash before the probe ends the child with 2
LONG WINAPI EndWithTheException(EXCEPTION_POINTERS* e) {
    TerminateProcess(GetCurrentProcess(), g_probing ? e->ExceptionRecord->ExceptionCode : 2);
    return EXCEPTION_CONTINUE_SEARCH;
}

// Copies of a library planted in the program's folder as winmm.dll and hvlate.dll. Where
// the system has no winmm (and nothing restricted the search) the spoken time is a failed
// play, and hvlate.dll's late import ends the process with the delay-load failure; else, in
// a process that restricted the search as the program does, winmm is the system's copy.
TEST(SafeLoad, SystemLibrariesComeFromTheSystemFolderOrNotAtAll) {
    const std::wstring missing = Environment(kChildVariable);
    if (missing.empty()) {
        for (const auto& [order, code] : {std::pair{L"", 0xC06D007Eul}, {L"native,builtin", 0ul}}) {
            std::error_code ignored;
            for (const char* name : {"winmm.dll", "hvlate.dll"})
                ASSERT_TRUE(CopyFileA(HV_PLANTED_DLL, (ProgramFolder() / name).string().c_str(), FALSE));
            EXPECT_EQ(RunChild(order, *order ? L"0" : L"1"), code) << "the child's checks failed";
            for (const std::string name : {"winmm.dll", "hvlate.dll"}) {
                fs::remove(ProgramFolder() / name, ignored);
                EXPECT_FALSE(fs::remove(ProgramFolder() / (name + ".loaded"), ignored)) << name << " was loaded";
            }
        }
        return;
    }
    // In the child: nothing has needed winmm yet; the spoken time needs it.
    SetUnhandledExceptionFilter(EndWithTheException);
    auto talk = hv::HvplusLibrary::BesideProgram().Export<HvTalkTimeFn>("hvTalkTime");
    ASSERT_NE(talk, nullptr);
    if (missing == L"1") {
        EXPECT_FALSE(hv::SystemLibraryLoads(L"winmm.dll"));
        EXPECT_EQ(talk("12:00", 1, 4), 0);
        if (::testing::Test::HasFailure()) return;
        g_probing = true;
        PlantedProbe();
        ADD_FAILURE() << "a late import that the system folder lacks was taken from elsewhere";
        return;
    }
    hv::RestrictLibrarySearch();
    FreeLibrary(LoadLibraryW(L"winmm.dll"));
    ASSERT_EQ(GetModuleHandleW(L"winmm.dll"), nullptr);
    talk("12:00", 1, 4);
    HMODULE winmm = GetModuleHandleW(L"winmm.dll");
    ASSERT_NE(winmm, nullptr) << "the spoken time did not load winmm";
    wchar_t path[MAX_PATH], system[MAX_PATH];
    GetModuleFileNameW(winmm, path, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(fs::equivalent(fs::path(path).parent_path(), system)) << fs::path(path).string();
}

}  // namespace
