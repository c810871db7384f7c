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
    std::string name;    // for levels 0 and 1 without extension: may hold '\' or 0xFF
    std::string folder;  // levels 1 and 2: an extended header, 0xFF between folders
    std::string data = "hello\n";
    std::string method = "-lh0-";
    std::uint32_t dosStamp = 0x5865742D;  // 2024-03-05 14:33:26
    std::uint32_t unixTime = 1709648858;  // 2024-03-05 14:27:38 UTC
    bool unixTimeExtension = false;       // level 1: add an extended header 0x54
};

inline void Put16(std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(std::uint8_t(x));
    v.push_back(std::uint8_t(x >> 8));
}
inline void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}
inline void PutText(std::vector<std::uint8_t>& v, const std::string& s) { v.insert(v.end(), s.begin(), s.end()); }

inline std::vector<std::uint8_t> BuildMemberBytes(const BuildMember& m) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(m.data.data());
    const std::uint16_t crc = LzhCrc16(data, m.data.size());
    std::vector<std::uint8_t> out;
    if (m.level == 0 || m.level == 1) {
        // Level 1 extended headers: [type][payload][size of the next one]; the size of the
        // first one ends the base header.
        std::vector<std::pair<std::uint8_t, std::string>> records;
        if (m.level == 1 && !m.folder.empty()) records.emplace_back(0x02, m.folder);
        if (m.level == 1 && m.unixTimeExtension) {
            std::string t(4, '\0');
            for (int i = 0; i < 4; ++i) t[i] = char(m.unixTime >> (8 * i));
            records.emplace_back(0x54, t);
        }
        auto recordSize = [&](std::size_t i) { return i < records.size() ? unsigned(records[i].second.size() + 3) : 0u; };
        std::vector<std::uint8_t> chained;
        for (std::size_t i = 0; i < records.size(); ++i) {
            chained.push_back(records[i].first);
            PutText(chained, records[i].second);
            Put16(chained, recordSize(i + 1));
        }
        std::vector<std::uint8_t> h = {0, 0};
        PutText(h, m.method);
        Put32(h, std::uint32_t(m.data.size() + chained.size()));
        Put32(h, std::uint32_t(m.data.size()));
        Put32(h, m.dosStamp);
        h.push_back(0x20);
        h.push_back(std::uint8_t(m.level));
        h.push_back(std::uint8_t(m.name.size()));
        PutText(h, m.name);
        Put16(h, crc);
        if (m.level == 1) {
            h.push_back('M');
            Put16(h, recordSize(0));
        }
        h[0] = std::uint8_t(h.size() - 2);
        unsigned sum = 0;
        for (std::size_t i = 2; i < h.size(); ++i) sum += h[i];
        h[1] = std::uint8_t(sum);
        out = h;
        out.insert(out.end(), chained.begin(), chained.end());
    } else {
        std::vector<std::uint8_t> h = {0, 0};
        PutText(h, m.method);
        Put32(h, std::uint32_t(m.data.size()));
        Put32(h, std::uint32_t(m.data.size()));
        Put32(h, m.unixTime);
        h.push_back(0x20);
        h.push_back(2);
        Put16(h, crc);
        h.push_back('M');
        Put16(h, 5);  // header CRC record
        h.push_back(0x00);
        const std::size_t crcAt = h.size();
        Put16(h, 0);
        Put16(h, unsigned(m.name.size() + 3));
        h.push_back(0x01);
        PutText(h, m.name);
        Put16(h, m.folder.empty() ? 0 : unsigned(m.folder.size() + 3));
        if (!m.folder.empty()) {
            h.push_back(0x02);
            PutText(h, m.folder);
            Put16(h, 0);
        }
        h[0] = std::uint8_t(h.size());
        h[1] = std::uint8_t(h.size() >> 8);
        const std::uint16_t headerCrc = LzhCrc16(h.data(), h.size());
        h[crcAt] = std::uint8_t(headerCrc);
        h[crcAt + 1] = std::uint8_t(headerCrc >> 8);
        out = h;
    }
    PutText(out, m.data);
    return out;
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
