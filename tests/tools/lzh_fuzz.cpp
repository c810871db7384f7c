// libFuzzer target: the stand-in archiver's reader and listing on arbitrary bytes. What it
// accepts must lie within the archive and list as one clean line per member; dates are
// checked against the C library's gmtime; the listing cut to a buffer stays a prefix that
// ends at a line. Built and run by tools/fuzz/run lzh.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "tools/unlha/lzh_archive.h"

namespace {

#define FUZZ_CHECK(condition) \
    ((condition) ? void() : (std::fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #condition), std::abort()))

bool OneCleanLine(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t bufferSize = data[0] * 4;  // where the listing gets cut
    hv::MemorySource source({data + 1, data + size});
    const hv::LzhArchive archive = hv::ReadLzhArchive(source);
    FUZZ_CHECK(archive.ok == archive.error.empty() && OneCleanLine(archive.error));
    if (!archive.ok) return 0;

    std::uint64_t packed = 0;
    for (const hv::LzhMember& m : archive.members) {
        FUZZ_CHECK(m.level >= 0 && m.level <= 2 && m.method.size() == 5 && OneCleanLine(m.name));
        packed += m.packedSize;
        if (!m.hasUnixTime) continue;
        const std::time_t t = m.unixTime;
        std::tm utc{};
        FUZZ_CHECK(gmtime_r(&t, &utc) != nullptr);
        const hv::LzhDateTime ours = hv::UtcDateTime(m.unixTime);
        FUZZ_CHECK(ours == (hv::LzhDateTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                                            utc.tm_sec}));
    }
    // Each member takes a header of at least 22 bytes besides its data.
    FUZZ_CHECK(packed + archive.members.size() * 22 <= size - 1);

    // A heading, a rule, a line per member, a rule and the total, each ending in CR LF.
    const std::string listing = hv::FormatLzhListing(archive.members, hv::UtcDateTime);
    std::size_t lines = 0;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        if (listing[i] != '\n') continue;
        FUZZ_CHECK(i > 0 && listing[i - 1] == '\r');
        ++lines;
    }
    FUZZ_CHECK(lines == archive.members.size() + 4 && listing.back() == '\n');

    if (bufferSize == 0) return 0;
    std::vector<char> buffer(bufferSize + 1, '#');
    hv::CopyCutToFit(listing, buffer.data(), bufferSize);
    FUZZ_CHECK(buffer[bufferSize] == '#');  // nothing written past the buffer
    const std::string copied(buffer.data());
    FUZZ_CHECK(copied.size() < bufferSize && listing.compare(0, copied.size(), copied) == 0);
    const bool aLineFits = listing.find('\n') < bufferSize - 1;
    FUZZ_CHECK(copied.size() == listing.size() || !aLineFits || copied.back() == '\n');
    return 0;
}
