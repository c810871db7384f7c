// The stand-in archiver's portable core: LZH member headers of levels 0, 1 and 2, its
// listing text, its command line and how it cuts its output to fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/tools/lzh_builder.h"
#include "tools/unlha/lzh_archive.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using hv::test::BuildLzh;
using hv::test::BuildMember;

BuildMember Member(int level, std::string name, std::string folder = {}, std::string data = "hello\n") {
    BuildMember m;
    m.level = level;
    m.name = std::move(name);
    m.folder = std::move(folder);
    m.data = std::move(data);
    return m;
}

hv::LzhArchive Read(std::vector<std::uint8_t> bytes) {
    hv::MemorySource source(std::move(bytes));
    return hv::ReadLzhArchive(source);
}

const std::string kSjisNihongo = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語
const std::string kSjisHyouji = "\x95\x5C\x8E\xA6";           // 表示: its first character ends in 0x5C

TEST(LzhArchive, ReadsStoredMembersOfAllThreeHeaderLevels) {
    BuildMember level0 = Member(0, "docs\\a.txt");
    BuildMember level1 = Member(1, kSjisHyouji + ".txt", "sub\xFFinner\xFF", "0123456789");
    BuildMember level2 = Member(2, kSjisNihongo + ".txt", "sub\xFF", "");
    auto archive = Read(BuildLzh({level0, level1, level2}));
    ASSERT_TRUE(archive.ok) << archive.error;
    ASSERT_EQ(archive.members.size(), 3u);
    const auto& m0 = archive.members[0];
    EXPECT_EQ(m0.name, "docs\\a.txt");
    EXPECT_EQ(m0.method, "-lh0-");
    EXPECT_EQ(m0.originalSize, 6u);
    EXPECT_EQ(m0.packedSize, 6u);
    EXPECT_EQ(m0.level, 0);
    EXPECT_FALSE(m0.hasUnixTime);
    EXPECT_EQ(m0.dosTime, (hv::LzhDateTime{2024, 3, 5, 14, 33, 26}));
    const auto& m1 = archive.members[1];
    EXPECT_EQ(m1.name, "sub\\inner\\" + kSjisHyouji + ".txt") << "the 0x5C inside 表 is not a folder separator";
    EXPECT_EQ(m1.packedSize, 10u) << "the extended headers count in the skip size, not in the data";
    EXPECT_EQ(m1.crc, hv::LzhCrc16(reinterpret_cast<const std::uint8_t*>("0123456789"), 10));
    const auto& m2 = archive.members[2];
    EXPECT_EQ(m2.name, "sub\\" + kSjisNihongo + ".txt");
    EXPECT_EQ(m2.originalSize, 0u);
    EXPECT_TRUE(m2.hasUnixTime);
    EXPECT_EQ(m2.unixTime, 1709648858);
}

TEST(LzhArchive, LevelOneUnixTimeExtensionOverridesTheDosStamp) {
    BuildMember m = Member(1, "a");
    m.unixTime = 86400 * 365;
    m.unixTimeExtension = true;
    auto archive = Read(BuildLzh({m}));
    ASSERT_TRUE(archive.ok) << archive.error;
    EXPECT_TRUE(archive.members[0].hasUnixTime);
    EXPECT_EQ(archive.members[0].unixTime, 86400 * 365);
}

TEST(LzhArchive, EmptyArchivesAndAMissingEndMark) {
    auto endOnly = Read({0});
    EXPECT_TRUE(endOnly.ok);
    EXPECT_TRUE(endOnly.members.empty());
    auto noEnd = Read(BuildLzh({Member(2, "x")}, false));
    EXPECT_TRUE(noEnd.ok) << noEnd.error;
    EXPECT_EQ(noEnd.members.size(), 1u);
    EXPECT_EQ(Read({}).error, "not an LZH archive");
    std::string text = "This is a plain text file, not an archive at all.\n";
    EXPECT_EQ(Read({text.begin(), text.end()}).error, "not an LZH archive");
}

TEST(LzhArchive, DamagedArchivesGiveAOneLineReason) {
    const auto good = BuildLzh({Member(0, "a.txt"), Member(2, "b.txt")});
    auto expectError = [](std::vector<std::uint8_t> bytes, const std::string& part) {
        auto archive = Read(std::move(bytes));
        EXPECT_FALSE(archive.ok);
        EXPECT_NE(archive.error.find(part), std::string::npos) << archive.error;
        EXPECT_EQ(archive.error.find('\n'), std::string::npos);
    };
    auto level0 = good;
    level0[25] ^= 1;  // a name byte: the checksum no longer matches
    expectError(level0, "checksum");
    auto level2 = good;
    level2[good.size() - 12] ^= 0x40;  // inside the second header's name
    expectError(level2, "header CRC error at offset 35");
    auto truncated = good;
    truncated.resize(40);
    expectError(truncated, "truncated header at offset 35");
    auto data = BuildLzh({Member(0, "a.txt", "", "0123456789")}, false);
    data.resize(data.size() - 3);
    expectError(data, "truncated member data");
    auto level3 = good;
    level3[35 + 20] = 3;
    expectError(level3, "unsupported header level 3");
    auto badExt = BuildLzh({Member(1, "a", "dir")});
    badExt[26] = 2;  // the base header's next-size field: an extended header of 2 bytes
    unsigned sum = 0;
    for (std::size_t i = 2; i < 2 + std::size_t(badExt[0]); ++i) sum += badExt[i];
    badExt[1] = std::uint8_t(sum);
    expectError(badExt, "damaged extended header");
}

// Whatever the bytes, the reader neither reads out of bounds nor loops (ASan, timeout).
TEST(LzhArchive, SurvivesRandomDamage) {
    BuildMember withTime = Member(1, "b", "d\xFF");
    withTime.unixTimeExtension = true;
    const auto good = BuildLzh({Member(0, "a.txt"), withTime, Member(2, "c", "e\xFF")});
    std::srand(12345);
    for (int trial = 0; trial < 3000; ++trial) {
        auto bytes = good;
        for (int n = 1 + std::rand() % 4; n > 0; --n) bytes[std::size_t(std::rand()) % bytes.size()] = std::uint8_t(std::rand());
        if (trial % 5 == 0) bytes.resize(std::size_t(std::rand()) % bytes.size());
        auto archive = Read(bytes);
        if (!archive.ok) {
            EXPECT_EQ(archive.error.find('\n'), std::string::npos);
        }
        for (const auto& m : archive.members) EXPECT_LE(m.packedSize, bytes.size());
    }
}

TEST(LzhListing, OneLinePerMemberWithSizesRatioMethodDateTimeAndName) {
    auto archive = Read(BuildLzh(
        {Member(0, "a.txt"), Member(2, kSjisNihongo + ".txt", "", std::string(3000, 'x')), Member(1, "bad\r\nname", "", "")}));
    ASSERT_TRUE(archive.ok) << archive.error;
    archive.members[1].method = "-lh5-";
    archive.members[1].packedSize = 1234;
    std::string listing = hv::FormatLzhListing(archive.members, hv::UtcDateTime);
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < listing.size();) {
        std::size_t end = listing.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
        lines.push_back(listing.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 7u) << listing;
    EXPECT_EQ(lines[2], "           6            6 100.0%  -lh0-  2024-03-05 14:33:26  a.txt");
    EXPECT_EQ(lines[3], "        3000         1234  41.1%  -lh5-  2024-03-05 14:27:38  " + kSjisNihongo + ".txt");
    EXPECT_EQ(lines[4], "           0            0   0.0%  -lh0-  2024-03-05 14:33:26  bad??name")
        << "a control character in a name cannot start a line of its own";
    EXPECT_EQ(lines[6], "        3006         1240  41.3%  3 files");
    EXPECT_EQ(lines[1], lines[5]);
    // The converter decides how level 2 stamps are shown (the DLL shows local time).
    std::string shifted = hv::FormatLzhListing(archive.members, [](std::int64_t t) { return hv::UtcDateTime(t + 3600); });
    EXPECT_NE(shifted.find("2024-03-05 15:27:38"), std::string::npos);
    EXPECT_NE(hv::FormatLzhListing({}, hv::UtcDateTime).find("  0 files\r\n"), std::string::npos);
}

TEST(LzhListing, UtcDateTimeOfSecondsSince1970) {
    EXPECT_EQ(hv::UtcDateTime(0), (hv::LzhDateTime{1970, 1, 1, 0, 0, 0}));
    EXPECT_EQ(hv::UtcDateTime(951868799), (hv::LzhDateTime{2000, 2, 29, 23, 59, 59}));
    EXPECT_EQ(hv::UtcDateTime(1709648858), (hv::LzhDateTime{2024, 3, 5, 14, 27, 38}));
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
    char buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    hv::CopyCutToFit("one\r\ntwo\r\n", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "one\r\ntwo\r\n");
    hv::CopyCutToFit("one\r\ntwo\r\nthree\r\n", buffer, 12);
    EXPECT_STREQ(buffer, "one\r\ntwo\r\n");
    hv::CopyCutToFit("a single long line", buffer, 8);
    EXPECT_STREQ(buffer, "a singl");
    hv::CopyCutToFit("text", buffer, 1);
    EXPECT_STREQ(buffer, "");
    buffer[0] = '#';
    hv::CopyCutToFit("text", buffer, 0);
    EXPECT_EQ(buffer[0], '#');
    hv::CopyCutToFit("text", nullptr, 10);
}

#ifndef _WIN32
// Archives made by Debian's lha (a Java implementation) at every header level, read by
// the stand-in and by lhasa: the same names, sizes, methods, CRCs and stamps.
const std::string kNihongoUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt";  // 日本語.txt
const std::string kHyoujiUtf8 = "\xE8\xA1\xA8\xE7\xA4\xBA.txt";                // 表示.txt
const std::string kFiles =
    "a.txt noise.bin sub/numbers.txt sub/deeper/empty.dat '" + kNihongoUtf8 + "' '" + kHyoujiUtf8 + "'";

class DebianLha : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v lha >/dev/null 2>&1 && command -v lhasa >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "Debian's lha (jlha-utils) and lhasa are not installed";
        char pattern[] = "/tmp/hv-lzh-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        Write("a.txt", "hello\n");
        std::string numbers;
        for (int i = 1; i <= 3000; ++i) numbers += std::to_string(i) + "\n";
        Write("sub/numbers.txt", numbers);
        Write("sub/deeper/empty.dat", "");
        std::string noise;
        for (int i = 0; i < 5000; ++i) noise += char((i * 7919 + i / 13) & 0xFF);
        Write("noise.bin", noise);
        Write(kNihongoUtf8, "x\n");
        Write(kHyoujiUtf8, "hyouji\n");
        ASSERT_EQ(Run("cd '" + dir_ + "/in' && TZ=UTC touch -d '2024-03-05 14:27:38' " + kFiles), 0);
    }
    void TearDown() override {
        if (!dir_.empty()) Run("rm -rf '" + dir_ + "'");
    }
    void Write(const std::string& relative, const std::string& content) {
        std::string path = dir_ + "/in/" + relative;
        Run("mkdir -p \"$(dirname '" + path + "')\"");
        std::ofstream(path, std::ios::binary) << content;
    }
    static int Run(const std::string& command) { return std::system(command.c_str()); }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Makes an archive of the given level; 'y' stores the names in Shift-JIS.
    std::vector<std::uint8_t> Make(int level) {
        std::string archive = dir_ + "/level" + std::to_string(level) + ".lzh";
        int rc = Run("cd '" + dir_ + "/in' && LC_ALL=C.UTF-8 TZ=UTC lha a" + std::to_string(level) + "y '" + archive +
                     "' " + kFiles + " >/dev/null 2>&1");
        EXPECT_EQ(rc, 0);
        std::string bytes = Slurp(archive);
        return {bytes.begin(), bytes.end()};
    }
    struct Row {
        std::uint64_t packed = 0, size = 0;
        std::string method, crc, month, day;
    };
    // lhasa's verbose listing, by name (ASCII names only: lhasa re-encodes the others).
    std::map<std::string, Row> Lhasa(int level) {
        std::string out = dir_ + "/lhasa.txt";
        Run("cd '" + dir_ + "' && TZ=UTC lhasa v level" + std::to_string(level) + ".lzh > lhasa.txt 2>&1");
        std::map<std::string, Row> rows;
        std::istringstream text(Slurp(out));
        for (std::string line; std::getline(text, line);) {
            std::istringstream words(line);
            std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
            auto method = std::find_if(w.begin(), w.end(), [](const std::string& s) {
                return s.size() == 5 && s.front() == '-' && s.back() == '-' && s != "-----";
            });
            if (method == w.end() || method - w.begin() < 3 || w.end() - method < 6) continue;
            Row r{std::stoull(method[-3]), std::stoull(method[-2]), *method, method[1], method[2], method[3]};
            rows[method[5]] = r;
        }
        return rows;
    }
    std::string dir_;
};

TEST_F(DebianLha, ListingMatchesLhasaAtEveryHeaderLevel) {
    for (int level : {0, 1, 2}) {
        SCOPED_TRACE(::testing::Message() << "level " << level);
        auto archive = Read(Make(level));
        ASSERT_TRUE(archive.ok) << archive.error;
        auto rows = Lhasa(level);
        ASSERT_EQ(rows.size(), 6u);
        ASSERT_EQ(archive.members.size(), 6u);
        std::vector<std::string> names;
        for (const auto& m : archive.members) {
            EXPECT_EQ(m.level, level);
            std::string slashed = m.name;
            std::replace(slashed.begin(), slashed.end(), '\\', '/');
            names.push_back(m.name);
            // Stamps: the files were touched at 2024-03-05 14:27:38 UTC, and lha ran in UTC.
            hv::LzhDateTime t = m.hasUnixTime ? hv::UtcDateTime(m.unixTime) : m.dosTime;
            EXPECT_EQ(t, (hv::LzhDateTime{2024, 3, 5, 14, 27, 38})) << m.name;
            EXPECT_EQ(m.hasUnixTime, level == 2);
            auto row = rows.find(slashed);
            if (row == rows.end()) continue;
            EXPECT_EQ(m.packedSize, row->second.packed) << m.name;
            EXPECT_EQ(m.originalSize, row->second.size) << m.name;
            EXPECT_EQ(m.method, row->second.method) << m.name;
            char crc[8];
            std::snprintf(crc, sizeof crc, "%04x", m.crc);
            EXPECT_EQ(crc, row->second.crc) << m.name;
            EXPECT_EQ(row->second.month + row->second.day, "Mar5");
        }
        EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "noise.bin", "sub\\numbers.txt", "sub\\deeper\\empty.dat",
                                                   kSjisNihongo + ".txt", kSjisHyouji + ".txt"}));
        EXPECT_EQ(archive.members[2].method, "-lh5-") << "numbers compress";
    }
}
#endif

}  // namespace
