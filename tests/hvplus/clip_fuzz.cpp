// libFuzzer target: the clip reader on arbitrary bytes, against a chunk walk written here
// independently (64-bit offsets, no early outs), and the rendering of what it accepts.
// Built and run by tools/fuzz/run clip.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>

#include "hvplus/talk_plan.h"
#include "hvplus/talk_stream.h"

namespace {

#define FUZZ_CHECK(condition) \
    ((condition) ? void() : (std::fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #condition), std::abort()))

std::uint64_t Le(const std::uint8_t* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

struct Span {
    std::uint64_t offset = 0, size = 0;
    bool adpcm = false;  // IMA ADPCM: decoded, so only its bounds are checked here
};

// RIFF WAVE: chunks of [id][32-bit size][body, padded to even] after the 12-byte header.
// The samples are the first "data" chunk, valid when an earlier "fmt " chunk of at least
// 16 bytes says PCM, mono, 11025 Hz, 8 bits; a chunk that runs past the end, a short or
// other format, or data before the format is no clip.
std::optional<Span> FindSamples(const std::uint8_t* p, std::uint64_t size) {
    if (size < 12 || std::memcmp(p, "RIFF", 4) || std::memcmp(p + 8, "WAVE", 4)) return std::nullopt;
    bool format = false, adpcm = false;
    for (std::uint64_t at = 12; at + 8 <= size;) {
        const std::uint64_t length = Le(p + at + 4, 4);
        if (at + 8 + length > size) return std::nullopt;
        const std::uint8_t* body = p + at + 8;
        if (!std::memcmp(p + at, "fmt ", 4)) {
            if (length < 16 || Le(body + 2, 2) != 1 || Le(body + 4, 4) != 11025) return std::nullopt;
            adpcm = Le(body, 2) == 0x11 && Le(body + 14, 2) == 4 && Le(body + 12, 2) > 4;
            if (!adpcm && (Le(body, 2) != 1 || Le(body + 14, 2) != 8)) return std::nullopt;
            format = true;
        } else if (!std::memcmp(p + at, "data", 4)) {
            if (!format) return std::nullopt;
            return Span{at + 8, length, adpcm};
        }
        at += 8 + length + length % 2;
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto clip = hv::ParseWaveClip({data, size});
    const auto expected = FindSamples(data, size);
    if (expected && expected->adpcm) {
        // Two samples a byte and one more a block of at least five, none as 8-bit samples.
        FUZZ_CHECK(!clip || (clip->samples.empty() && clip->decoded.size() <= expected->size * 3));
        return 0;
    }
    FUZZ_CHECK(clip.has_value() == expected.has_value());
    if (!clip) return 0;
    FUZZ_CHECK(clip->samples.data() == data + expected->offset && clip->samples.size() == expected->size);

    // Every clip of the longest chain is this one: the stream is the clips and the pauses.
    const auto plan = hv::ComposeTalk("23:59", 0, 15);
    const auto stream = hv::RenderTalk(*plan, [&](int) { return clip; });
    FUZZ_CHECK(stream.has_value());
    const std::size_t clips = std::size_t(plan->clipCount) + 2, n = clip->samples.size();
    std::size_t pauses = hv::PauseSamples(plan->markerPauseMs) + hv::PauseSamples(plan->finalPauseMs) +
                         std::size_t(plan->clipCount) * hv::PauseSamples(plan->clipPauseMs);
    FUZZ_CHECK(stream->pcm.size() == clips * n + pauses && stream->closingStart == stream->pcm.size() - n);
    for (std::size_t i = 0; i < n; ++i)
        FUZZ_CHECK(stream->pcm[stream->closingStart + i] == (int(clip->samples[i]) - 128) * 256);
    return 0;
}
