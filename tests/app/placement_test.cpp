#include "app/placement.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

TEST(PlacementTest, FirstStartCentresAndPutsTopAtAThird) {
    // 1024 x 768 at 96 dpi is 15360 x 11520 twips.
    TwipsPlacement p = ResolveFirstPlacement({}, 15360, 11520);
    EXPECT_EQ(p.width, 5400);
    EXPECT_EQ(p.height, 3500);
    EXPECT_EQ(p.left, 4980);  // (15360 - 5400) \ 2
    EXPECT_EQ(p.top, 2673);   // 8020 \ 3, the remainder dropped
    // A stored position is kept; only the missing coordinate is computed.
    TwipsPlacement stored{1200, -1, 6000, 4000};
    p = ResolveFirstPlacement(stored, 15360, 11520);
    EXPECT_EQ(p.left, 1200);
    EXPECT_EQ(p.top, 2506);
    // A screen smaller than the window: negative, truncated toward zero.
    p = ResolveFirstPlacement({-1, -1, 5400, 3500}, 4000.5, 3000);
    EXPECT_EQ(p.left, -700);  // nearest(-1399.5) = -1400
    EXPECT_EQ(p.top, -166);
}

TEST(PlacementTest, PositionAtSystemDpiSizeAtMonitorDpi) {
    TwipsPlacement p{4980, 2673, 5400, 3500};
    PixelRect r = PlacementToPixels(p, 96, 96);
    EXPECT_EQ(r, (PixelRect{332, 178, 692, 411}));
    r = PlacementToPixels(p, 96, 192);  // a 200% monitor: twice the pixels, same inches
    EXPECT_EQ(r.Width(), 720);
    EXPECT_EQ(r.Height(), 467);
    EXPECT_EQ(r.left, 332);
    TwipsPlacement back = PixelsToPlacement(PlacementToPixels(p, 96, 192), 96, 192);
    EXPECT_EQ(back.width, 5400);
    EXPECT_EQ(back.height, 3502);  // 467 pixels at 200% are 3502.5 twips, to even
    EXPECT_EQ(back.left, 4980);
}

TEST(PlacementTest, MoveIntoBringsAWindowBackOnTheNearestArea) {
    PixelRect area{0, 0, 1024, 740};
    // On a right-hand monitor that was unplugged.
    EXPECT_EQ(MoveInto({1500, 200, 1860, 433}, area), (PixelRect{664, 200, 1024, 433}));
    // Above and left of it.
    EXPECT_EQ(MoveInto({-900, -500, -540, -267}, area), (PixelRect{0, 0, 360, 233}));
    // Larger than the area: its top-left corner goes to the area's.
    EXPECT_EQ(MoveInto({300, 300, 1500, 1300}, area), (PixelRect{0, 0, 1200, 1000}));
    // Already inside: unchanged.
    EXPECT_EQ(MoveInto({10, 20, 370, 253}, area), (PixelRect{10, 20, 370, 253}));
}

}  // namespace
}  // namespace hv
