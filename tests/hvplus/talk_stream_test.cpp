#include "hvplus/talk_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace hv {
namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::uint8_t buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    return bytes;
}

std::uint32_t Le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }

// A minimal clip file as the library carries them.
std::vector<std::uint8_t> MakeWave(std::vector<std::uint8_t> samples, std::uint32_t rate = 11025, int bits = 8) {
    auto put32 = [](std::vector<std::uint8_t>& v, std::uint32_t x) {
        for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
    };
    auto put16 = [](std::vector<std::uint8_t>& v, std::uint16_t x) {
        v.push_back(std::uint8_t(x));
        v.push_back(std::uint8_t(x >> 8));
    };
    std::vector<std::uint8_t> w = {'R', 'I', 'F', 'F'};
    put32(w, 36 + std::uint32_t(samples.size()));
    w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(w, 16);
    put16(w, 1);
    put16(w, 1);
    put32(w, rate);
    put32(w, rate);
    put16(w, 1);
    put16(w, std::uint16_t(bits));
    w.insert(w.end(), {'d', 'a', 't', 'a'});
    put32(w, std::uint32_t(samples.size()));
    w.insert(w.end(), samples.begin(), samples.end());
    return w;
}

TEST(VoiceClips, CommittedClipsHaveTheLibrarysExactFormat) {
    for (int id = kFirstClipId; id <= kLastClipId; id += 2) {
        SCOPED_TRACE(id);
        auto bytes = ReadFile(std::string(HV_CLIPS_DIR) + "/" + std::to_string(id) + ".wav");
        ASSERT_GT(bytes.size(), 44u + 400u) << "clip missing or too short";
        const std::uint8_t* b = bytes.data();
        EXPECT_EQ(std::memcmp(b, "RIFF", 4), 0);
        EXPECT_EQ(Le32(b + 4), bytes.size() - 8);
        EXPECT_EQ(std::memcmp(b + 8, "WAVEfmt ", 8), 0);
        EXPECT_EQ(Le32(b + 16), 16u);
        const std::uint8_t format[] = {1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0};
        EXPECT_EQ(std::memcmp(b + 20, format, sizeof format), 0);
        EXPECT_EQ(std::memcmp(b + 36, "data", 4), 0);
        EXPECT_EQ(Le32(b + 40), bytes.size() - 44);  // one data chunk, nothing after it
        auto clip = ParseWaveClip(bytes);
        ASSERT_TRUE(clip);
        EXPECT_EQ(clip->samples.size(), bytes.size() - 44);
        // Trimmed: the clip starts and ends near silence, and it is not silent.
        int peak = 0;
        for (auto s : clip->samples) peak = std::max(peak, std::abs(int(s) - 128));
        EXPECT_GT(peak, 100);
        EXPECT_LT(std::abs(int(clip->samples.front()) - 128), 16);
        EXPECT_LT(std::abs(int(clip->samples.back()) - 128), 16);
    }
}

TEST(VoiceClips, ParserRefusesWhatIsNotAClip) {
    auto good = MakeWave({1, 2, 3});
    ASSERT_TRUE(ParseWaveClip(good));
    EXPECT_EQ(ParseWaveClip(good)->samples.size(), 3u);

    EXPECT_FALSE(ParseWaveClip(MakeWave({1, 2, 3}, 22050)));
    EXPECT_FALSE(ParseWaveClip(MakeWave({1, 2, 3, 4}, 11025, 16)));
    auto truncated = good;
    truncated.resize(truncated.size() - 1);  // data chunk claims one byte more than there is
    EXPECT_FALSE(ParseWaveClip(truncated));
    auto notRiff = good;
    notRiff[0] = 'X';
    EXPECT_FALSE(ParseWaveClip(notRiff));
    auto hugeChunk = good;
    hugeChunk[16] = 0xFF, hugeChunk[17] = 0xFF, hugeChunk[18] = 0xFF, hugeChunk[19] = 0xFF;
    EXPECT_FALSE(ParseWaveClip(hugeChunk));
    EXPECT_FALSE(ParseWaveClip({}));
    EXPECT_FALSE(ParseWaveClip(std::span<const std::uint8_t>(good.data(), 11)));
}

TEST(TalkStream, PausesRoundToTheNearestSampleTiesToEven) {
    EXPECT_EQ(PauseSamples(0), 0u);
    EXPECT_EQ(PauseSamples(-5), 0u);
    EXPECT_EQ(PauseSamples(16), 176u);    // 176.4
    EXPECT_EQ(PauseSamples(20), 220u);    // 220.5
    EXPECT_EQ(PauseSamples(60), 662u);    // 661.5
    EXPECT_EQ(PauseSamples(1220), 13450u);  // 13450.5
    EXPECT_EQ(PauseSamples(1000), 11025u);
}

class RenderTest : public ::testing::Test {
protected:
    // Each clip id gets a distinct length and a constant sample value, so positions and
    // contents in the stream can be told apart.
    void SetUp() override {
        for (int id = kFirstClipId; id <= kLastClipId; id += 2)
            files_[id] = std::vector<std::uint8_t>(std::size_t(100 + id), std::uint8_t(128 + id));
    }
    ClipSource Source() {
        return [this](int id) -> std::optional<WaveClip> {
            auto it = files_.find(id);
            if (it == files_.end()) return std::nullopt;
            return WaveClip{it->second};
        };
    }
    std::map<int, std::vector<std::uint8_t>> files_;
};

TEST_F(RenderTest, ClipsAndPausesLandAtExactOffsets) {
    auto plan = ComposeTalk("07:15", 0, 2);  // 18 | 34 26 28 14 12 | 10
    ASSERT_TRUE(plan);
    auto stream = RenderTalk(*plan, Source());
    ASSERT_TRUE(stream);

    const std::vector<int> order = {18, 34, 26, 28, 14, 12, 10};
    ASSERT_EQ(stream->clipStarts.size(), order.size());
    std::size_t pos = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        SCOPED_TRACE(order[k]);
        EXPECT_EQ(stream->clipStarts[k], pos);
        const std::size_t len = 100 + order[k];
        for (std::size_t s = pos; s < pos + len; ++s) ASSERT_EQ(stream->pcm[s], order[k] * 256);
        pos += len;
        std::size_t gap = 0;
        if (k == 0) gap = PauseSamples(180);                           // marker pause
        else if (k + 1 < order.size()) gap = PauseSamples(16);         // after each list clip
        if (k + 2 == order.size()) gap = PauseSamples(16) + PauseSamples(30);  // last clip + final
        for (std::size_t s = pos; s < pos + gap; ++s) ASSERT_EQ(stream->pcm[s], 0);
        pos += gap;
    }
    EXPECT_EQ(stream->closingStart, stream->clipStarts.back());
    EXPECT_EQ(stream->pcm.size(), pos);
}

TEST_F(RenderTest, SpeedZeroLeavesNoGapBetweenListClips) {
    auto plan = ComposeTalk("09:09", 1, 0);  // 32 26 38 12 | 10
    auto stream = RenderTalk(*plan, Source());
    ASSERT_TRUE(stream);
    std::size_t expected = 0;
    for (int id : {32, 26, 38, 12}) expected += 100 + id;
    EXPECT_EQ(stream->closingStart, expected);
    EXPECT_EQ(stream->clipStarts.front(), 0u);
}

TEST_F(RenderTest, EightBitSamplesBecomeCentredSixteenBit) {
    files_[18] = {0, 128, 255};
    auto stream = RenderTalk(*ComposeTalk("00:00", 0, 0), Source());
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->pcm[0], -32768);
    EXPECT_EQ(stream->pcm[1], 0);
    EXPECT_EQ(stream->pcm[2], 127 * 256);
}

TEST_F(RenderTest, AMissingClipRendersNothing) {
    files_.erase(26);
    EXPECT_FALSE(RenderTalk(*ComposeTalk("07:15", 0, 2), Source()));
    files_.erase(10);
    SetUp();
    files_.erase(10);  // the closing clip counts too
    EXPECT_FALSE(RenderTalk(*ComposeTalk("07:15", 0, 2), Source()));
}

}  // namespace
}  // namespace hv
