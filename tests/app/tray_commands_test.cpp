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
        int quietTo;  // hour * 60 + minute with quiet hours on; -1 off
        WallClock until;
    } cases[] = {
        {At({2026, 12, 31}, 23, 45, 59, 999), PauseChoice::HalfHour, -1, At({2027, 1, 1}, 0, 15)},
        {At({2026, 2, 28}, 23, 30), PauseChoice::Hour, -1, At({2026, 3, 1}, 0, 30)},
        {At({2026, 12, 9}, 22, 10), PauseChoice::Morning, -1, At({2026, 12, 10}, 7, 0)},
        {At({2026, 12, 10}, 6, 59), PauseChoice::Morning, -1, At({2026, 12, 10}, 7, 0)},  // the same morning
        {At({2026, 12, 10}, 7, 0, 30), PauseChoice::Morning, -1, At({2026, 12, 11}, 7, 0)},
        {At({2026, 12, 31}, 23, 0), PauseChoice::Morning, 6 * 60 + 30, At({2027, 1, 1}, 6, 30)},
        {At({2026, 12, 9}, 12, 0), PauseChoice::Morning, 0, At({2026, 12, 10}, 0, 0)},  // quiet until midnight
    };
    for (const auto& c : cases) {
        Settings s;
        s.QuietHours = c.quietTo >= 0;
        s.QuietToHour = static_cast<std::uint16_t>(c.quietTo / 60);
        s.QuietToMinute = static_cast<std::uint16_t>(c.quietTo % 60);
        s.TalkPausedUntil = PauseUntil(c.choice, s, c.now);
        EXPECT_EQ(s.TalkPausedUntil, MinuteNumber(c.until)) << c.now.date.day << " " << c.now.hour;
        EXPECT_TRUE(TalkPaused(s, MinuteNumber(c.now)) && TalkPaused(s, s.TalkPausedUntil - 1) &&
                    !TalkPaused(s, s.TalkPausedUntil));
    }
}

TEST(Timer, ShowsItsSecondsRoundedUpAndItsEndAcrossMidnightInTheTip) {
    for (auto [msLeft, shown, wait] : {std::tuple{180000LL, 180LL, 1000}, {179999, 180, 999}, {1, 1, 1}, {0, 0, 0}})
        EXPECT_EQ(std::tuple(SecondsToShow(msLeft), MsToNextSecond(msLeft)), std::tuple(shown, wait)) << msLeft;
    const WallClock late = At({2026, 12, 31}, 23, 58, 30, 250);

    Settings s;
    EXPECT_EQ(ComposeTalkTrayTip(s, late, 3600000 + 61500), L"Horavox\nタイマー: 残り 1:01:02 (0:59 に終了)");
    s.TalkPausedUntil = static_cast<std::uint32_t>(MinuteNumber(At({2027, 1, 1}, 7, 0)));
    EXPECT_EQ(ComposeTalkTrayTip(s, late, 180000), L"Horavox\n発声停止中: 明日 7:00 まで\nタイマー: 残り 3:00 (0:01 に終了)");
    s.TalkPausedUntil = static_cast<std::uint32_t>(MinuteNumber(At({2027, 1, 3}, 0, 5)));
    EXPECT_EQ(ComposeTalkTrayTip(s, late, -1, L"Ctrl+Alt+T", L"次のアラーム 1月1日(金) 7:00"),
              L"Horavox\n発声停止中: 1月3日 0:05 まで\n次のアラーム 1月1日(金) 7:00\nCtrl+Alt+T は他のプログラムが使用中です");
    s.TalkPausedUntil = static_cast<std::uint32_t>(MinuteNumber(late));  // ended
    EXPECT_EQ(ComposeTalkTrayTip(s, late, -1), L"Horavox");
}

}  // namespace
}  // namespace hv
