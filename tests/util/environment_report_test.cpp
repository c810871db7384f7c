// The version window's environment report from given registry values.
#include <gtest/gtest.h>

#include "util/environment_report.h"

namespace {

hv::OsRegistryValues Nt(std::wstring version, std::wstring build) {
    hv::OsRegistryValues v;
    v.Nt.Opened = true;
    v.Nt.CurrentVersion = std::move(version);
    v.Nt.CurrentBuildNumber = std::move(build);
    return v;
}

void WithIe(hv::OsRegistryValues& v, std::wstring version) {
    v.Browser.Opened = true;
    v.Browser.Version = std::move(version);
}

TEST(OsLine, Nt4WithoutBrowser) {
    EXPECT_EQ(hv::BuildOsLine(true, Nt(L"4.0", L"1381")), L"OS:Windows NT 4.0.1381 (No IE)");
}

TEST(OsLine, Windows2000KeepsItsTwoSpaces) {
    auto v = Nt(L"5.0", L"2195");
    WithIe(v, L"5.50.4134.0600");
    EXPECT_EQ(hv::BuildOsLine(true, v), L"OS:Windows 2000  5.0.2195 with IE 5.50.4134.0600");
    // Windows 2000 has a product name too; its line stays as it always read.
    v.Nt.ProductName = L"Microsoft Windows 2000";
    EXPECT_EQ(hv::BuildOsLine(true, v), L"OS:Windows 2000  5.0.2195 with IE 5.50.4134.0600");
}

TEST(OsLine, Windows11NamesItselfDespiteTheRegistry) {
    // As Windows 11 23H2 stores it: CurrentVersion frozen at 6.3, ProductName still "Windows 10".
    auto v = Nt(L"6.3", L"22631");
    v.Nt.ProductName = L"Windows 10 Pro";
    v.Nt.DisplayVersion = L"23H2";
    v.Nt.CurrentBuild = L"22631";
    v.Nt.CurrentMajorVersionNumber = 10;
    v.Nt.CurrentMinorVersionNumber = 0;
    WithIe(v, L"9.11.22621.0");
    v.Browser.svcVersion = L"11.0.22621.0";
    EXPECT_EQ(hv::BuildOsLine(true, v), L"OS:Windows 11 Pro 23H2  10.0.22631 with IE 11.0.22621.0");

    v.Nt.ProductName = L"Windows 10 Enterprise LTSC 2021";  // longer than any fixed buffer
    v.Nt.DisplayVersion.reset();
    v.Nt.ReleaseId = L"2009";
    v.Nt.CurrentBuild = L"19044";
    EXPECT_EQ(hv::BuildOsLine(true, v), L"OS:Windows 10 Enterprise LTSC 2021 2009  10.0.19044 with IE 11.0.22621.0");
}

TEST(OsLine, SystemsBetween2000And10UseTheirProductName) {
    auto xp = Nt(L"5.1", L"2600");
    xp.Nt.ProductName = L"Microsoft Windows XP";
    WithIe(xp, L"6.0.2900.5512");
    EXPECT_EQ(hv::BuildOsLine(true, xp), L"OS:Windows XP  5.1.2600 with IE 6.0.2900.5512");

    auto seven = Nt(L"6.1", L"7601");
    seven.Nt.ProductName = L"Windows 7 Professional";
    EXPECT_EQ(hv::BuildOsLine(true, seven), L"OS:Windows 7 Professional  6.1.7601 (No IE)");
    // Without a product name a newer system is still never "2000".
    seven.Nt.ProductName.reset();
    EXPECT_EQ(hv::BuildOsLine(true, seven), L"OS:Windows NT 6.1.7601 (No IE)");
}

TEST(OsLine, MissingKeysAndValues) {
    hv::OsRegistryValues none;
    EXPECT_EQ(hv::BuildOsLine(true, none), L"OS:Windows NT (Unknown version) (No IE)");
    // The key opens but the build cannot be read: no version is printed.
    auto v = Nt(L"4.0", L"");
    v.Nt.CurrentBuildNumber.reset();
    v.Browser.Opened = true;  // the browser key without a Version value adds nothing
    EXPECT_EQ(hv::BuildOsLine(true, v), L"OS:Windows ");
    EXPECT_EQ(hv::BuildOsLine(false, none), L"OS:Windows 9x (Unknown version)");
}

TEST(OsLine, Windows9xFamily) {
    hv::OsRegistryValues v;
    v.Win9x.Opened = true;
    v.Win9x.Version = L"Windows 98";
    v.Win9x.VersionNumber = L"4.10.2222";
    v.Win9x.SubVersionNumber = L" A ";
    EXPECT_EQ(hv::BuildOsLine(false, v), L"OS:Windows 98 [4.10.2222A]");
    v.Win9x.PlusVersionNumber = L"IE 5 5.00.2614.3500";
    v.Win9x.SubVersionNumber.reset();
    EXPECT_EQ(hv::BuildOsLine(false, v), L"OS:Windows 98 [4.10.2222] with IE 5 5.00.2614.3500");
    v.Win9x = {};
    v.Win9x.Opened = true;
    EXPECT_EQ(hv::BuildOsLine(false, v), L"OS:Windows ");
}

TEST(Report, FileListInTwelveCharacterFields) {
    auto v = Nt(L"4.0", L"1381");
    std::vector<hv::SharedFileVersion> files{{L"msvcrt.dll", L"7.0.19041.1"},
                                             {L"hvplus.dll", L"1.1.0.0"},
                                             {L"COMCTL32.DLL", L"Unknown"},
                                             {L"api-ms-long-name.dll", L"1"}};
    EXPECT_EQ(hv::BuildEnvironmentReport(true, v, files),
              L"OS:Windows NT 4.0.1381 (No IE)\r\n"
              L"Shared File Versions:\r\n"
              L"msvcrt.dll  \t7.0.19041.1\r\n"
              L"hvplus.dll  \t1.1.0.0\r\n"
              L"COMCTL32.DLL\tUnknown\r\n"
              L"api-ms-long-name.dll\t1");
}

TEST(Report, SevenFilesRuntimeAndProgramLibraryFirst) {
    auto names = hv::SharedFileNames(L"ucrtbase.dll");
    std::vector<std::wstring> expected{L"ucrtbase.dll", L"hvplus.dll",  L"OLE32.DLL",   L"COMDLG32.DLL",
                                       L"COMCTL32.DLL", L"MSCMCJP.DLL", L"MSCOMCTL.OCX"};
    EXPECT_EQ(names, expected);
}

TEST(Report, RuntimeLibraryFromTheImportTable) {
    // MinGW
    EXPECT_EQ(hv::ChooseRuntimeLibrary({"KERNEL32.dll", "msvcrt.dll", "USER32.dll"}), L"msvcrt.dll");
    // MSVC with the universal runtime, which is imported through its API sets
    EXPECT_EQ(hv::ChooseRuntimeLibrary({"KERNEL32.dll", "VCRUNTIME140.dll", "api-ms-win-crt-runtime-l1-1-0.dll",
                                        "api-ms-win-crt-stdio-l1-1-0.dll"}),
              L"ucrtbase.dll");
    EXPECT_EQ(hv::ChooseRuntimeLibrary({"UCRTBASE.DLL"}), L"ucrtbase.dll");
    // Older MSVC
    EXPECT_EQ(hv::ChooseRuntimeLibrary({"KERNEL32.dll", "MSVCR120.dll"}), L"MSVCR120.dll");
    // Statically linked runtime
    EXPECT_EQ(hv::ChooseRuntimeLibrary({"KERNEL32.dll", "USER32.dll"}), L"msvcrt.dll");
}

TEST(Report, VersionLabel) {
    EXPECT_EQ(hv::VersionLabel(1 * 65536 + 1), L"Ver 1.1");
    EXPECT_EQ(hv::VersionLabel(2 * 65536 + 10), L"Ver 2.10");  // decimal, no padding
    EXPECT_EQ(hv::VersionLabel(0), L"Ver 0.0");
}

}  // namespace
