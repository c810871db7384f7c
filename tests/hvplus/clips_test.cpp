// The committed voice clips (hvplus/clips/ID.wav), which the library embeds as they are:
// the format it plays, and sound right up to both ends, since any silence left inside a
// clip would lengthen the pauses that the speed prescribes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hvplus/talk_plan.h"
#include "hvplus/talk_stream.h"

namespace {

std::vector<std::uint8_t> ReadClipFile(int id) {
    std::ifstream in(std::string(HV_CLIPS_DIR) + "/" + std::to_string(id) + ".wav", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every clip the voice list names, and the chime.
std::vector<int> ClipIds() {
    std::vector<int> ids{hv::kClipChime};
    std::ifstream in(std::string(HV_CLIPS_DIR) + "/clips.txt");
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') ids.push_back(std::atoi(line.c_str()));
    return ids;
}

TEST(CommittedClips, EachIsPlainPcmWithSoundToItsEnds) {
    constexpr int kWindow = hv::kClipSampleRate / 500;        // 2 ms
    constexpr int kEdgeSamples = hv::kClipSampleRate / 200;   // 5 ms
    const auto ids = ClipIds();
    ASSERT_EQ(ids.size(), 74u);
    for (int id : ids) {
        SCOPED_TRACE(id);
        const auto bytes = ReadClipFile(id);
        ASSERT_GT(bytes.size(), 44u + 400u);
        EXPECT_EQ(bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24, int(bytes.size()) - 8);
        const auto clip = hv::ParseWaveClip(bytes);
        ASSERT_TRUE(clip);
        // The time's clips: 8-bit PCM, the samples right after the 44-byte header and nothing
        // after them. The others: ADPCM, with the sample count of the file's own header.
        std::vector<int> s;
        if (id < 100) {
            ASSERT_EQ(clip->samples.size(), bytes.size() - 44);
            for (auto v : clip->samples) s.push_back(int(v) - 128);
        } else {
            ASSERT_EQ(clip->decoded.size(), std::size_t(bytes[48] | bytes[49] << 8 | bytes[50] << 16));  // "fact"
            for (auto v : clip->decoded) s.push_back(int(std::lround(v / 256.0)));
        }
        int peak = 0;
        for (int v : s) peak = std::max(peak, std::abs(v));
        EXPECT_GT(peak, 48) << "hardly audible";
        // Faded edges: no click where the clip starts or stops.
        EXPECT_LT(std::abs(s.front()), 16);
        EXPECT_LT(std::abs(s.back()), 16);
        // Sound: a 2 ms window whose RMS reaches one step of the 8 bits (dither alone stays
        // near half a step). The first and the last such window lie within 5 ms of the ends.
        int first = -1, last = -1;
        for (std::size_t i = 0; i + kWindow <= s.size(); ++i) {
            int power = 0;
            for (int k = 0; k < kWindow; ++k) power += s[i + k] * s[i + k];
            if (power < kWindow) continue;
            if (first < 0) first = int(i);
            last = int(i) + kWindow;
        }
        ASSERT_GE(first, 0);
        EXPECT_LE(first, kEdgeSamples) << "silence before the sound";
        EXPECT_LE(int(s.size()) - last, kEdgeSamples) << "silence after the sound";
    }
}

}  // namespace
