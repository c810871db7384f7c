// Colours of the gradient lines: single-precision running values, one step added before
// each line, truncation, extent + 1 lines.
#include <gtest/gtest.h>

#include <cstdlib>

#include "hvplus/gradient.h"

namespace {

int Red(std::uint32_t c) { return int(c & 0xFF); }
int Green(std::uint32_t c) { return int((c >> 8) & 0xFF); }
int Blue(std::uint32_t c) { return int((c >> 16) & 0xFF); }

TEST(GradientLineColors, BlackToWhiteOverOneHundredColumns) {
    auto colors = hv::GradientLineColors(0x000000, 0xFFFFFF, 100);
    ASSERT_EQ(colors.size(), 101u);
    EXPECT_EQ(colors[0], 0x020202u) << "line 0 already carries one step (2.55, truncated)";
    EXPECT_EQ(colors[1], 0x050505u);
    EXPECT_EQ(colors[98], 0xFCFCFCu);
    EXPECT_EQ(colors[99], 0xFFFFFFu);
    // The clipped extra line wraps: 257.55 truncates to 257, whose low byte is 1.
    EXPECT_EQ(colors[100], 0x010101u);
    for (int i = 1; i < 100; ++i) EXPECT_GE(Red(colors[i]), Red(colors[i - 1])) << i;
}

// Values worked out independently with IEEE single-precision arithmetic; an
// accumulation in double (or a multiplication i * step) gives the other value.
TEST(GradientLineColors, RunsInSinglePrecisionAddingOneStepPerLine) {
    EXPECT_EQ(Red(hv::GradientLineColors(0, 255, 100)[39]), 102);            // double: 101
    EXPECT_EQ(Red(hv::GradientLineColors(10, 200, 3)[2]), 199);              // double: 200
    EXPECT_EQ(Red(hv::GradientLineColors(200, 10, 3)[2]), 10);               // double: 9
    EXPECT_EQ(Red(hv::GradientLineColors(0, 7, 640)[639]), 7);               // double: 6
    EXPECT_EQ(Red(hv::GradientLineColors(0, 1, 100)[99]), 0);                // double: 1
    EXPECT_EQ(Red(hv::GradientLineColors(255, 0, 1000)[599]), 101);          // double: 102
    EXPECT_EQ(Red(hv::GradientLineColors(0, 255, 1080)[215]), 50);           // double: 51
}

TEST(GradientLineColors, ChannelsRunIndependentlyAndReachTheSecondColour) {
    std::srand(7);
    for (int trial = 0; trial < 300; ++trial) {
        std::uint32_t first = std::uint32_t(std::rand()) & hv::kColorMask;
        std::uint32_t second = std::uint32_t(std::rand() * 7919u) & hv::kColorMask;
        int extent = 1 + std::rand() % 2500;
        SCOPED_TRACE(::testing::Message() << std::hex << first << " -> " << second << std::dec << " over " << extent);
        auto colors = hv::GradientLineColors(first, second, extent);
        ASSERT_EQ(colors.size(), std::size_t(extent) + 1);
        int (*channels[])(std::uint32_t) = {Red, Green, Blue};
        for (auto channel : channels) {
            // The last visible line carries the second colour up to one unit of rounding.
            EXPECT_LE(std::abs(channel(colors[extent - 1]) - channel(second)), 1);
            // Line 0 is one step away from the first colour, truncated.
            double step = double(channel(second) - channel(first)) / extent;
            EXPECT_NEAR(channel(colors[0]), channel(first) + step, 1.0);
        }
        for (auto c : colors) EXPECT_EQ(c & ~hv::kColorMask, 0u);
    }
}

TEST(GradientLineColors, EqualColoursGiveOneColourOnEveryLine) {
    for (int extent : {1, 2, 100, 1920}) {
        auto colors = hv::GradientLineColors(0x336699, 0x336699, extent);
        ASSERT_EQ(colors.size(), std::size_t(extent) + 1);
        for (auto c : colors) ASSERT_EQ(c, 0x336699u) << extent;
    }
}

TEST(GradientLineColors, ExtentZeroGivesOneLineInTheFirstColour) {
    EXPECT_EQ(hv::GradientLineColors(0x102030, 0xFFFFFF, 0), std::vector<std::uint32_t>{0x102030});
    EXPECT_EQ(hv::GradientLineColors(0x102030, 0xFFFFFF, -5), std::vector<std::uint32_t>{0x102030});
}

TEST(GradientLineColors, TopByteOfEitherColourIsIgnored) {
    EXPECT_EQ(hv::GradientLineColors(0xFF000000u, 0x12FFFFFFu, 100), hv::GradientLineColors(0, 0xFFFFFF, 100));
    EXPECT_EQ(hv::GradientLineColors(0x80405060u, 0x80405060u, 10)[3], 0x405060u);
}

}  // namespace
