// The overview's lines and the rules of the date box.
#include <gtest/gtest.h>

#include "alarm/alarm_overview.h"

namespace hv {
namespace {

TEST(AlarmOverview, ALineTellsWhenWhatAndWhetherAtAGlance) {
    AlarmEntry weekly;
    std::tie(weekly.Enabled, weekly.Hour, weekly.Minute, weekly.Weekdays, weekly.SkipHolidays) =
        std::tuple(true, 7, 5, L"0111110", true);
    weekly.WavFile = L"C:\\音\\bell.wav";
    weekly.Message = L"起きる";
    AlarmEntry once = weekly;
    std::tie(once.Enabled, once.OneOffDate, once.SoundKind, once.CdTrack) =
        std::tuple(false, 20270102u, SoundKind::CdAudio, 3);
    AlarmEntry none;
    none.Weekdays = L"0000000";
    EXPECT_EQ(OverviewLineOf(0, weekly), (OverviewLine{L"1", L"オン", L"7:05", L"月火水木金", L"休む", L"起きる", L"bell.wav"}));
    EXPECT_EQ(OverviewLineOf(19, once), (OverviewLine{L"20", L"オフ", L"7:05", L"2027/01/02", L"", L"起きる", L"CD トラック 3"}));
    EXPECT_EQ(std::pair(DaysText(AlarmEntry{}), DaysText(none)), std::pair(std::wstring(L"毎日"), std::wstring(L"なし")));
}

TEST(AlarmDateBox, TakesWrittenDatesOnlyAndOkRefusesAnEnabledOneInThePast) {
    const std::pair<const wchar_t*, std::uint32_t> texts[] = {
        {L"2026/12/10", 20261210}, {L" 2027-1-2 ", 20270102}, {L"２０２８．２．２９", 20280229},
        {L"2027/2/29", 0},  {L"2026/13/01", 0}, {L"12/10", 0}, {L"2026/12/", 0}, {L"2026//10", 0},
        {L"2026/12/10/1", 0}, {L"20261210", 0}, {L"2026/12/1x", 0}, {L"", 0}, {L"0999/1/1", 0},
    };
    for (const auto& [text, ymd] : texts) EXPECT_EQ(ParseDateText(text).value_or(0), ymd) << ymd;

    AlarmEntry a;
    std::tie(a.Enabled, a.Hour, a.Minute) = std::tuple(true, 7, 30);
    const Date today{2026, 12, 9};
    const std::tuple<std::uint32_t, bool, int, int, bool> cases[] = {
        {20261209, true, 7, 29, false}, {20261209, true, 7, 30, false},  // the minute under way still goes off
        {20261209, true, 7, 31, true},  {20261208, true, 0, 0, true},    {20261210, true, 23, 59, false},
        {20251231, false, 12, 0, false},  // off (gone off already): no longer refused
        {0, true, 23, 59, false},         // weekly
    };
    for (const auto& [date, enabled, hour, minute, refused] : cases) {
        a.OneOffDate = date;
        a.Enabled = enabled;
        EXPECT_EQ(OneOffInPast(a, today, hour, minute), refused) << date << " " << hour << ":" << minute;
    }
}

}  // namespace
}  // namespace hv
