// The announcement dialog's rules without the dialog: what it shows for stored settings,
// which input the time boxes take, and what OK stores.
#include <gtest/gtest.h>

#include <optional>
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

TEST(AnnounceChoicesTest, TimeBoxesTakeNumbersRoundedHalfToEvenWithinTheirRange) {
    const struct {
        const wchar_t* text;
        int maximum;
        std::optional<int> taken;
    } cases[] = {
        {L"5", 23, 5},        {L"05", 23, 5},        {L" 7 ", 23, 7},      {L"1.6", 23, 2},
        {L"2.5", 23, 2},      {L"3.5", 23, 4},       {L"23.5", 23, {}},    {L"22.5", 23, 22},
        {L"-0.4", 23, 0},     {L"-1", 23, {}},       {L"24", 23, {}},      {L"59", 59, 59},
        {L"60", 59, {}},      {L"1e1", 23, 10},      {L".5", 23, 0},       {L"+3", 23, 3},
        {L"", 23, {}},        {L"abc", 23, {}},      {L"7x", 23, {}},      {L"0x10", 23, {}},
        {L"inf", 23, {}},     {L"nan", 23, {}},      {L"--1", 23, {}},     {L"1 2", 23, {}},
        {L"32768", 59, {}},   {L"99999999999", 59, {}},                    {L"１２", 23, 12},
        {L"\x3000２３", 23, 23},  {L"１．５", 23, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadTimeField(c.text, c.maximum), c.taken) << c.text;
}

TEST(AnnounceChoicesTest, TheTestSpeaksHoursAndMinutesWithTwoDigits) {
    EXPECT_EQ(std::tuple(SpokenTimeText(13, 7), SpokenTimeText(0, 0), SpokenTimeText(23, 59)),
              std::tuple("13:07", "00:00", "23:59"));
    EXPECT_EQ(TimeFieldText(5), L"5");
}

}  // namespace
}  // namespace hv
