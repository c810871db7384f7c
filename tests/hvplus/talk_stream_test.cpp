// The chain rendered into one PCM stream: what the clip parser refuses, pause rounding and
// the exact place of every sample.
#include "hvplus/talk_stream.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace hv {
namespace {

TEST(VoiceClips, ParserRefusesWhatIsNotAClip) {
    // A clip as the library carries them: RIFF, WAVE, "fmt " (PCM, mono, 11025 Hz, 8 bits),
    // and a data chunk of three samples.
    const std::vector<std::uint8_t> good = {'R', 'I', 'F', 'F', 39, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                            16, 0, 0, 0, 1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0,
                                            1, 0, 8, 0, 'd', 'a', 't', 'a', 3, 0, 0, 0, 1, 2, 3};
    auto clip = ParseWaveClip(good);
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->samples.size(), 3u);
    EXPECT_EQ(clip->samples.data(), good.data() + 44);
    EXPECT_FALSE(ParseWaveClip({}));
    EXPECT_FALSE(ParseWaveClip(std::span<const std::uint8_t>(good.data(), 11)));
    EXPECT_FALSE(ParseWaveClip(std::span<const std::uint8_t>(good.data(), good.size() - 1)))
        << "the data chunk claims one byte more than there is";
    // "RIFF"; format tag, channels, rate, bits; a chunk size that runs past the end.
    for (auto [at, value] : {std::pair{0, int('X')}, {20, 3}, {22, 2}, {25, 0x56}, {34, 16}, {16, 0xFF}, {19, 0xFF}}) {
        auto bad = good;
        bad[std::size_t(at)] = std::uint8_t(value);
        EXPECT_FALSE(ParseWaveClip(bad)) << "byte " << at;
    }
}

// IMA ADPCM: each block starts again from its header; steps grow and shrink by the standard
// tables, the output saturates, the "fact" count cuts the padding of the last block.
TEST(VoiceClips, AdpcmBlocksDecodeByTheStandardTables) {
    auto file = [](std::uint8_t factCount, std::uint8_t secondIndex) {
        return std::vector<std::uint8_t>{
            'R', 'I', 'F', 'F', 64, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 20, 0, 0, 0, 0x11, 0, 1, 0,
            0x11, 0x2B, 0, 0, 0, 0x16, 0, 0, 6, 0, 4, 0, 2, 0, 5, 0, 'f', 'a', 'c', 't', 4, 0, 0, 0, factCount, 0, 0,
            0, 'd', 'a', 't', 'a', 12, 0, 0, 0,
            0, 0, 0, 0, 0xF7, 0x00,                   // from 0 at step 7: +11, -19, then smaller steps up
            0xF0, 0x7F, secondIndex, 0, 0x77, 0x80};  // from 32752 at the largest step: saturates, then down
    };
    const auto clip = ParseWaveClip(file(10, 88));
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->decoded, (std::vector<std::int16_t>{0, 11, -19, -15, -12, 32752, 32767, 32767, 32767, 29043}));
    EXPECT_EQ(ParseWaveClip(file(4, 88))->decoded.size(), 4u);
    EXPECT_FALSE(ParseWaveClip(file(10, 89))) << "a step index past the table";
}

TEST(TalkStream, PausesRoundToTheNearestSampleTiesToEven) {
    const std::map<int, std::size_t> samples = {{-5, 0},      {0, 0},      {16, 176},      {20, 220},
                                                {60, 662},    {1000, 11025}, {1220, 13450}};
    for (auto [ms, n] : samples) EXPECT_EQ(PauseSamples(ms), n) << ms << " ms";
}

class RenderTest : public ::testing::Test {
protected:
    // Each clip id gets a distinct length and a constant sample value, so positions and
    // contents in the stream can be told apart.
    void SetUp() override {
        for (int id = kFirstClipId; id <= kLastClipId; id += 2)
            files_[id] = std::vector<std::uint8_t>(std::size_t(100 + id), std::uint8_t(128 + id));
    }
    std::optional<TalkStream> Render(const char* text, int mode, unsigned speed) {
        return RenderTalk(*ComposeTalk(text, mode, speed), [this](int id) -> std::optional<WaveClip> {
            auto it = files_.find(id);
            if (it == files_.end()) return std::nullopt;
            return WaveClip{it->second, {}};
        });
    }
    std::map<int, std::vector<std::uint8_t>> files_;
};

TEST_F(RenderTest, ClipsAndPausesLandAtExactOffsets) {
    auto stream = Render("07:15", 0, 2);  // 18 | 34 26 28 14 12 | 10
    ASSERT_TRUE(stream);
    const std::vector<int> order = {18, 34, 26, 28, 14, 12, 10};
    // Silence after each clip: marker 180 ms; list clips 16 ms; the last list clip 16 + 30 ms.
    const std::vector<std::size_t> gaps = {1984, 176, 176, 176, 176, 176 + 331, 0};
    ASSERT_EQ(stream->clipStarts.size(), order.size());
    std::size_t pos = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        SCOPED_TRACE(order[k]);
        EXPECT_EQ(stream->clipStarts[k], pos);
        for (std::size_t s = pos; s < pos + 100 + order[k]; ++s) ASSERT_EQ(stream->pcm[s], order[k] * 256);
        pos += 100 + order[k];
        for (std::size_t s = pos; s < pos + gaps[k]; ++s) ASSERT_EQ(stream->pcm[s], 0);
        pos += gaps[k];
    }
    EXPECT_EQ(stream->closingStart, stream->clipStarts.back());
    EXPECT_EQ(stream->pcm.size(), pos);

    // Speed 0: no gap at all between the list clips.
    EXPECT_EQ(Render("09:09", 1, 0).value().closingStart, std::size_t(4 * 100 + 32 + 26 + 38 + 12));
}

TEST_F(RenderTest, EightBitSamplesBecomeCentredSixteenBitAndAMissingClipRendersNothing) {
    files_[18] = {0, 128, 255};
    auto stream = Render("00:00", 0, 0);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->pcm[0], -32768);
    EXPECT_EQ(stream->pcm[1], 0);
    EXPECT_EQ(stream->pcm[2], 127 * 256);
    for (int id : {26, 10}) {  // a list clip, and the closing clip
        SetUp();
        files_.erase(id);
        EXPECT_FALSE(Render("07:15", 0, 2)) << id;
    }
}

}  // namespace
}  // namespace hv
