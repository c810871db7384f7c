#include "tools/unlha/lzh_archive.h"

#include <algorithm>
#include <cstdio>

namespace hv {

std::size_t MemorySource::Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) {
    if (offset >= bytes_.size()) return 0;
    std::size_t n = std::min<std::uint64_t>(count, bytes_.size() - offset);
    std::copy_n(bytes_.data() + offset, n, out);
    return n;
}

std::uint16_t LzhCrc16(const std::uint8_t* data, std::size_t size, std::uint16_t crc) {
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

namespace {

constexpr std::size_t kLevel01Base = 22;  // bytes before the name
constexpr std::size_t kLevel2Base = 26;   // fixed part of a level 2 header

std::uint16_t Word(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
std::uint32_t Dword(const std::uint8_t* p) { return std::uint32_t(Word(p)) | std::uint32_t(Word(p + 2)) << 16; }

std::string AtOffset(const char* what, std::uint64_t offset) {
    char text[160];
    std::snprintf(text, sizeof text, "%s at offset %llu", what, static_cast<unsigned long long>(offset));
    return text;
}

LzhDateTime DosDateTime(std::uint32_t stamp) {
    const unsigned time = stamp & 0xFFFF, date = stamp >> 16;
    return {int(1980 + (date >> 9)), int((date >> 5) & 15), int(date & 31),
            int(time >> 11),         int((time >> 5) & 63), int((time & 31) * 2)};
}

// Folder separators of the archive (0xFF, '/' or '\') become '\'. Only 0xFF and '/' are
// rewritten: 0x5C is also the second byte of Shift-JIS characters such as 表. Control
// characters become '?' so that a name cannot break the listing's lines.
std::string CleanName(std::string_view raw) {
    std::string name;
    for (char ch : raw) {
        auto b = static_cast<unsigned char>(ch);
        name += b == 0xFF || b == '/' ? '\\' : b < 0x20 || b == 0x7F ? '?' : ch;
    }
    return name;
}

bool LooksLikeMethod(const std::uint8_t* p) {
    if (p[0] != '-' || p[4] != '-') return false;
    for (int i = 1; i < 4; ++i)
        if (p[i] < 0x20 || p[i] > 0x7E) return false;
    return true;
}

struct Extensions {
    std::string name, folder;
    bool hasUnixTime = false;
    std::int64_t unixTime = 0;
    bool hasHeaderCrc = false;
    std::size_t headerCrcAt = 0;  // offset of the CRC within the header bytes
};

void TakeExtension(const std::uint8_t* ext, std::size_t size, std::size_t dataAt, Extensions& out) {
    // ext[0] is the type, then size - 3 data bytes (the last two bytes give the next size).
    const std::uint8_t* data = ext + 1;
    const std::size_t length = size - 3;
    switch (ext[0]) {
    case 0x00:
        if (length >= 2) {
            out.hasHeaderCrc = true;
            out.headerCrcAt = dataAt;
        }
        break;
    case 0x01:
        out.name.assign(reinterpret_cast<const char*>(data), length);
        break;
    case 0x02:
        out.folder.assign(reinterpret_cast<const char*>(data), length);
        break;
    case 0x54:
        if (length >= 4) {
            out.unixTime = Dword(data);
            out.hasUnixTime = true;
        }
        break;
    default:
        break;
    }
}

std::string JoinName(const std::string& folder, const std::string& name) {
    std::string joined = CleanName(folder);
    if (!joined.empty() && joined.back() != '\\') joined += '\\';
    return joined + CleanName(name);
}

class Reader {
public:
    explicit Reader(ByteSource& source) : source_(source), size_(source.Size()) {}

    LzhArchive Run() {
        LzhArchive archive;
        std::uint8_t start[kLevel01Base] = {};
        if (!Bytes(0, start, sizeof start) || !LooksLikeMethod(start + 2)) {
            // An archive holding no member at all is just its end mark.
            archive.ok = Bytes(0, start, 1) && start[0] == 0;
            if (!archive.ok) archive.error = "not an LZH archive";
            return archive;
        }
        std::uint64_t offset = 0;
        while (offset < size_) {
            std::uint8_t first = 0;
            if (Bytes(offset, &first, 1) && first == 0) break;  // end mark
            LzhMember member;
            std::uint64_t next = 0;
            archive.error = Member(offset, member, next);
            if (!archive.error.empty()) return archive;
            archive.members.push_back(std::move(member));
            offset = next;
        }
        archive.ok = true;
        return archive;
    }

private:
    bool Bytes(std::uint64_t offset, std::uint8_t* out, std::size_t count) {
        return offset <= size_ && count <= size_ - offset && source_.Read(offset, out, count) == count;
    }

    // Reads the member whose header starts at `offset`; an empty result means success.
    std::string Member(std::uint64_t offset, LzhMember& m, std::uint64_t& next) {
        std::uint8_t fixed[kLevel01Base];
        if (!Bytes(offset, fixed, sizeof fixed)) return AtOffset("truncated header", offset);
        if (!LooksLikeMethod(fixed + 2)) return AtOffset("not a member header", offset);
        m.method.assign(reinterpret_cast<const char*>(fixed + 2), 5);
        m.originalSize = Dword(fixed + 11);
        m.level = fixed[20];
        std::uint64_t dataStart = 0;
        std::string error;
        switch (m.level) {
        case 0:
        case 1:
            error = Level01(offset, fixed, m, dataStart);
            break;
        case 2:
            error = Level2(offset, fixed, m, dataStart);
            break;
        default:
            return AtOffset(("unsupported header level " + std::to_string(m.level)).c_str(), offset);
        }
        if (!error.empty()) return error;
        if (m.packedSize > size_ - dataStart) return AtOffset("truncated member data", dataStart);
        next = dataStart + m.packedSize;
        return {};
    }

    std::string Level01(std::uint64_t offset, const std::uint8_t* fixed, LzhMember& m, std::uint64_t& dataStart) {
        const std::size_t headerSize = std::size_t(fixed[0]) + 2;
        std::vector<std::uint8_t> h(headerSize);
        if (headerSize < kLevel01Base + 2 || !Bytes(offset, h.data(), h.size()))
            return AtOffset("truncated header", offset);
        unsigned sum = 0;
        for (std::size_t i = 2; i < headerSize; ++i) sum += h[i];
        if ((sum & 0xFF) != h[1]) return AtOffset("header checksum error", offset);
        const std::size_t nameLength = h[21];
        const std::size_t tail = m.level == 0 ? 2 : 5;  // CRC, then (level 1) OS id and next size
        if (kLevel01Base + nameLength + tail > headerSize) return AtOffset("name longer than its header", offset);
        std::string name(reinterpret_cast<const char*>(&h[kLevel01Base]), nameLength);
        m.crc = Word(&h[kLevel01Base + nameLength]);
        m.dosTime = DosDateTime(Dword(&h[15]));
        const std::uint64_t skip = Dword(&h[7]);
        dataStart = offset + headerSize;
        if (m.level == 0) {
            m.packedSize = skip;
            m.name = CleanName(name);
            return {};
        }
        // Level 1: extended headers follow the base header and count in its skip size.
        Extensions ext;
        std::uint64_t extBytes = 0;
        std::size_t extSize = Word(&h[headerSize - 2]);
        while (extSize != 0) {
            if (extSize < 3 || extBytes + extSize > skip) return AtOffset("damaged extended header", dataStart);
            std::vector<std::uint8_t> e(extSize);
            if (!Bytes(dataStart, e.data(), e.size())) return AtOffset("truncated extended header", dataStart);
            TakeExtension(e.data(), extSize, 0, ext);
            dataStart += extSize;
            extBytes += extSize;
            extSize = Word(&e[extSize - 2]);
        }
        m.packedSize = skip - extBytes;
        m.name = JoinName(ext.folder, ext.name.empty() ? name : ext.name);
        if (ext.hasUnixTime) {
            m.hasUnixTime = true;
            m.unixTime = ext.unixTime;
        }
        return {};
    }

    std::string Level2(std::uint64_t offset, const std::uint8_t* fixed, LzhMember& m, std::uint64_t& dataStart) {
        const std::size_t headerSize = Word(fixed);
        std::vector<std::uint8_t> h(headerSize);
        if (headerSize < kLevel2Base || !Bytes(offset, h.data(), h.size())) return AtOffset("truncated header", offset);
        m.packedSize = Dword(&h[7]);
        m.hasUnixTime = true;
        m.unixTime = Dword(&h[15]);
        m.crc = Word(&h[21]);
        Extensions ext;
        std::size_t at = kLevel2Base;
        std::size_t extSize = Word(&h[24]);
        while (extSize != 0) {
            if (extSize < 3 || extSize > headerSize - at) return AtOffset("damaged extended header", offset + at);
            TakeExtension(&h[at], extSize, at + 1, ext);
            at += extSize;
            extSize = Word(&h[at - 2]);
        }
        if (ext.hasHeaderCrc) {
            const std::uint16_t stored = Word(&h[ext.headerCrcAt]);
            h[ext.headerCrcAt] = h[ext.headerCrcAt + 1] = 0;
            if (LzhCrc16(h.data(), h.size()) != stored) return AtOffset("header CRC error", offset);
        }
        m.name = JoinName(ext.folder, ext.name);
        dataStart = offset + headerSize;
        return {};
    }

    ByteSource& source_;
    const std::uint64_t size_;
};

// Days from 1970-01-01 to a civil date and back (proleptic Gregorian calendar).
void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = unsigned(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(std::int64_t(yoe) + era * 400 + (month <= 2));
}

std::string Ratio(std::uint64_t packed, std::uint64_t original) {
    char text[16];
    if (original == 0) return "  0.0%";
    // Tenths of a percent, rounded half up; packed data can be larger than the original.
    const std::uint64_t tenths = (packed * 2000 + original) / (2 * original);
    if (tenths > 9999) return ">999%";
    std::snprintf(text, sizeof text, "%3u.%u%%", unsigned(tenths / 10), unsigned(tenths % 10));
    return text;
}

}  // namespace

LzhArchive ReadLzhArchive(ByteSource& source) { return Reader(source).Run(); }

LzhDateTime UtcDateTime(std::int64_t unixTime) {
    std::int64_t days = unixTime / 86400, rest = unixTime % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    LzhDateTime t;
    CivilFromDays(days, t.year, t.month, t.day);
    t.hour = int(rest / 3600);
    t.minute = int(rest / 60 % 60);
    t.second = int(rest % 60);
    return t;
}

std::string FormatLzhListing(const std::vector<LzhMember>& members, const UnixTimeConverter& toDateTime) {
    static const char kRule[] = "------------ ------------ ------ ------- ---------- --------  --------------------\r\n";
    std::string out = "    Original       Packed  Ratio  Method   Date       Time     Name\r\n";
    out += kRule;
    std::uint64_t original = 0, packed = 0;
    char line[128];
    for (const LzhMember& m : members) {
        const LzhDateTime t = !m.hasUnixTime ? m.dosTime : toDateTime ? toDateTime(m.unixTime) : UtcDateTime(m.unixTime);
        std::snprintf(line, sizeof line, "%12llu %12llu %6s  %-5.5s  %04d-%02d-%02d %02d:%02d:%02d  ",
                      static_cast<unsigned long long>(m.originalSize), static_cast<unsigned long long>(m.packedSize),
                      Ratio(m.packedSize, m.originalSize).c_str(), m.method.c_str(), t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
        out += line;
        out += m.name;
        out += "\r\n";
        original += m.originalSize;
        packed += m.packedSize;
    }
    out += kRule;
    std::snprintf(line, sizeof line, "%12llu %12llu %6s  %llu %s\r\n", static_cast<unsigned long long>(original),
                  static_cast<unsigned long long>(packed), Ratio(packed, original).c_str(),
                  static_cast<unsigned long long>(members.size()),
                  members.size() == 1 ? "file" : "files");
    out += line;
    return out;
}

UnlhaCommand ParseUnlhaCommand(std::string_view commandLine) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < commandLine.size()) {
        if (commandLine[i] == ' ' || commandLine[i] == '\t') {
            ++i;
            continue;
        }
        std::string word;
        if (commandLine[i] == '"') {
            const std::size_t close = commandLine.find('"', i + 1);
            if (close == std::string_view::npos) return {false, {}, "unbalanced quotes in the command line"};
            word = commandLine.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            const std::size_t end = commandLine.find_first_of(" \t", i);
            word = commandLine.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
            i = end == std::string_view::npos ? commandLine.size() : end;
        }
        words.push_back(std::move(word));
    }
    if (words.empty()) return {false, {}, "no command given (this archiver understands \"l ARCHIVE\")"};
    if (words[0] != "l" && words[0] != "L")
        return {false, {}, "unknown command \"" + CleanName(words[0]) + "\" (this archiver understands \"l ARCHIVE\")"};
    if (words.size() < 2 || words[1].empty()) return {false, {}, "no archive given to list"};
    if (words.size() > 2) return {false, {}, "more than one archive given to list"};
    return {true, words[1], {}};
}

void CopyCutToFit(std::string_view text, char* buffer, std::size_t size) {
    if (!buffer || size == 0) return;
    std::size_t n = text.size();
    if (n > size - 1) {
        n = size - 1;
        const std::size_t lineEnd = text.substr(0, n).rfind('\n');
        if (lineEnd != std::string_view::npos) n = lineEnd + 1;
    }
    std::copy_n(text.data(), n, buffer);
    buffer[n] = '\0';
}

}  // namespace hv
