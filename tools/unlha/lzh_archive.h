// Reading the member headers of an LZH archive (header levels 0, 1 and 2) and the
// listing text of the stand-in UNLHA32.DLL. Portable: no Windows header, unit-tested
// natively against archives made by Debian's lha.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

// Random access to the archive's bytes, so that only headers are read, never the data.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies up to `count` bytes from `offset` into `out`; returns how many it copied.
    virtual std::size_t Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) = 0;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) override;

private:
    std::vector<std::uint8_t> bytes_;
};

struct LzhDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool operator==(const LzhDateTime&) const = default;
};

struct LzhMember {
    // The archive's own bytes (Shift-JIS on a Japanese system), folders separated by '\'.
    std::string name;
    std::string method;  // "-lh5-", "-lhd-" for a folder, ...
    std::uint64_t packedSize = 0;
    std::uint64_t originalSize = 0;
    std::uint16_t crc = 0;  // of the original data
    int level = 0;
    // Levels 0 and 1 stamp members with an MS-DOS local date and time; level 2 (and an
    // extended header of level 1) with seconds since 1970 in UTC.
    bool hasUnixTime = false;
    std::int64_t unixTime = 0;
    LzhDateTime dosTime;
};

struct LzhArchive {
    bool ok = false;
    std::string error;  // one line, set when !ok
    std::vector<LzhMember> members;
};

LzhArchive ReadLzhArchive(ByteSource& source);

// CRC-16 as LZH archives use it (reflected polynomial 0xA001, initial value 0).
std::uint16_t LzhCrc16(const std::uint8_t* data, std::size_t size, std::uint16_t crc = 0);

// Turns seconds since 1970 (UTC) into the date and time to show; the DLL passes local time.
using UnixTimeConverter = std::function<LzhDateTime(std::int64_t)>;
LzhDateTime UtcDateTime(std::int64_t unixTime);

// The listing: a heading, one line per member (original size, packed size, ratio,
// method, date, time, name), a total line; lines end in CR LF.
std::string FormatLzhListing(const std::vector<LzhMember>& members, const UnixTimeConverter& toDateTime);

// The one command the stand-in understands: "l ARCHIVE" (the path may be quoted).
struct UnlhaCommand {
    bool ok = false;
    std::string archive;
    std::string error;  // one line, set when !ok
};
UnlhaCommand ParseUnlhaCommand(std::string_view commandLine);

// Result codes of the stand-in's Unlha.
inline constexpr int kUnlhaOk = 0;
inline constexpr int kUnlhaBadCommand = 1;
inline constexpr int kUnlhaCannotOpen = 2;
inline constexpr int kUnlhaBadArchive = 3;

// Copies `text` into a buffer of `size` bytes with its NUL, cut to fit: at the end of the
// last whole line that fits when any does, else at the last byte that fits.
void CopyCutToFit(std::string_view text, char* buffer, std::size_t size);

}  // namespace hv
