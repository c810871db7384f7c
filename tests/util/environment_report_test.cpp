// The version window's environment report from given registry values, and the portable
// pieces of the file version query.
#include <gtest/gtest.h>

#include <tuple>

#include "util/environment_report.h"
#include "util/version_text.h"

namespace {

hv::OsRegistryValues Nt(std::wstring version, std::wstring build, hv::RegText browser = {}, hv::RegText product = {}) {
    hv::OsRegistryValues v;
    v.Nt.Opened = true;
    v.Nt.CurrentVersion = std::move(version);
    v.Nt.CurrentBuildNumber = std::move(build);
    v.Nt.ProductName = std::move(product);
    v.Browser = {browser.has_value(), std::move(browser), {}};
    return v;
}

TEST(OsLine, EachSystemAsItsRegistryDescribesIt) {
    EXPECT_EQ(hv::BuildOsLine(true, Nt(L"4.0", L"1381")), L"OS:Windows NT 4.0.1381 (No IE)");
    // Windows 2000's line stays as it always read, two spaces included.
    EXPECT_EQ(hv::BuildOsLine(true, Nt(L"5.0", L"2195", L"5.50.4134.0600", L"Microsoft Windows 2000")),
              L"OS:Windows 2000  5.0.2195 with IE 5.50.4134.0600");
    EXPECT_EQ(hv::BuildOsLine(true, Nt(L"5.1", L"2600", L"6.0.2900.5512", L"Microsoft Windows XP")),
              L"OS:Windows XP  5.1.2600 with IE 6.0.2900.5512");
    // Windows 11 23H2 keeps CurrentVersion at 6.3 and calls itself "Windows 10" in ProductName.
    auto w11 = Nt(L"6.3", L"22631", L"9.11.22621.0", L"Windows 10 Pro");
    w11.Nt.DisplayVersion = L"23H2";
    w11.Nt.CurrentBuild = L"22631";
    w11.Nt.CurrentMajorVersionNumber = 10, w11.Nt.CurrentMinorVersionNumber = 0;
    w11.Browser.svcVersion = L"11.0.22621.0";
    EXPECT_EQ(hv::BuildOsLine(true, w11), L"OS:Windows 11 Pro 23H2  10.0.22631 with IE 11.0.22621.0");
    // Without a product name a newer system is still never "2000".
    EXPECT_EQ(hv::BuildOsLine(true, Nt(L"6.1", L"7601")), L"OS:Windows NT 6.1.7601 (No IE)");

    hv::OsRegistryValues none;
    EXPECT_EQ(hv::BuildOsLine(true, none), L"OS:Windows NT (Unknown version) (No IE)");
    EXPECT_EQ(hv::BuildOsLine(false, none), L"OS:Windows 9x (Unknown version)");
    hv::OsRegistryValues w98;
    w98.Win9x = {true, L"Windows 98", L"4.10.2222", L" A ", L"IE 5 5.00.2614.3500"};
    EXPECT_EQ(hv::BuildOsLine(false, w98), L"OS:Windows 98 [4.10.2222A] with IE 5 5.00.2614.3500");
}

TEST(Report, RuntimeLibraryAndVersionLabel) {
    EXPECT_EQ(hv::ChooseRuntimeLibrary({"KERNEL32.dll", "api-ms-win-crt-runtime-l1-1-0.dll"}), L"ucrtbase.dll");
    EXPECT_EQ(hv::ChooseRuntimeLibrary({"KERNEL32.dll", "MSVCR120.dll"}), L"MSVCR120.dll");
    EXPECT_EQ(hv::ChooseRuntimeLibrary({"KERNEL32.dll", "USER32.dll"}), L"msvcrt.dll");  // linked statically
    EXPECT_EQ(hv::VersionLabel(2 * 65536 + 10), L"Ver 2.10");
}

TEST(VersionText, BlockPathsTableEntriesAndValueLengths) {
    EXPECT_EQ(hv::StringBlockPath({0x0009, 0xABCD}), L"\\StringFileInfo\\0009ABCD");
    const unsigned char table[] = {0x11, 0x04, 0xB0, 0x04, 0x09, 0x04};  // one entry and a partial one
    const auto entries = hv::ParseTranslationTable(table, sizeof table);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(std::tuple(entries[0].Language, entries[0].CodePage), std::tuple(0x0411, 0x04B0));
    // Some resources count the NUL in the length, some do not.
    const wchar_t value[] = L"1.2.3.4\0junk";
    EXPECT_EQ(hv::VersionValueText(value, 7), L"1.2.3.4");
    EXPECT_EQ(hv::VersionValueText(value, 13), L"1.2.3.4");
}

}  // namespace
