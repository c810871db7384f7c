// Colours of the gradient lines: single-precision running values, one step added before
// each line, truncation, extent + 1 lines.
#include <gtest/gtest.h>

#include "hvplus/gradient.h"

namespace {

using hv::GradientLineColors;

TEST(GradientLineColors, BlackToWhiteOverOneHundredColumns) {
    auto colors = GradientLineColors(0x000000, 0xFFFFFF, 100);
    ASSERT_EQ(colors.size(), 101u);
    EXPECT_EQ(colors[0], 0x020202u) << "line 0 already carries one step (2.55, truncated)";
    EXPECT_EQ(colors[1], 0x050505u);
    EXPECT_EQ(colors[98], 0xFCFCFCu);
    EXPECT_EQ(colors[99], 0xFFFFFFu);
    // The clipped extra line wraps: 257.55 truncates to 257, whose low byte is 1.
    EXPECT_EQ(colors[100], 0x010101u);
}

// Values worked out independently with IEEE single-precision arithmetic; an accumulation
// in double (or a multiplication i * step) gives the value in the comment.
TEST(GradientLineColors, RunsInSinglePrecisionAddingOneStepPerLine) {
    struct Case {
        std::uint32_t first, second;
        int extent, line;
        std::uint32_t color;
    };
    const Case cases[] = {
        {0, 255, 100, 39, 102},                        // double: 101
        {0, 7, 640, 639, 7},                           // double: 6
        {0, 1, 100, 99, 0},                            // double: 1
        {255, 0, 1000, 599, 101},                      // double: 102
        {0, 255, 1080, 215, 50},                       // double: 51
        {0xC8000A, 0x0AFFC8, 3, 2, 0x0AFFC7},          // red 10 -> 200 (double: 200), blue 200 -> 10 (double: 9)
        {0x336699, 0x336699, 1920, 1919, 0x336699},    // equal colours: every step is 0
        {0xFF000000, 0x12FFFFFF, 100, 0, 0x020202},    // bits 24-31 of either colour are ignored
    };
    for (const auto& c : cases) {
        auto colors = GradientLineColors(c.first, c.second, c.extent);
        ASSERT_EQ(colors.size(), std::size_t(c.extent) + 1);
        EXPECT_EQ(colors[std::size_t(c.line)], c.color) << std::hex << c.first << " -> " << c.second << std::dec
                                                        << " over " << c.extent << ", line " << c.line;
    }
}

TEST(GradientLineColors, ExtentZeroGivesOneLineInTheFirstColour) {
    EXPECT_EQ(GradientLineColors(0x102030, 0xFFFFFF, 0), std::vector<std::uint32_t>{0x102030});
    EXPECT_EQ(GradientLineColors(0x102030, 0xFFFFFF, -5), std::vector<std::uint32_t>{0x102030});
}

}  // namespace
