#include "app/placement.h"

#include <gtest/gtest.h>

#include <tuple>

namespace hv {
namespace {

auto Fields(const TwipsPlacement& p) { return std::make_tuple(p.left, p.top, p.width, p.height); }

TEST(PlacementTest, FirstStartCentresAndPutsTopAtAThird) {
    struct Case {
        TwipsPlacement stored;
        double screenWidth, screenHeight;
        TwipsPlacement expected;
    };
    // 1024 x 768 at 96 dpi is 15360 x 11520 twips.
    for (const Case& c : {Case{{}, 15360, 11520, {4980, 2673, 5400, 3500}},  // 8020 \ 3, the remainder dropped
                          Case{{1200, -1, 6000, 4000}, 15360, 11520, {1200, 2506, 6000, 4000}},  // only the missing one
                          // On a monitor left of and above the main one: placed, not "never placed".
                          Case{{-9000, -2, 5400, 3500}, 15360, 11520, {-9000, -2, 5400, 3500}},
                          // A screen smaller than the window: negative, truncated toward zero;
                          // nearest(-1399.5) = -1400.
                          Case{{-1, -1, 5400, 3500}, 4000.5, 3000, {-700, -166, 5400, 3500}}})
        EXPECT_EQ(Fields(ResolveFirstPlacement(c.stored, c.screenWidth, c.screenHeight)), Fields(c.expected));
}

TEST(PlacementTest, PositionAtSystemDpiSizeAtMonitorDpi) {
    TwipsPlacement p{4980, 2673, 5400, 3500};
    EXPECT_EQ(PlacementToPixels(p, 96, 96), (PixelRect{332, 178, 692, 411}));
    PixelRect r = PlacementToPixels(p, 96, 192);  // a 200% monitor: twice the pixels, same inches
    EXPECT_EQ(r, (PixelRect{332, 178, 332 + 720, 178 + 467}));
    // 178 pixels at 96 dpi are 2670 twips; 467 at 200% are 3502.5, to even.
    EXPECT_EQ(Fields(PixelsToPlacement(r, 96, 192)), Fields({4980, 2670, 5400, 3502}));
}

TEST(PlacementTest, MoveIntoBringsAWindowBackOnTheNearestArea) {
    PixelRect area{0, 0, 1024, 740};
    EXPECT_EQ(MoveInto({1500, 200, 1860, 433}, area), (PixelRect{664, 200, 1024, 433}));  // right monitor unplugged
    EXPECT_EQ(MoveInto({-900, -500, -540, -267}, area), (PixelRect{0, 0, 360, 233}));     // above and left
    EXPECT_EQ(MoveInto({300, 300, 1500, 1300}, area), (PixelRect{0, 0, 1200, 1000}));     // larger: top-left corner
    EXPECT_EQ(MoveInto({10, 20, 370, 253}, area), (PixelRect{10, 20, 370, 253}));         // inside: unchanged
}

TEST(PlacementTest, AnyStoredValueGivesAUsableWindowWhollyOnTheWorkArea) {
    // 1024 x 768 with a 28-pixel taskbar at the bottom; a second monitor to the left of it.
    const PixelRect work{0, 0, 1024, 740}, left{-1280, -200, 0, 824};
    constexpr std::int32_t kMax = 0x7FFFFFFF;
    struct Case {
        TwipsPlacement stored;
        PixelRect area, expected;
    };
    for (const Case& c : {
             Case{{4980, kMax, 0, -1}, work, {332, 660, 452, 740}},  // grown to 120 x 80, above the taskbar
             Case{{0, 0, kMax, kMax}, work, {0, 0, 1024, 740}},        // shrunk to the work area
             Case{{-kMax - 1, -kMax - 1, 5400, 3500}, work, {0, 0, 360, 233}},
             Case{{1500, 10650, 5400, 3500}, work, {100, 507, 460, 740}},  // partly under the taskbar
             Case{{-15000, -1500, 5400, 3500}, left, {-1000, -100, -640, 133}},  // on the left monitor: as stored
             Case{{-15000, -1500, 5400, 3500}, {0, 0, 100, 60}, {0, 0, 100, 60}}}) {  // a tiny work area wins
        PixelRect rect = PlacementToPixels(c.stored, 96, 96);
        EXPECT_EQ(FitOnWorkArea(rect, c.area, 120, 80), c.expected) << c.stored.left << "," << c.stored.top;
    }
}

}  // namespace
}  // namespace hv
