// Hand-made LZH archives for tests: stored (-lh0-) members with header levels 0, 1 and
// 2, names and folders as raw bytes, the checksums and header CRCs filled in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/unlha/lzh_archive.h"

namespace hv::test {

struct BuildMember {
    int level = 0;
    std::string name{};    // for levels 0 and 1 without extension: may hold '\' or 0xFF
    std::string folder{};  // levels 1 and 2: an extended header, 0xFF between folders
    std::string data = "hello\n";
    bool unixTimeExtension = false;       // level 1: add an extended header 0x54
    std::uint32_t unixTime = 1709648858;  // 2024-03-05 14:27:38 UTC (level 2, extension 0x54)
    std::uint32_t dosStamp = 0x5865742D;  // 2024-03-05 14:33:26 (levels 0 and 1)
};

inline std::vector<std::uint8_t> BuildMemberBytes(const BuildMember& m) {
    std::vector<std::uint8_t> h = {0, 0};
    auto put = [&h](std::uint32_t x, int bytes) {
        for (int i = 0; i < bytes; ++i) h.push_back(std::uint8_t(x >> (8 * i)));
    };
    auto text = [&h](const std::string& s) { h.insert(h.end(), s.begin(), s.end()); };
    const auto size = std::uint32_t(m.data.size());
    const std::uint16_t crc = LzhCrc16(reinterpret_cast<const std::uint8_t*>(m.data.data()), m.data.size());
    if (m.level == 2) {
        text("-lh0-"), put(size, 4), put(size, 4), put(m.unixTime, 4), put(0x20, 1), put(2, 1), put(crc, 2);
        text("M"), put(5, 2), put(0x00, 1);  // the header CRC record, filled in below
        const std::size_t crcAt = h.size();
        put(0, 2), put(unsigned(m.name.size() + 3), 2), put(0x01, 1), text(m.name);
        put(m.folder.empty() ? 0 : unsigned(m.folder.size() + 3), 2);
        if (!m.folder.empty()) put(0x02, 1), text(m.folder), put(0, 2);
        h[0] = std::uint8_t(h.size()), h[1] = std::uint8_t(h.size() >> 8);
        const std::uint16_t headerCrc = LzhCrc16(h.data(), h.size());
        h[crcAt] = std::uint8_t(headerCrc), h[crcAt + 1] = std::uint8_t(headerCrc >> 8);
        text(m.data);
        return h;
    }
    // Level 1 extended headers: [type][payload][size of the next one]; the size of the
    // first one ends the base header, and they count in the packed size.
    std::vector<std::string> records;
    if (m.level == 1 && !m.folder.empty()) records.push_back('\x02' + m.folder);
    if (m.level == 1 && m.unixTimeExtension) {
        records.push_back("\x54");
        for (int i = 0; i < 4; ++i) records.back() += char(m.unixTime >> (8 * i));
    }
    std::size_t extended = 0;
    for (const auto& r : records) extended += r.size() + 2;
    text("-lh0-"), put(std::uint32_t(size + extended), 4), put(size, 4), put(m.dosStamp, 4), put(0x20, 1);
    put(std::uint32_t(m.level), 1), put(std::uint32_t(m.name.size()), 1), text(m.name), put(crc, 2);
    if (m.level == 1) text("M"), put(records.empty() ? 0 : unsigned(records[0].size() + 2), 2);
    h[0] = std::uint8_t(h.size() - 2);
    unsigned sum = 0;
    for (std::size_t i = 2; i < h.size(); ++i) sum += h[i];
    h[1] = std::uint8_t(sum);
    for (std::size_t i = 0; i < records.size(); ++i)
        text(records[i]), put(i + 1 < records.size() ? unsigned(records[i + 1].size() + 2) : 0, 2);
    text(m.data);
    return h;
}

inline std::vector<std::uint8_t> BuildLzh(const std::vector<BuildMember>& members, bool endMark = true) {
    std::vector<std::uint8_t> out;
    for (const auto& m : members) {
        auto bytes = BuildMemberBytes(m);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    if (endMark) out.push_back(0);
    return out;
}

}  // namespace hv::test
