// The version window and its environment report as this Wine prefix reports itself, file
// version texts, and the help pages beside the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "tests/util/dialog_driver_win.h"
#include "util/environment_win.h"
#include "util/file_version_win.h"
#include "util/help_topics.h"
#include "util/help_win.h"
#include "util/version_window_win.h"

namespace {

using hv::VersionWindow;
using hvtest::WindowText;

hv::App TestApp() {
    hv::App app;
    app.system.AppVersion = hv::kAppVersion;
    app.system.IsNT = true;
    app.system.OsMajorVersion = 10;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    app.system.AppPath = std::wstring(path).substr(0, std::wstring(path).find_last_of(L'\\') + 1);
    GetSystemDirectoryW(path, MAX_PATH);
    app.system.SystemDirectory = hv::WithTrailingBackslash(path);
    return app;
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
    hv::App app = TestApp();
    VersionWindow window(app);
    std::wstring report;
    hvtest::DialogDriver driver([&](HWND dialog) {
        // The test thread waits in the modal loop meanwhile: only this thread checks.
        EXPECT_EQ(WindowText(dialog), L"バージョン情報");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, VersionWindow::kIdVersion)), L"Ver 1.1");
        HWND environment = GetDlgItem(dialog, VersionWindow::kIdEnvironment);
        HWND box = GetDlgItem(dialog, VersionWindow::kIdReport);
        EXPECT_TRUE(IsWindowVisible(environment) && IsWindowVisible(GetDlgItem(dialog, VersionWindow::kIdClose)));
        EXPECT_FALSE(IsWindowVisible(box));
        EXPECT_EQ(WindowText(box), L"");
        RECT client{}, boxRect{};
        GetClientRect(dialog, &client);
        GetWindowRect(box, &boxRect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&boxRect), 2);
        EXPECT_LE(client.bottom, boxRect.top);  // below the first visible area

        SendMessageW(environment, BM_CLICK, 0, 0);
        report = WindowText(box);
        EXPECT_TRUE(IsWindowVisible(box));
        EXPECT_NE(GetWindowLongPtrW(box, GWL_STYLE) & ES_READONLY, 0);
        EXPECT_FALSE(IsWindowEnabled(environment));  // built once per opening
        GetClientRect(dialog, &client);
        EXPECT_GE(client.bottom, boxRect.bottom);  // then fully inside
        hvtest::Press(dialog, VersionWindow::kIdClose);
    });
    window.ShowAbout(nullptr);
    driver.Join();
    ASSERT_TRUE(driver.found());
    EXPECT_EQ(window.hwnd(), nullptr);

    EXPECT_EQ(report, hv::BuildSystemEnvironmentReport(app.system));
    std::vector<std::wstring> lines;
    std::wistringstream in(report);
    for (std::wstring line; std::getline(in, line);) lines.push_back(line.substr(0, line.find(L'\r')));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_NE(lines[0].find(L"  " + KernelVersion()), std::wstring::npos) << lines[0];
    EXPECT_EQ(lines[1], L"Shared File Versions:");
    EXPECT_EQ(lines[2].substr(0, 13), L"msvcrt.dll  \t");  // MinGW's runtime, from the import table
    EXPECT_EQ(lines[3], L"hvplus.dll  \t1.1.0.0");
    for (int i : {2, 4, 5, 6}) EXPECT_EQ(lines[i].find(L"Unknown"), std::wstring::npos) << lines[i];
    EXPECT_EQ(lines[7], L"MSCMCJP.DLL \tUnknown");  // files the system lacks are listed all the same
    EXPECT_EQ(lines[8], L"MSCOMCTL.OCX\tUnknown");
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
    const std::wstring folder = TestApp().system.AppPath + L"verfixtures\\";
    for (const auto& [name, text] : files) EXPECT_EQ(hv::GetFileVersionText(folder + name), text) << name;
    EXPECT_EQ(hv::GetFileVersionText(L"Q:\\no\\such\\folder\\file.dll"), L"Unknown");
}

TEST(VersionWindow, SplashHasNoCaptionAndNoButtons) {
    hv::App app = TestApp();
    VersionWindow splash(app);
    ASSERT_TRUE(splash.ShowSplash());
    HWND hwnd = splash.hwnd();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(WindowText(hwnd), L"");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hwnd, VersionWindow::kIdEnvironment)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hwnd, VersionWindow::kIdClose)));
    EXPECT_EQ(WindowText(GetDlgItem(hwnd, VersionWindow::kIdVersion)), L"Ver 1.1");
    splash.CloseSplash();
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Help, PagesAreBesideTheProgramForEveryTopic) {
    hv::App app = TestApp();
    for (const hv::HelpTopic& topic : hv::HelpTopics()) {
        std::wstring path = hv::HelpPagePath(app.system.AppPath, topic.page);
        EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    // A missing page, or a folder, is refused without opening anything and without a message.
    EXPECT_FALSE(hv::OpenHelpPage(nullptr, app.system.AppPath + L"Horavx\\no-such-page.html"));
    EXPECT_FALSE(hv::OpenHelpPage(nullptr, app.system.AppPath + L"Horavx"));
}

}  // namespace
