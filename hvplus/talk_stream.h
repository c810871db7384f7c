// Renders a TalkPlan into one continuous PCM stream so that every pause is exactly as
// long as prescribed: one stream played once has none of the per-call gaps that a
// chain of separate plays adds. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "hvplus/talk_plan.h"

namespace hv {

inline constexpr int kClipSampleRate = 11025;

// The samples of one voice clip: RIFF WAVE, mono, 11025 Hz, either PCM 8-bit unsigned (the
// time's clips, as they are) or IMA ADPCM 4-bit (the date's and the timer's, half the size),
// decoded when read.
struct WaveClip {
    std::span<const std::uint8_t> samples;  // 8-bit PCM; empty for an ADPCM clip
    std::vector<std::int16_t> decoded;      // an ADPCM clip's samples
};

// Reads a clip from the bytes of a whole RIFF WAVE file; nothing when the bytes are not
// such a file (wrong format, truncated chunks, sizes that run past the end, an ADPCM block
// whose step index is out of range). An ADPCM clip has as many samples as its "fact" chunk
// says, when one comes before the data, or else all its blocks hold.
std::optional<WaveClip> ParseWaveClip(std::span<const std::uint8_t> bytes);

// Samples of silence for a pause in milliseconds at the clip rate, to the nearest sample.
std::size_t PauseSamples(int ms);

// One rendered chain: 16-bit signed mono samples at 11025 Hz (16-bit, so that anything
// the sound system pads with zeros stays silent), and where each clip starts.
struct TalkStream {
    std::vector<std::int16_t> pcm;
    std::vector<std::size_t> clipStarts;  // marker (if any), list clips, closing clip
    std::size_t closingStart = 0;         // first sample of the closing clip
};

// Looks a clip up by id; nothing when it cannot be had.
using ClipSource = std::function<std::optional<WaveClip>(int id)>;

// Marker, its pause, each list clip with its pause, the final pause, the closing clip.
// Nothing when any clip of the plan is missing (the chain would not be the time).
std::optional<TalkStream> RenderTalk(const TalkPlan& plan, const ClipSource& clips);

}  // namespace hv
