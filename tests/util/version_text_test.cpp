// Choosing the string block a file's version is read from.
#include <gtest/gtest.h>

#include <set>

#include "util/version_text.h"

namespace {

using hv::Translation;

// Stands in for the version data: answers block queries from a fixed set.
struct Blocks {
    Blocks(std::initializer_list<std::wstring> blocks = {}) : present(blocks) {}
    std::set<std::wstring> present;
    mutable std::vector<std::wstring> asked;
    bool operator()(const std::wstring& path) const {
        asked.push_back(path);
        return present.count(path) != 0;
    }
};

std::wstring Find(const std::vector<Translation>& table, const Blocks& blocks) {
    return hv::FindStringBlock(table, std::ref(blocks));
}

TEST(StringBlockPath, FourUpperCaseHexDigitsEach) {
    EXPECT_EQ(hv::StringBlockPath({0x0411, 0x04B0}), L"\\StringFileInfo\\041104B0");
    EXPECT_EQ(hv::StringBlockPath({0x0009, 0x00E4}), L"\\StringFileInfo\\000900E4");
    EXPECT_EQ(hv::StringBlockPath({0xABCD, 0xFFFF}), L"\\StringFileInfo\\ABCDFFFF");
    EXPECT_EQ(hv::StringBlockPath({0, 0}), L"\\StringFileInfo\\00000000");
}

TEST(TranslationTable, LanguageInLowWordCodePageInHighWord) {
    const unsigned char bytes[] = {0x11, 0x04, 0xB0, 0x04, 0x09, 0x04, 0xE4, 0x04, 0x01, 0x02};
    auto table = hv::ParseTranslationTable(bytes, sizeof bytes);
    ASSERT_EQ(table.size(), 2u);  // the two bytes at the end are not an entry
    EXPECT_EQ(table[0].Language, 0x0411);
    EXPECT_EQ(table[0].CodePage, 0x04B0);
    EXPECT_EQ(table[1].Language, 0x0409);
    EXPECT_EQ(table[1].CodePage, 0x04E4);
    EXPECT_TRUE(hv::ParseTranslationTable(nullptr, 8).empty());
    EXPECT_TRUE(hv::ParseTranslationTable(bytes, 3).empty());
}

TEST(FindStringBlock, FirstListedTranslationWithABlockWins) {
    Blocks both{L"\\StringFileInfo\\041104B0", L"\\StringFileInfo\\040904E4"};
    EXPECT_EQ(Find({{0x0411, 0x04B0}, {0x0409, 0x04E4}}, both), L"\\StringFileInfo\\041104B0");
    // Table order, not a preference for English or Japanese.
    EXPECT_EQ(Find({{0x0409, 0x04E4}, {0x0411, 0x04B0}}, both), L"\\StringFileInfo\\040904E4");
}

TEST(FindStringBlock, EntriesWithoutABlockAreSkipped) {
    Blocks blocks{L"\\StringFileInfo\\040904B0"};
    EXPECT_EQ(Find({{0x0407, 0x04B0}, {0x0409, 0x04B0}}, blocks), L"\\StringFileInfo\\040904B0");
    EXPECT_EQ(blocks.asked.size(), 2u);
}

TEST(FindStringBlock, FallsBackToUsEnglishWesternBlock) {
    Blocks us{L"\\StringFileInfo\\040904E4"};
    EXPECT_EQ(Find({}, us), L"\\StringFileInfo\\040904E4");
    EXPECT_EQ(Find({{0x0411, 0x04B0}}, us), L"\\StringFileInfo\\040904E4");
}

TEST(FindStringBlock, NothingMatchesGivesEmpty) {
    Blocks other{L"\\StringFileInfo\\040704B0"};
    EXPECT_EQ(Find({{0x0411, 0x04B0}}, other), L"");
    EXPECT_EQ(Find({}, Blocks{}), L"");
}

TEST(VersionValueText, LengthWithOrWithoutTheNul) {
    const wchar_t value[] = L"1.2.3.4\0junk";
    EXPECT_EQ(hv::VersionValueText(value, 8), L"1.2.3.4");   // length counts the NUL
    EXPECT_EQ(hv::VersionValueText(value, 7), L"1.2.3.4");   // length leaves it out: nothing is lost
    EXPECT_EQ(hv::VersionValueText(value, 13), L"1.2.3.4");  // cut at the first NUL
    EXPECT_EQ(hv::VersionValueText(value, 3), L"1.2");
    EXPECT_EQ(hv::VersionValueText(value, 0), L"");
    EXPECT_EQ(hv::VersionValueText(nullptr, 5), L"");
}

}  // namespace
