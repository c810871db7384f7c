// Colours of the gradient lines: single-precision running values, one step added before
// each line, truncation, extent + 1 lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "hvplus/gradient.h"

namespace {

// Values worked out independently with IEEE single-precision arithmetic; an accumulation
// in double (or a multiplication i * step) gives the value in the comment.
TEST(GradientLineColors, RunsInSinglePrecisionAddingOneStepPerLine) {
    const struct {
        std::uint32_t first, second;
        int extent, line;
        std::uint32_t color;
    } cases[] = {
        {0x000000, 0xFFFFFF, 100, 0, 0x020202},      // line 0 already carries one step (2.55, truncated)
        {0x000000, 0xFFFFFF, 100, 1, 0x050505},
        {0x000000, 0xFFFFFF, 100, 98, 0xFCFCFC},
        {0x000000, 0xFFFFFF, 100, 99, 0xFFFFFF},
        {0x000000, 0xFFFFFF, 100, 100, 0x010101},    // the clipped extra line wraps: 257.55 keeps its low byte
        {0, 255, 100, 39, 102},                      // double: 101
        {0, 7, 640, 639, 7},                         // double: 6
        {0, 1, 100, 99, 0},                          // double: 1
        {255, 0, 1000, 599, 101},                    // double: 102
        {0, 255, 1080, 215, 50},                     // double: 51
        {0xC8000A, 0x0AFFC8, 3, 2, 0x0AFFC7},        // red 10 -> 200 (double: 200), blue 200 -> 10 (double: 9)
        {0x336699, 0x336699, 1920, 1919, 0x336699},  // equal colours: every step is 0
        {0xFF000000, 0x12FFFFFF, 100, 0, 0x020202},  // bits 24-31 of either colour are ignored
        {0x102030, 0xFFFFFF, 0, 0, 0x102030},        // extent 0: one line in the first colour
        {0x102030, 0xFFFFFF, -5, 0, 0x102030},
    };
    for (const auto& c : cases) {
        auto colors = hv::GradientLineColors(c.first, c.second, c.extent);
        ASSERT_EQ(colors.size(), std::size_t(std::max(c.extent, 0)) + 1);
        EXPECT_EQ(colors[std::size_t(c.line)], c.color) << std::hex << c.first << " -> " << c.second << std::dec
                                                        << " over " << c.extent << ", line " << c.line;
    }
}

}  // namespace
