// The spoken time's composition: worked examples with their pauses, what the checks of
// text, mode and speed let through, and every time of day decoded back from its clips.
#include "hvplus/talk_plan.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <vector>

namespace hv {
namespace {

std::vector<int> ListOf(const TalkPlan& plan) {
    return std::vector<int>(plan.clips.begin(), plan.clips.begin() + plan.clipCount);
}

TEST(TalkPlan, WorkedExamplesWithTheirPauses) {
    struct Case {
        const char* text;
        int mode;
        unsigned speed;
        int marker;
        std::vector<int> list;
        int markerMs, clipMs, finalMs;
    };
    const Case cases[] = {
        {"00:00", 0, 2, 18, {40, 26}, 180, 16, 30},
        {"00:00", 1, 2, 0, {40, 26}, 0, 16, 30},
        {"09:09", 1, 2, 0, {32, 26, 38, 12}, 0, 16, 30},
        {"12:30", 0, 2, 16, {40, 26, 44, 30}, 180, 16, 30},
        {"07:15", 0, 2, 18, {34, 26, 28, 14, 12}, 180, 16, 30},
        {"22:10", 0, 2, 16, {28, 26, 30}, 180, 16, 30},
        {"23:59", 1, 2, 0, {36, 28, 44, 26, 14, 28, 38, 12}, 0, 16, 30},
        {"12:00", 0, 2, 16, {40, 26}, 180, 16, 30},
        {"23:59", 0, 15, 16, {28, 22, 26, 14, 28, 38, 12}, 1220, 120, 225},  // the longest pauses
        {"23:59", 0, 0, 16, {28, 22, 26, 14, 28, 38, 12}, 20, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.text << " mode " << c.mode << " speed " << c.speed);
        auto plan = ComposeTalk(c.text, c.mode, c.speed);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->marker, c.marker);
        EXPECT_EQ(ListOf(*plan), c.list);
        EXPECT_EQ(plan->closing, 10);
        if (c.marker) {
            EXPECT_EQ(plan->markerPauseMs, c.markerMs);
        }
        EXPECT_EQ(plan->clipPauseMs, c.clipMs);
        EXPECT_EQ(plan->finalPauseMs, c.finalMs);
    }
}

TEST(TalkPlan, ChecksTextSpeedAndModeAsTheLibraryReceivesThem) {
    for (const char* text : {"9:05", "09-05", "009:5", "09:051", "", "24:00", "12:60", "-1:05", "09:-1", "ab:cd",
                             "ab:05", "09:cd", " :05", "+ :05"})
        EXPECT_FALSE(ComposeTalk(text, 1, 0)) << '"' << text << '"';
    EXPECT_FALSE(ComposeTalk(nullptr, 1, 0));
    EXPECT_FALSE(ComposeTalk("09:05", 1, 16));
    EXPECT_FALSE(ComposeTalk("09:05", 1, 255));
    // As the C library reads integers: a leading blank and signs; the speed by its low 8 bits.
    for (auto [text, speed] : {std::pair{" 9:05", 0u}, {"+9:+5", 0u}, {"09:05", 0x10Fu}}) {
        auto plan = ComposeTalk(text, 1, speed);
        ASSERT_TRUE(plan) << text;
        EXPECT_EQ(ListOf(*plan), (std::vector<int>{32, 26, 14, 12})) << text;
    }
    // Only the low 16 bits of the mode count: zero there is the 12-hour clock.
    for (int mode : {1, -1, 24, 0x10001}) EXPECT_EQ(ComposeTalk("09:05", mode, 0).value().marker, 0) << mode;
    for (int mode : {0, 0x10000, -65536}) EXPECT_EQ(ComposeTalk("09:05", mode, 0).value().marker, 18) << mode;
}

// An independent reading of a clip list back into a time, from the roles of the clips:
// it accepts only well-formed Japanese readings (the right word for the place, suffixes
// where they belong), so any slip in composition shows as a mismatch.
std::optional<std::pair<int, int>> ReadBack(const std::vector<int>& list) {
    const std::map<int, int> hourOnes = {{22, 1}, {36, 2}, {44, 3}, {46, 4}, {14, 5},
                                         {42, 6}, {34, 7}, {20, 8}, {32, 9}};
    const std::map<int, int> minuteOnes = {{36, 2}, {44, 3}, {48, 4}, {14, 5}, {42, 6}, {34, 7}, {20, 8}, {38, 9}};
    const std::map<int, int> minuteTens = {{36, 2}, {44, 3}, {48, 4}, {14, 5}};
    size_t i = 0;
    auto at = [&](size_t k) { return k < list.size() ? list[k] : -1; };

    int hour = 0;
    if (at(0) == 40) {
        i = 1;
    } else {
        int tens = 0;
        if (at(i) == 36 && at(i + 1) == 28) tens = 2, i += 2;
        else if (at(i) == 28) tens = 1, i += 1;
        if (hourOnes.count(at(i))) hour = hourOnes.at(at(i++));
        else if (tens == 0) return std::nullopt;  // a bare hour needs a digit
        hour += tens * 10;
    }
    if (at(i++) != 26) return std::nullopt;

    int minute = 0;
    if (i < list.size()) {
        int tens = 0;
        if (minuteTens.count(at(i)) && (at(i + 1) == 30 || at(i + 1) == 28)) tens = minuteTens.at(at(i++));
        if (at(i) == 30) {
            minute = (tens ? tens : 1) * 10;
            ++i;
        } else {
            if (at(i) == 28) {
                ++i;
                if (tens == 0) tens = 1;
            } else if (tens != 0) {
                return std::nullopt;  // "twenty" is always followed by "ten"
            }
            if (at(i) == 24) {
                minute = tens * 10 + 1;
                ++i;
            } else if (minuteOnes.count(at(i)) && at(i + 1) == 12) {
                minute = tens * 10 + minuteOnes.at(at(i));
                i += 2;
            } else {
                return std::nullopt;
            }
        }
    }
    if (i != list.size()) return std::nullopt;
    return std::make_pair(hour, minute);
}

TEST(TalkPlan, EveryTimeOfDayReadsBackInBothModes) {
    char text[8];
    for (int h = 0; h < 24; ++h) {
        for (int m = 0; m < 60; ++m) {
            std::snprintf(text, sizeof text, "%02d:%02d", h, m);
            SCOPED_TRACE(text);
            auto h24 = ComposeTalk(text, 1, 7);
            ASSERT_TRUE(h24);
            EXPECT_LE(h24->clipCount, kMaxListClips);
            EXPECT_EQ(h24->clips[h24->clipCount], 0);
            EXPECT_EQ(ReadBack(ListOf(*h24)), std::make_pair(h, m));
            auto h12 = ComposeTalk(text, 0, 7);
            ASSERT_TRUE(h12);
            EXPECT_EQ(h12->marker, h >= 12 ? 16 : 18);
            EXPECT_EQ(ReadBack(ListOf(*h12)), std::make_pair(h % 12, m));
        }
    }
}

}  // namespace
}  // namespace hv
