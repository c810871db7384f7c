// The notification-area menu's rules: pauses and timers across midnight, the tooltip.
#include "app/tray_commands.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

WallClock At(Date date, int hour, int minute, int second = 0, int ms = 0) { return {date, hour, minute, second, ms}; }

TEST(Pause, EndsAfterItsSpanOrNextMorningAcrossMidnightAndMonthEnds) {
    const struct {
        WallClock now;
        PauseChoice choice;
        bool quiet;
        int toHour, toMinute;
        WallClock until;
    } cases[] = {
        {At({2026, 12, 31}, 23, 45, 59, 999), PauseChoice::HalfHour, false, 0, 0, At({2027, 1, 1}, 0, 15)},
        {At({2026, 2, 28}, 23, 30), PauseChoice::Hour, false, 0, 0, At({2026, 3, 1}, 0, 30)},
        {At({2026, 12, 9}, 22, 10), PauseChoice::Morning, false, 0, 0, At({2026, 12, 10}, 7, 0)},
        {At({2026, 12, 10}, 2, 0), PauseChoice::Morning, false, 0, 0, At({2026, 12, 10}, 7, 0)},
        {At({2026, 12, 10}, 7, 0, 30), PauseChoice::Morning, false, 0, 0, At({2026, 12, 11}, 7, 0)},
        {At({2026, 12, 10}, 6, 59), PauseChoice::Morning, false, 0, 0, At({2026, 12, 10}, 7, 0)},
        {At({2026, 12, 31}, 23, 0), PauseChoice::Morning, true, 6, 30, At({2027, 1, 1}, 6, 30)},
        {At({2026, 12, 9}, 5, 0), PauseChoice::Morning, true, 9, 15, At({2026, 12, 9}, 9, 15)},
        {At({2026, 12, 9}, 12, 0), PauseChoice::Morning, true, 0, 0, At({2026, 12, 10}, 0, 0)},  // ends at midnight
    };
    for (const auto& c : cases) {
        Settings s;
        s.QuietHours = c.quiet;
        s.QuietToHour = static_cast<std::uint16_t>(c.toHour);
        s.QuietToMinute = static_cast<std::uint16_t>(c.toMinute);
        const std::uint32_t until = PauseUntil(c.choice, s, c.now);
        EXPECT_EQ(until, MinuteNumber(c.until)) << c.now.date.month << "/" << c.now.date.day << " " << c.now.hour;
        s.TalkPausedUntil = until;
        EXPECT_TRUE(TalkPaused(s, MinuteNumber(c.now)));
        EXPECT_TRUE(TalkPaused(s, until - 1));
        EXPECT_FALSE(TalkPaused(s, until));
    }
    EXPECT_EQ(PauseUntil(PauseChoice::Resume, Settings{}, At({2026, 12, 9}, 12, 0)), 0u);
    EXPECT_FALSE(TalkPaused(Settings{}, 0));
}

TEST(Timer, ShowsItsSecondsRoundedUpAndItsEndAcrossMidnightInTheTip) {
    const struct {
        long long msLeft;
        long long shown;
        int wait;
    } seconds[] = {{180000, 180, 1000}, {179999, 180, 999}, {1, 1, 1}, {0, 0, 0}, {-5, 0, 0}, {1000, 1, 1000}};
    for (const auto& c : seconds) {
        EXPECT_EQ(SecondsToShow(c.msLeft), c.shown) << c.msLeft;
        EXPECT_EQ(MsToNextSecond(c.msLeft), c.wait) << c.msLeft;
    }
    const WallClock late = At({2026, 12, 31}, 23, 58, 30, 250);
    EXPECT_EQ(WallClockMs(WallClockOfMs(WallClockMs(late) + 180000)), WallClockMs(At({2027, 1, 1}, 0, 1, 30, 250)));
    EXPECT_EQ(WallClockMs(WallClockOfMs(-1)), -1);

    Settings s;
    EXPECT_EQ(ComposeTalkTrayTip(s, late, -1), L"Horavox");
    EXPECT_EQ(ComposeTalkTrayTip(s, late, 180000), L"Horavox\nタイマー: 残り 3:00 (0:01 に終了)");
    EXPECT_EQ(ComposeTalkTrayTip(s, late, 3600000 + 61500), L"Horavox\nタイマー: 残り 1:01:02 (0:59 に終了)");
    s.TalkPausedUntil = static_cast<std::uint32_t>(MinuteNumber(At({2027, 1, 1}, 7, 0)));
    EXPECT_EQ(ComposeTalkTrayTip(s, late, 59000), L"Horavox\n発声停止中: 明日 7:00 まで\nタイマー: 残り 0:59 (23:59 に終了)");
    s.TalkPausedUntil = static_cast<std::uint32_t>(MinuteNumber(At({2027, 1, 3}, 0, 5)));
    EXPECT_EQ(ComposeTalkTrayTip(s, late, -1), L"Horavox\n発声停止中: 1月3日 0:05 まで");
    EXPECT_EQ(ComposeTalkTrayTip(s, late, 2000, L"Ctrl+Alt+T", L"次のアラーム 1月1日(金) 7:00"),
              L"Horavox\n発声停止中: 1月3日 0:05 まで\nタイマー: 残り 0:02 (23:58 に終了)\n次のアラーム 1月1日(金) 7:00\n"
              L"Ctrl+Alt+T は他のプログラムが使用中です");
    s.TalkPausedUntil = static_cast<std::uint32_t>(MinuteNumber(late));  // ended
    EXPECT_EQ(ComposeTalkTrayTip(s, late, -1), L"Horavox");
}

}  // namespace
}  // namespace hv
