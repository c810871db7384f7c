// The stand-in archiver's portable core: LZH member headers of levels 0, 1 and 2, its
// listing text, its command line and how it cuts its output to fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/tools/lzh_builder.h"
#include "tools/unlha/lzh_archive.h"

namespace {

using hv::test::BuildLzh;

hv::LzhArchive Read(std::vector<std::uint8_t> bytes) {
    hv::MemorySource source(std::move(bytes));
    return hv::ReadLzhArchive(source);
}

// One member as "name method packed/original crc level stamp".
std::string Describe(const hv::LzhMember& m) {
    const hv::LzhDateTime t = m.hasUnixTime ? hv::UtcDateTime(m.unixTime) : m.dosTime;
    char line[160];
    std::snprintf(line, sizeof line, " %s %llu/%llu %04x %d %s%04d-%02d-%02d %02d:%02d:%02d", m.method.c_str(),
                  static_cast<unsigned long long>(m.packedSize), static_cast<unsigned long long>(m.originalSize),
                  m.crc, m.level, m.hasUnixTime ? "unix " : "", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return m.name + line;
}

const std::string kSjisNihongo = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語
const std::string kSjisHyouji = "\x95\x5C\x8E\xA6";           // 表示: its first character ends in 0x5C

TEST(LzhArchive, ReadsStoredMembersOfAllThreeHeaderLevels) {
    auto archive = Read(BuildLzh({{.level = 0, .name = "docs\\a.txt"},
                                  {.level = 1, .name = kSjisHyouji + ".txt", .folder = "sub\xFFin\xFF", .data = "0123"},
                                  {.level = 2, .name = kSjisNihongo, .folder = "sub\xFF", .data = ""},
                                  {.level = 1, .name = "a", .unixTimeExtension = true, .unixTime = 86400 * 365}}));
    ASSERT_TRUE(archive.ok) << archive.error;
    std::vector<std::string> members;
    for (const auto& m : archive.members) members.push_back(Describe(m));
    // 0x5C inside 表 is no folder separator; level 1 extended headers count in the skip
    // size, not in the data; a level 1 time extension overrides the MS-DOS stamp.
    EXPECT_EQ(members, (std::vector<std::string>{
                           "docs\\a.txt -lh0- 6/6 5a34 0 2024-03-05 14:33:26",
                           "sub\\in\\" + kSjisHyouji + ".txt -lh0- 4/4 ba0b 1 2024-03-05 14:33:26",
                           "sub\\" + kSjisNihongo + " -lh0- 0/0 0000 2 unix 2024-03-05 14:27:38",
                           "a -lh0- 6/6 5a34 1 unix 1971-01-01 00:00:00"}));
}

TEST(LzhArchive, EmptyOrDamagedArchivesGiveAOneLineReason) {
    const auto good = BuildLzh({{.level = 0, .name = "a.txt"}, {.level = 2, .name = "b.txt"}});
    auto with = [](std::vector<std::uint8_t> bytes, std::size_t at, int value) {
        bytes[at] = std::uint8_t(value);
        return bytes;
    };
    auto badExt = BuildLzh({{.level = 1, .name = "a", .folder = "dir"}});
    badExt[26] = 2;  // the base header's next-size field: an extended header of 2 bytes
    badExt[1] = 0;
    for (std::size_t i = 2; i < 2 + std::size_t(badExt[0]); ++i) badExt[1] = std::uint8_t(badExt[1] + badExt[i]);
    auto shortData = BuildLzh({{.level = 0, .name = "a.txt", .data = "0123456789"}}, false);
    shortData.resize(shortData.size() - 3);
    const std::string text = "This is a plain text file, not an archive at all.\n";
    const struct {
        std::vector<std::uint8_t> bytes;
        const char* error;  // part of it; null: read without error
    } cases[] = {
        {{0}, nullptr},
        {BuildLzh({{.level = 2, .name = "x"}}, false), nullptr},  // no end mark
        {{}, "not an LZH archive"},
        {{text.begin(), text.end()}, "not an LZH archive"},
        {with(good, 25, good[25] ^ 1), "checksum"},  // a name byte of level 0
        {with(good, good.size() - 12, good[good.size() - 12] ^ 0x40), "header CRC error at offset 35"},
        {{good.begin(), good.begin() + 40}, "truncated header at offset 35"},
        {with(good, 35 + 20, 3), "unsupported header level 3"},
        {badExt, "damaged extended header"},
        {shortData, "truncated member data"},
    };
    for (const auto& c : cases) {
        auto archive = Read(c.bytes);
        EXPECT_EQ(archive.ok, c.error == nullptr) << (c.error ? c.error : "ok") << ": " << archive.error;
        EXPECT_NE(archive.error.find(c.error ? c.error : ""), std::string::npos) << archive.error;
        EXPECT_EQ(archive.error.find('\n'), std::string::npos);
    }
}

// Whatever the bytes, the reader neither reads out of bounds nor loops (ASan, timeout).
TEST(LzhArchive, SurvivesRandomDamage) {
    const auto good = BuildLzh({{.level = 0, .name = "a.txt"},
                                {.level = 1, .name = "b", .folder = "d\xFF", .unixTimeExtension = true},
                                {.level = 2, .name = "c", .folder = "e\xFF"}});
    std::srand(12345);
    for (int trial = 0; trial < 3000; ++trial) {
        auto bytes = good;
        for (int n = 1 + std::rand() % 4; n > 0; --n)
            bytes[std::size_t(std::rand()) % bytes.size()] = std::uint8_t(std::rand());
        if (trial % 5 == 0) bytes.resize(std::size_t(std::rand()) % bytes.size());
        auto archive = Read(bytes);
        EXPECT_EQ(archive.error.find('\n'), std::string::npos);
        for (const auto& m : archive.members) EXPECT_LE(m.packedSize, bytes.size());
    }
}

TEST(LzhListing, OneLinePerMemberWithSizesRatioMethodDateTimeAndName) {
    auto archive = Read(BuildLzh({{.level = 0, .name = "a.txt"},
                                  {.level = 2, .name = kSjisNihongo, .data = std::string(3000, 'x')},
                                  {.level = 1, .name = "bad\r\nname", .data = ""}}));
    ASSERT_TRUE(archive.ok) << archive.error;
    archive.members[1].method = "-lh5-";
    archive.members[1].packedSize = 1234;
    const std::string rule = "------------ ------------ ------ ------- ---------- --------  --------------------\r\n";
    EXPECT_EQ(hv::FormatLzhListing(archive.members, hv::UtcDateTime),
              "    Original       Packed  Ratio  Method   Date       Time     Name\r\n" + rule +
                  "           6            6 100.0%  -lh0-  2024-03-05 14:33:26  a.txt\r\n"
                  "        3000         1234  41.1%  -lh5-  2024-03-05 14:27:38  " + kSjisNihongo + "\r\n"
                  "           0            0   0.0%  -lh0-  2024-03-05 14:33:26  bad??name\r\n" + rule +
                  "        3006         1240  41.3%  3 files\r\n");
    // The converter decides how level 2 stamps are shown (the DLL shows local time).
    auto shifted = hv::FormatLzhListing(archive.members, [](std::int64_t t) { return hv::UtcDateTime(t + 3600); });
    EXPECT_NE(shifted.find("2024-03-05 15:27:38"), std::string::npos);
    EXPECT_NE(hv::FormatLzhListing({}, hv::UtcDateTime).find("  0 files\r\n"), std::string::npos);
    EXPECT_EQ(hv::UtcDateTime(951868799), (hv::LzhDateTime{2000, 2, 29, 23, 59, 59}));
    EXPECT_EQ(hv::UtcDateTime(4294967295LL), (hv::LzhDateTime{2106, 2, 7, 6, 28, 15}));
}

TEST(UnlhaCommand, OnlyListWithOneArchiveIsUnderstood) {
    EXPECT_EQ(hv::ParseUnlhaCommand("l a.lzh").archive, "a.lzh");
    auto quoted = hv::ParseUnlhaCommand("  L \t\"C:\\My Files\\" + kSjisHyouji + ".lzh\"  ");
    EXPECT_TRUE(quoted.ok);
    EXPECT_EQ(quoted.archive, "C:\\My Files\\" + kSjisHyouji + ".lzh");
    for (const char* bad : {"", "   ", "x a.lzh", "e a.lzh out\\", "l", "l \"\"", "l a.lzh b.lzh", "l \"a.lzh"}) {
        auto command = hv::ParseUnlhaCommand(bad);
        EXPECT_FALSE(command.ok) << bad;
        EXPECT_FALSE(command.error.empty()) << bad;
        EXPECT_EQ(command.error.find('\n'), std::string::npos) << bad;
    }
}

TEST(UnlhaOutput, CutToFitAtTheLastWholeLine) {
    const struct {
        const char* text;
        std::size_t size;
        const char* expected;
    } cases[] = {{"one\r\ntwo\r\n", 16, "one\r\ntwo\r\n"},
                 {"one\r\ntwo\r\nthree\r\n", 12, "one\r\ntwo\r\n"},
                 {"a single long line", 8, "a singl"},
                 {"text", 1, ""},
                 {"text", 0, "################"}};  // nothing written
    char buffer[17] = {};
    for (const auto& c : cases) {
        std::fill(buffer, buffer + 16, '#');
        hv::CopyCutToFit(c.text, buffer, c.size);
        EXPECT_STREQ(buffer, c.expected) << c.text << " in " << c.size;
    }
    hv::CopyCutToFit("text", nullptr, 10);
}

#ifndef _WIN32
// Archives that Debian's lha (a Java implementation) makes at every header level, with
// Shift-JIS names and compressed members: names, sizes, CRCs and stamps as written.
TEST(DebianLha, ArchivesOfEveryHeaderLevelReadAsWritten) {
    if (std::system("command -v lha >/dev/null 2>&1") != 0) GTEST_SKIP() << "Debian's lha (jlha-utils) is missing";
    char pattern[] = "/tmp/hv-lzh-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    std::string numbers, noise, names;
    for (int i = 1; i <= 3000; ++i) numbers += std::to_string(i) + "\n";
    for (int i = 0; i < 5000; ++i) noise += char((i * 7919 + i / 13) & 0xFF);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"a.txt", "hello\n"},
        {"noise.bin", noise},
        {"sub/numbers.txt", numbers},
        {"sub/deeper/empty.dat", ""},
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "x\n"},  // 日本語.txt
        {"\xE8\xA1\xA8\xE7\xA4\xBA.txt", "hyouji\n"},         // 表示.txt
    };
    std::system(("mkdir -p '" + dir + "/in/sub/deeper'").c_str());
    for (const auto& [name, content] : files) {
        std::ofstream(dir + "/in/" + name, std::ios::binary) << content;
        names += " '" + name + "'";
    }
    const std::string in = "cd '" + dir + "/in' && TZ=UTC ";
    ASSERT_EQ(std::system((in + "touch -d '2024-03-05 14:27:38'" + names).c_str()), 0);
    const std::vector<std::string> stored = {"a.txt", "noise.bin", "sub\\numbers.txt", "sub\\deeper\\empty.dat",
                                             kSjisNihongo + ".txt", kSjisHyouji + ".txt"};
    for (int level : {0, 1, 2}) {
        SCOPED_TRACE(::testing::Message() << "level " << level);
        const std::string archivePath = dir + "/level" + std::to_string(level) + ".lzh";
        // 'y' stores the names in Shift-JIS.
        ASSERT_EQ(std::system((in + "LC_ALL=C.UTF-8 lha a" + std::to_string(level) + "y '" + archivePath + "'" + names +
                               " >/dev/null 2>&1").c_str()), 0);
        std::ifstream archiveFile(archivePath, std::ios::binary);
        auto archive = Read({std::istreambuf_iterator<char>(archiveFile), {}});
        ASSERT_TRUE(archive.ok) << archive.error;
        ASSERT_EQ(archive.members.size(), files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            const auto& m = archive.members[i];
            EXPECT_EQ(m.name, stored[i]);
            EXPECT_EQ(m.level, level);
            EXPECT_EQ(m.originalSize, files[i].second.size()) << m.name;
            const auto& data = files[i].second;
            EXPECT_EQ(m.crc, hv::LzhCrc16(reinterpret_cast<const std::uint8_t*>(data.data()), data.size())) << m.name;
            EXPECT_TRUE(m.method != "-lh0-" || m.packedSize == m.originalSize) << m.name;
            // The files were touched at 2024-03-05 14:27:38 UTC, and lha ran in UTC.
            EXPECT_EQ(m.hasUnixTime, level == 2);
            EXPECT_EQ(m.hasUnixTime ? hv::UtcDateTime(m.unixTime) : m.dosTime,
                      (hv::LzhDateTime{2024, 3, 5, 14, 27, 38}));
        }
        EXPECT_EQ(archive.members[2].method, "-lh5-") << "numbers compress";
        EXPECT_LT(archive.members[2].packedSize, numbers.size());
    }
    std::system(("rm -rf '" + dir + "'").c_str());
}
#endif

}  // namespace
