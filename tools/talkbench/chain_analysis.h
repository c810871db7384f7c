// Finds a spoken chain in a recording of the sound output: where each clip starts and
// ends, hence every silence between clips and the chain's length. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hvplus/talk_plan.h"
#include "hvplus/talk_stream.h"

namespace hv::bench {

// Appends the file's bytes to `bytes`; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

// One clip of a chain in the order it plays, with the silence prescribed after it.
struct ChainStep {
    int id = 0;
    double pauseAfterMs = 0;  // 0 for the closing clip
};

// Marker (if any), list clips, closing clip, as the library plays them.
std::vector<ChainStep> StepsOf(const TalkPlan& plan);

// A clip's samples as 16-bit values scaled to [-1, 1), resampled from the clip rate to
// `rate` with a windowed sinc.
std::vector<float> ResampleClip(const WaveClip& clip, int rate);

struct ClipFound {
    int id = 0;
    double start = 0;    // capture samples, fractional
    double end = 0;      // where its second half says it ends
    double stretchMs = 0;  // end - start beyond the clip's own length: a gap inside the clip
    double score = 0;    // worst normalised correlation of its two halves (1 = exact copy)
};

struct ChainFound {
    std::vector<ClipFound> clips;
    std::vector<double> silencesMs;  // between consecutive clips
    double lengthMs = 0;             // first clip's start to closing clip's end
    double idealMs = 0;              // clips + prescribed pauses
    double tailPeak = 0;             // loudest sample in the 150 ms after the closing clip
    double tailLoudMs = 0;           // longest stretch there above 1% of full scale
    double gapPeak = 0;              // loudest sample inside the silences between clips
};

// Looks for the chain at or after `from` (capture samples). `clips` holds the resampled
// clip of every id the steps use (indexed by id). Nothing when the chain is not there.
std::optional<ChainFound> FindChain(std::span<const float> capture, int rate, std::size_t from,
                                    const std::vector<ChainStep>& steps,
                                    const std::vector<std::vector<float>>& clips);

}  // namespace hv::bench
