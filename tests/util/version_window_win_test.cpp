// The version window and its environment report as this Wine prefix reports itself, file
// version texts, and the help pages beside the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <cwchar>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/dialog_driver_win.h"
#include "util/environment_win.h"
#include "util/file_version_win.h"
#include "util/help_topics.h"
#include "util/help_win.h"
#include "util/version_window_win.h"

namespace {

using hv::VersionWindow;
using hvtest::WindowText;

hv::SystemInfo TestSystem() {
    hv::SystemInfo system;
    system.AppVersion = hv::kAppVersion;
    system.IsNT = true;
    system.OsMajorVersion = 10;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    system.AppPath = std::wstring(path, std::wcsrchr(path, L'\\') + 1);
    GetSystemDirectoryW(path, MAX_PATH);
    system.SystemDirectory = hv::WithTrailingBackslash(path);
    return system;
}

// What the kernel says of itself, to hold the registry-based first line against.
std::wstring KernelVersion() {
    auto rtlGetVersion = reinterpret_cast<LONG(WINAPI*)(OSVERSIONINFOW*)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (!rtlGetVersion || rtlGetVersion(&v) != 0) return L"?";
    return std::to_wstring(v.dwMajorVersion) + L"." + std::to_wstring(v.dwMinorVersion) + L"." +
           std::to_wstring(v.dwBuildNumber);
}

TEST(VersionWindow, AboutBoxGrowsWithTheReportOfThisSystem) {
    const hv::SystemInfo system = TestSystem();
    VersionWindow window(system);
    std::wstring report;
    hvtest::DialogScript driver([&](hvtest::Driver& d) {
        HWND dialog = d.dialog();
        // The test thread waits in the modal loop meanwhile: only this thread checks.
        EXPECT_EQ(std::tuple(WindowText(dialog), WindowText(GetDlgItem(dialog, VersionWindow::kIdVersion))),
                  std::tuple(L"バージョン情報", L"Ver 1.1"));
        HWND environment = GetDlgItem(dialog, VersionWindow::kIdEnvironment);
        HWND box = GetDlgItem(dialog, VersionWindow::kIdReport);
        EXPECT_TRUE(IsWindowVisible(environment) && IsWindowVisible(GetDlgItem(dialog, VersionWindow::kIdClose)));
        EXPECT_TRUE(!IsWindowVisible(box) && WindowText(box).empty());
        RECT client{}, boxRect{};
        GetClientRect(dialog, &client);
        GetWindowRect(box, &boxRect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&boxRect), 2);
        EXPECT_LE(client.bottom, boxRect.top);  // below the first visible area

        d.Click(environment);
        report = WindowText(box);
        EXPECT_TRUE(IsWindowVisible(box) && (GetWindowLongPtrW(box, GWL_STYLE) & ES_READONLY));
        EXPECT_FALSE(IsWindowEnabled(environment));  // built once per opening
        GetClientRect(dialog, &client);
        EXPECT_GE(client.bottom, boxRect.bottom);  // then fully inside
        d.Click(VersionWindow::kIdClose);
    });
    window.ShowAbout(nullptr);
    driver.Join();
    ASSERT_TRUE(driver.found());
    EXPECT_EQ(window.hwnd(), nullptr);

    EXPECT_EQ(report, hv::BuildSystemEnvironmentReport(system));
    std::vector<std::wstring> lines;
    std::wistringstream in(report);
    for (std::wstring line; std::getline(in, line);) lines.push_back(line.substr(0, line.find(L'\r')));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_NE(lines[0].find(L"  " + KernelVersion()), std::wstring::npos) << lines[0];
    // MinGW's runtime comes from the import table; files the system lacks are listed all the same.
    EXPECT_EQ(std::tuple(lines[1], lines[2].substr(0, 13), lines[3], lines[7], lines[8]),
              std::tuple(L"Shared File Versions:", L"msvcrt.dll  \t", L"hvplus.dll  \t1.1.0.0",
                         L"MSCMCJP.DLL \tUnknown", L"MSCOMCTL.OCX\tUnknown"));
    for (int i : {2, 4, 5, 6}) EXPECT_EQ(lines[i].find(L"Unknown"), std::wstring::npos) << lines[i];
    EXPECT_TRUE(hv::ReadOsRegistryValues(false).Win9x.Opened);  // the 9x family's key, which NT keeps too
}

// DLLs built for the test that carry nothing but a version resource.
TEST(FileVersionText, FromTheBlockTheTranslationTableNamesFirst) {
    const std::pair<const wchar_t*, const wchar_t*> files[] = {
        {L"japanese_first.dll", L"2.0.411.0 (Japanese)"},  // 0411/04B0 listed before 0409/04E4
        {L"us_block_only.dll", L"3.0.1252.0"},             // the table names no block there is: 040904E4
        {L"us_block_no_table.dll", L"3.1.0.0"},            // no table at all: 040904E4
        {L"no_file_version.dll", L"Unknown"},              // a block without FileVersion
        {L"no_version.dll", L"Unknown"},                   // no version resource
        {L"missing.dll", L"Unknown"}};
    const std::wstring folder = TestSystem().AppPath + L"verfixtures\\";
    for (const auto& [name, text] : files) EXPECT_EQ(hv::GetFileVersionText(folder + name), text) << name;
}

TEST(VersionWindow, SplashHasNoCaptionAndNoButtons) {
    const hv::SystemInfo system = TestSystem();
    VersionWindow splash(system);
    ASSERT_TRUE(splash.ShowSplash());
    HWND hwnd = splash.hwnd();
    EXPECT_TRUE(IsWindowVisible(hwnd) && WindowText(hwnd).empty());
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(GetForegroundWindow(), hwnd) << "shown without taking the focus from the main window to come";
    // It paints its parts itself: no child windows, whose themed classes would load the
    // common controls at start-up.
    EXPECT_EQ(GetWindow(hwnd, GW_CHILD), nullptr);
    splash.CloseSplash();
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Help, PagesAreBesideTheProgramForEveryTopic) {
    const std::wstring folder = TestSystem().AppPath;
    for (const hv::HelpTopic& topic : hv::HelpTopics()) {
        EXPECT_NE(GetFileAttributesW(hv::HelpPagePath(folder, topic.page).c_str()), INVALID_FILE_ATTRIBUTES);
    }
    // A missing page, or a folder, is refused without opening anything and without a message.
    EXPECT_FALSE(hv::OpenHelpPage(nullptr, folder + L"Horavx\\no-such-page.html"));
    EXPECT_FALSE(hv::OpenHelpPage(nullptr, folder + L"Horavx"));
}

}  // namespace
