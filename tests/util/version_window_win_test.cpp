// The version window and its environment report, as this Wine prefix reports itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "tests/util/dialog_driver_win.h"
#include "util/environment_win.h"
#include "util/help_topics.h"
#include "util/help_win.h"
#include "util/version_window_win.h"

namespace {

using hv::VersionWindow;
using hvtest::WindowText;

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

hv::App TestApp() {
    hv::App app;
    app.system.AppVersion = hv::kAppVersion;
    app.system.IsNT = true;
    app.system.OsMajorVersion = 10;
    app.system.AppPath = ExeFolder();
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    app.system.SystemDirectory = hv::WithTrailingBackslash(system);
    return app;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) return lines;
        start = end + 2;
    }
}

// What the system says of itself, to hold the registry-based first line against.
std::wstring KernelVersion() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto fn = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (!fn || fn(&v) != 0) return {};
    return std::to_wstring(v.dwMajorVersion) + L"." + std::to_wstring(v.dwMinorVersion) + L"." +
           std::to_wstring(v.dwBuildNumber);
}

TEST(EnvironmentReport, FirstLineAgreesWithTheSystem) {
    hv::OsRegistryValues values = hv::ReadOsRegistryValues(true);
    ASSERT_TRUE(values.Nt.Opened);
    std::wstring line = hv::BuildOsLine(true, values);
    EXPECT_EQ(line.rfind(L"OS:Windows ", 0), 0u) << line;
    EXPECT_EQ(line.find(L"2000"), std::wstring::npos) << line;
    std::wstring version = KernelVersion();
    ASSERT_FALSE(version.empty());
    EXPECT_NE(line.find(L"  " + version), std::wstring::npos) << line << L" / " << version;
}

TEST(EnvironmentReport, RuntimeFromTheImportTable) {
    std::vector<std::string> imports = hv::ImportedDllNames(GetModuleHandleW(nullptr));
    bool kernel = false;
    for (const std::string& name : imports) kernel = kernel || lstrcmpiA(name.c_str(), "kernel32.dll") == 0;
    EXPECT_TRUE(kernel);
    EXPECT_EQ(hv::ChooseRuntimeLibrary(imports), L"msvcrt.dll");  // MinGW's runtime
    EXPECT_TRUE(hv::ImportedDllNames(nullptr).empty());
}

TEST(EnvironmentReport, SevenFilesWithTheirVersions) {
    hv::App app = TestApp();
    std::vector<std::wstring> lines = Lines(hv::BuildSystemEnvironmentReport(app.system));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[1], L"Shared File Versions:");
    EXPECT_EQ(lines[2].substr(0, 13), L"msvcrt.dll  \t");
    EXPECT_NE(lines[2].substr(13), L"Unknown");
    EXPECT_EQ(lines[3], L"hvplus.dll  \t1.1.0.0");
    for (int i : {4, 5, 6}) {
        SCOPED_TRACE(lines[i]);
        EXPECT_EQ(lines[i][12], L'\t');
        EXPECT_NE(lines[i].substr(13), L"Unknown");
    }
    // Files the system does not have are listed all the same.
    EXPECT_EQ(lines[7], L"MSCMCJP.DLL \tUnknown");
    EXPECT_EQ(lines[8], L"MSCOMCTL.OCX\tUnknown");
}

RECT ClientRect(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
}

TEST(VersionWindow, AboutBoxGrowsWithTheReport) {
    hv::App app = TestApp();
    VersionWindow window(app);
    std::wstring caption, version, report, reportBefore;
    bool buttonsShown = false, reportHiddenBefore = false, reportShown = false, readOnly = false;
    bool buttonDisabled = false;
    RECT clientBefore{}, clientAfter{}, reportRect{};
    hvtest::DialogDriver driver([&](HWND dialog) {
        caption = WindowText(dialog);
        version = WindowText(GetDlgItem(dialog, VersionWindow::kIdVersion));
        buttonsShown = IsWindowVisible(GetDlgItem(dialog, VersionWindow::kIdEnvironment)) &&
                       IsWindowVisible(GetDlgItem(dialog, VersionWindow::kIdClose));
        HWND box = GetDlgItem(dialog, VersionWindow::kIdReport);
        reportHiddenBefore = !IsWindowVisible(box);
        reportBefore = WindowText(box);
        clientBefore = ClientRect(dialog);

        SendMessageW(GetDlgItem(dialog, VersionWindow::kIdEnvironment), BM_CLICK, 0, 0);
        report = WindowText(box);
        reportShown = IsWindowVisible(box);
        readOnly = (GetWindowLongPtrW(box, GWL_STYLE) & ES_READONLY) != 0;
        buttonDisabled = !IsWindowEnabled(GetDlgItem(dialog, VersionWindow::kIdEnvironment));
        clientAfter = ClientRect(dialog);
        GetWindowRect(box, &reportRect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&reportRect), 2);
        hvtest::Press(dialog, VersionWindow::kIdClose);
    });
    window.ShowAbout(nullptr);
    driver.Join();
    ASSERT_TRUE(driver.found());
    EXPECT_EQ(caption, L"バージョン情報");
    EXPECT_EQ(version, L"Ver 1.1");
    EXPECT_TRUE(buttonsShown);
    EXPECT_TRUE(reportHiddenBefore);
    EXPECT_EQ(reportBefore, L"");
    // Below the first visible area until the button is pressed, then fully inside.
    EXPECT_LE(clientBefore.bottom, reportRect.top);
    EXPECT_TRUE(reportShown);
    EXPECT_TRUE(readOnly);
    EXPECT_TRUE(buttonDisabled);
    EXPECT_GE(clientAfter.bottom, reportRect.bottom);
    EXPECT_EQ(report, hv::BuildSystemEnvironmentReport(app.system));
    EXPECT_EQ(window.hwnd(), nullptr);
}

TEST(VersionWindow, SplashHasNoCaptionAndNoButtons) {
    hv::App app = TestApp();
    VersionWindow splash(app);
    ASSERT_TRUE(splash.ShowSplash());
    HWND hwnd = splash.hwnd();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION, WS_CAPTION);  // no title bar
    EXPECT_EQ(WindowText(hwnd), L"");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hwnd, VersionWindow::kIdEnvironment)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hwnd, VersionWindow::kIdClose)));
    EXPECT_EQ(WindowText(GetDlgItem(hwnd, VersionWindow::kIdVersion)), L"Ver 1.1");
    splash.CloseSplash();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(splash.hwnd(), nullptr);
}

TEST(Help, PagesAreBesideTheProgramForEveryTopic) {
    hv::App app = TestApp();
    for (const hv::HelpTopic& topic : hv::HelpTopics()) {
        std::wstring path = hv::HelpPagePath(app.system.AppPath, topic.page);
        EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    // A missing page is refused without opening anything and without a message.
    EXPECT_FALSE(hv::OpenHelpPage(nullptr, ExeFolder() + L"Horavx\\no-such-page.html"));
    EXPECT_FALSE(hv::OpenHelpPage(nullptr, ExeFolder() + L"Horavx"));  // a folder is not a page
}

}  // namespace
