// The announcement dialog's rules without the dialog: what it shows for stored settings,
// and what OK stores.
#include <gtest/gtest.h>

#include <tuple>

#include "announce/announce_choices.h"
#include "settings/settings_schema.h"

namespace hv {
namespace {

TEST(AnnounceChoicesTest, OkStoresTheFiveWorkingValuesInTheTalkLayout) {
    Settings settings;
    AnnounceChoices choices = ChoicesFrom(settings);
    EXPECT_EQ(choices, (AnnounceChoices{1, 0, 0, false, 2}));  // the stored defaults
    choices = {6, 7, 30, true, 2};
    ApplyChoices(choices, settings);
    EXPECT_EQ(PackTalk(settings), 0x0216071Eu);
    // Only the announcement fields changed.
    Settings others;
    ApplyChoices(ChoicesFrom(others), settings);
    EXPECT_EQ(settings, others);
}

TEST(AnnounceChoicesTest, QuietHoursAndTheFocusRuleGoThroughTheWorkingCopies) {
    Settings settings;
    AnnounceChoices choices = ChoicesFrom(settings);
    // Proposed when first switched on: 22:00 to 7:00; the focus rule on.
    EXPECT_EQ(std::tuple(choices.quiet, choices.quietFromHour, choices.quietFromMinute, choices.quietToHour,
                         choices.quietToMinute, choices.quietOnFocus),
              std::tuple(false, 22, 0, 7, 0, true));
    choices.quiet = true;
    choices.quietFromHour = 23;
    choices.quietFromMinute = 30;
    choices.quietToHour = 6;
    choices.quietToMinute = 45;
    choices.quietOnFocus = false;
    ApplyChoices(choices, settings);
    EXPECT_EQ(std::tuple(PackQuietHours(settings), settings.QuietOnFocus, PackTalk(settings)),
              std::tuple(0x862D171Eu, false, kDefaultTalk));
    EXPECT_EQ(ChoicesFrom(settings), choices);
}

TEST(AnnounceChoicesTest, AStoredTimingNoOptionHasShowsNoneAndIsKept) {
    Settings settings;
    UnpackTalk(0x020B0000, settings);  // timing 11, a converted old value
    const AnnounceChoices choices = ChoicesFrom(settings);
    EXPECT_EQ(std::tuple(TimingOption(choices.timing), TimingOption(0), TimingOption(6), TimingOption(-1)),
              std::tuple(-1, 0, 6, -1));
    ApplyChoices(choices, settings);  // OK without touching the options
    EXPECT_EQ(PackTalk(settings), 0x020B0000u);
    EXPECT_TRUE(FixedTimeEnabled(6) && !FixedTimeEnabled(5) && !FixedTimeEnabled(11));
}

}  // namespace
}  // namespace hv
