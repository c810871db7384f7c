// The start-with-Windows item against the real registry of the test prefix.
#include "app/autostart_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace hv {
namespace {

constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApproved[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kProgram[] = L"C:\\Program Files\\Horavox test\\Horavx.exe";

std::optional<std::wstring> RunValue() {
    wchar_t text[512] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kRun, L"Horavox", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return text;
}

bool ApprovedExists() {
    return RegGetValueW(HKEY_CURRENT_USER, kApproved, L"Horavox", RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

void SetApproved(BYTE flag) {
    const BYTE bytes[12] = {flag};
    RegSetKeyValueW(HKEY_CURRENT_USER, kApproved, L"Horavox", REG_BINARY, bytes, sizeof bytes);
}

class AutostartRegistry : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"Horavox");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kApproved, L"Horavox");
    }
};

TEST_F(AutostartRegistry, OnWritesTheQuotedPathAndClearsASwitchOffAndOffRemovesBoth) {
    EXPECT_FALSE(IsAutostartOn(kProgram));
    EXPECT_TRUE(SetAutostart(kProgram, false)) << "nothing to remove is no failure";

    ASSERT_TRUE(SetAutostart(kProgram, true));
    EXPECT_EQ(RunValue(), std::wstring(L"\"") + kProgram + L"\" /autostart");
    EXPECT_TRUE(IsAutostartOn(kProgram));
    EXPECT_FALSE(IsAutostartOn(L"C:\\elsewhere\\Horavx.exe"));

    SetApproved(3);  // switched off in the Task Manager's start-up list
    EXPECT_FALSE(IsAutostartOn(kProgram));
    ASSERT_TRUE(SetAutostart(kProgram, true));
    EXPECT_TRUE(IsAutostartOn(kProgram));
    EXPECT_FALSE(ApprovedExists());

    SetApproved(2);
    ASSERT_TRUE(SetAutostart(kProgram, false));
    EXPECT_EQ(RunValue(), std::nullopt);
    EXPECT_FALSE(ApprovedExists());
    EXPECT_FALSE(IsAutostartOn(kProgram));
}

}  // namespace
}  // namespace hv
