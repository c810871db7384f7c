#include "hvplus/talk_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace hv {
namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatImaAdpcm = 0x11;

constexpr std::int16_t kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kImaIndexChange[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

// Decodes IMA ADPCM blocks of `blockAlign` bytes (a 4-byte header: the first sample and the
// step index; then two samples a byte, the low nibble first) up to `count` samples.
bool DecodeImaAdpcm(std::span<const std::uint8_t> data, std::size_t blockAlign, std::size_t count,
                    std::vector<std::int16_t>& out) {
    for (std::size_t at = 0; at + 4 <= data.size() && out.size() < count; at += blockAlign) {
        const std::uint8_t* block = data.data() + at;
        const std::size_t end = std::min(data.size(), at + blockAlign);
        int predictor = static_cast<std::int16_t>(Le16(block));
        int index = block[2];
        if (index > 88) return false;
        out.push_back(static_cast<std::int16_t>(predictor));
        for (std::size_t i = at + 4; i < end; ++i) {
            for (int nibble : {data[i] & 0x0F, data[i] >> 4}) {
                if (out.size() >= count) return true;
                const int step = kImaSteps[index];
                int diff = step >> 3;
                if (nibble & 1) diff += step >> 2;
                if (nibble & 2) diff += step >> 1;
                if (nibble & 4) diff += step;
                predictor = std::clamp(nibble & 8 ? predictor - diff : predictor + diff, -32768, 32767);
                index = std::clamp(index + kImaIndexChange[nibble & 7], 0, 88);
                out.push_back(static_cast<std::int16_t>(predictor));
            }
        }
    }
    return true;
}

}  // namespace

std::optional<WaveClip> ParseWaveClip(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    bool formatOk = false;
    std::uint16_t format = 0;
    std::size_t blockAlign = 0, count = SIZE_MAX;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::uint8_t* chunk = bytes.data() + pos;
        const std::size_t size = Le32(chunk + 4);
        if (size > bytes.size() - pos - 8) return std::nullopt;
        const std::uint8_t* body = chunk + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16) return std::nullopt;
            format = Le16(body);
            blockAlign = Le16(body + 12);
            formatOk = Le16(body + 2) == 1 && Le32(body + 4) == kClipSampleRate &&
                       ((format == kFormatPcm && Le16(body + 14) == 8) ||
                        (format == kFormatImaAdpcm && Le16(body + 14) == 4 && blockAlign > 4));
            if (!formatOk) return std::nullopt;
        } else if (std::memcmp(chunk, "fact", 4) == 0 && size >= 4) {
            count = Le32(body);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!formatOk) return std::nullopt;
            if (format == kFormatPcm) return WaveClip{bytes.subspan(pos + 8, size), {}};
            WaveClip clip;
            if (!DecodeImaAdpcm(bytes.subspan(pos + 8, size), blockAlign, count, clip.decoded)) return std::nullopt;
            return clip;
        }
        pos += 8 + size + (size & 1);  // chunks are word-aligned
    }
    return std::nullopt;
}

std::size_t PauseSamples(int ms) {
    if (ms <= 0) return 0;
    // ms * 11.025 to the nearest sample, ties to even (20 ms is 220.5 samples).
    const long long num = static_cast<long long>(ms) * kClipSampleRate;
    long long q = num / 1000, r = num % 1000;
    if (r > 500 || (r == 500 && (q & 1))) ++q;
    return static_cast<std::size_t>(q);
}

std::optional<TalkStream> RenderTalk(const TalkPlan& plan, const ClipSource& clips) {
    TalkStream out;
    auto appendClip = [&](int id) {
        auto clip = clips(id);
        if (!clip) return false;
        out.clipStarts.push_back(out.pcm.size());
        out.pcm.insert(out.pcm.end(), clip->decoded.begin(), clip->decoded.end());
        for (std::uint8_t s : clip->samples)
            out.pcm.push_back(static_cast<std::int16_t>((static_cast<int>(s) - 128) * 256));
        return true;
    };
    auto appendSilence = [&](int ms) { out.pcm.insert(out.pcm.end(), PauseSamples(ms), 0); };

    if (plan.marker != 0) {
        if (!appendClip(plan.marker)) return std::nullopt;
        appendSilence(plan.markerPauseMs);
    }
    for (int i = 0; i < plan.clipCount; ++i) {
        if (!appendClip(plan.clips[i])) return std::nullopt;
        appendSilence(plan.clipPauseMs);
    }
    appendSilence(plan.finalPauseMs);
    out.closingStart = out.pcm.size();
    if (!appendClip(plan.closing)) return std::nullopt;
    return out;
}

}  // namespace hv
