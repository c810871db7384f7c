#include "hvplus/talk_stream.h"

#include <cstring>

namespace hv {
namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

std::optional<WaveClip> ParseWaveClip(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    bool formatOk = false;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::uint8_t* chunk = bytes.data() + pos;
        const std::size_t size = Le32(chunk + 4);
        if (size > bytes.size() - pos - 8) return std::nullopt;
        const std::uint8_t* body = chunk + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16) return std::nullopt;
            formatOk = Le16(body) == 1 && Le16(body + 2) == 1 && Le32(body + 4) == kClipSampleRate &&
                       Le16(body + 14) == 8;
            if (!formatOk) return std::nullopt;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!formatOk) return std::nullopt;
            return WaveClip{bytes.subspan(pos + 8, size)};
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
