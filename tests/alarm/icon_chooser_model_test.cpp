// The icon chooser's rules without the dialog: scrolling, selection by click and key, OK.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "alarm/icon_chooser_model.h"

namespace hv {
namespace {

TEST(IconStripModelTest, TenIconsFitElevenScroll) {
    const struct {
        int count, cell, viewport;
        bool enabled;
        int maximum;
    } cases[] = {
        {10, 32, 325, false, -5}, {11, 32, 325, true, 27}, {0, 32, 325, false, -325},
        {10, 48, 488, false, -8}, {11, 48, 488, true, 40},  // 150 %
    };
    for (const auto& c : cases) {
        IconStripModel strip(c.cell, c.viewport);
        strip.Load(c.count);
        EXPECT_EQ(std::tuple(strip.scrollEnabled(), strip.scrollMaximum(), strip.marked(), strip.scrollValue()),
                  std::tuple(c.enabled, c.maximum, -1, 0))
            << c.count << " at " << c.cell;
    }
}

TEST(IconStripModelTest, SelectionScrollsIntoViewUpToTheMaximum) {
    IconStripModel strip;
    strip.Load(40);  // maximum 40 * 32 - 325 = 955
    const struct {
        int index, scroll;
    } cases[] = {{0, 0}, {9, 0}, {10, 320}, {25, 800}, {29, 928}, {30, 955}, {39, 955}};
    for (const auto& c : cases) EXPECT_EQ(strip.ScrollTo(c.index), c.scroll) << c.index;
    strip.Load(11);
    EXPECT_EQ(strip.ScrollTo(10), 27);
    strip.SetGeometry(48, 488);  // the same icons in view at 150 %
    EXPECT_EQ(strip.scrollValue(), 40);
}

TEST(IconStripModelTest, ClicksAndArrowKeysMarkIconsOnlyWithinTheStrip) {
    IconStripModel strip;
    strip.Load(11);
    EXPECT_EQ(std::tuple(strip.IndexAt(0), strip.IndexAt(31), strip.IndexAt(32), strip.IndexAt(351), strip.IndexAt(352),
                         strip.IndexAt(-1)),
              std::tuple(0, 0, 1, 10, -1, -1));
    EXPECT_EQ(std::tuple(strip.Step(0, StripKey::Left), strip.Step(10, StripKey::Right), strip.Step(4, StripKey::Right),
                         strip.Step(4, StripKey::Left), strip.Step(4, StripKey::Other)),
              std::tuple(0, 10, 5, 3, 4));
    EXPECT_FALSE(strip.Mark(11)) << "an index at or beyond the count marks nothing";
    EXPECT_EQ(strip.marked(), -1);
    EXPECT_TRUE(strip.Mark(3));
    EXPECT_FALSE(strip.Mark(3)) << "already marked";
    strip.Load(300);
    EXPECT_EQ(strip.count(), kMaxIconIndex + 1) << "an alarm stores its icon number in one byte";
}

TEST(IconChooserTextsTest, MessagesDefaultFileAndFilter) {
    EXPECT_EQ(DefaultIconFile(L"C:\\windows\\system32\\"), L"C:\\windows\\system32\\SHELL32.DLL");
    EXPECT_EQ(NoIconsMessage(L"C:\\a.txt"), L"ファイル C:\\a.txt には、利用できるアイコンがありません。");
    EXPECT_EQ(FileNotFoundMessage(L"C:\\予定.ico"), L"ファイル C:\\予定.ico が見つかりません。");
    const std::wstring filter = IconFileFilter();
    EXPECT_EQ(filter.substr(0, 10), std::wstring(L"アイコン ファイル\0*", 10));
    EXPECT_EQ(std::count(filter.begin(), filter.end(), L'\0'), 10);
}

}  // namespace
}  // namespace hv
