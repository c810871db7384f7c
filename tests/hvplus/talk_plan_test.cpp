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

std::vector<int> ListOf(const std::array<int, kMaxListClips + 1>& list) {
    std::vector<int> out;
    for (int id : list) {
        if (id == 0) break;
        out.push_back(id);
    }
    return out;
}

TEST(TalkPlanExamples, WorkedExamplesPlayTheirClips) {
    struct Case {
        const char* text;
        int mode;
        int marker;
        std::vector<int> list;
    };
    const Case cases[] = {
        {"00:00", 0, 18, {40, 26}},
        {"00:00", 1, 0, {40, 26}},
        {"09:09", 1, 0, {32, 26, 38, 12}},
        {"12:30", 0, 16, {40, 26, 44, 30}},
        {"07:15", 0, 18, {34, 26, 28, 14, 12}},
        {"22:10", 0, 16, {28, 26, 30}},
        {"23:59", 1, 0, {36, 28, 44, 26, 14, 28, 38, 12}},
        {"12:00", 0, 16, {40, 26}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto plan = ComposeTalk(c.text, c.mode, 2);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->marker, c.marker);
        EXPECT_EQ(ListOf(*plan), c.list);
        EXPECT_EQ(plan->closing, 10);
    }
}

TEST(TalkPlanExamples, HourAndMinuteReadings) {
    const std::map<int, std::vector<int>> hours = {
        {0, {40, 26}},      {4, {46, 26}},      {9, {32, 26}},          {10, {28, 26}},
        {11, {28, 22, 26}}, {14, {28, 46, 26}}, {19, {28, 32, 26}},     {20, {36, 28, 26}},
        {21, {36, 28, 22, 26}}, {23, {36, 28, 44, 26}},
    };
    for (const auto& [h, clips] : hours) EXPECT_EQ(ListOf(ComposeClipList(h, 0)), clips) << "hour " << h;

    const std::map<int, std::vector<int>> minutes = {
        {1, {24}},          {10, {30}},         {11, {28, 24}},     {12, {28, 36, 12}},
        {19, {28, 38, 12}}, {20, {36, 30}},     {21, {36, 28, 24}}, {34, {44, 28, 48, 12}},
        {40, {48, 30}},     {45, {48, 28, 14, 12}}, {59, {14, 28, 38, 12}},
    };
    for (const auto& [m, clips] : minutes) {
        std::vector<int> expected = {40, 26};  // hour 0
        expected.insert(expected.end(), clips.begin(), clips.end());
        EXPECT_EQ(ListOf(ComposeClipList(0, m)), expected) << "minute " << m;
    }
}

TEST(TalkPlanValidation, RejectsMalformedText) {
    for (const char* text : {"9:05", "09-05", "009:5", "09:051", "", "24:00", "12:60", "-1:05", "09:-1", "ab:cd",
                             "ab:05", "09:cd", " :05", "+ :05"})
        EXPECT_FALSE(ComposeTalk(text, 1, 0)) << '"' << text << '"';
    EXPECT_FALSE(ComposeTalk(nullptr, 1, 0));
}

TEST(TalkPlanValidation, AcceptsWhatTheIntegerReadingAccepts) {
    auto blank = ComposeTalk(" 9:05", 1, 0);
    ASSERT_TRUE(blank);
    EXPECT_EQ(ListOf(*blank), ListOf(ComposeClipList(9, 5)));
    auto sign = ComposeTalk("+9:+5", 1, 0);
    ASSERT_TRUE(sign);
    EXPECT_EQ(ListOf(*sign), ListOf(ComposeClipList(9, 5)));
    EXPECT_TRUE(ComposeTalk("23:59", 1, 15));
    EXPECT_TRUE(ComposeTalk("00:00", 1, 0));
}

TEST(TalkPlanValidation, SpeedAndModeUseTheirLowBitsOnly) {
    EXPECT_FALSE(ComposeTalk("09:05", 1, 16));
    EXPECT_FALSE(ComposeTalk("09:05", 1, 255));
    EXPECT_TRUE(ComposeTalk("09:05", 1, 0x10F));  // low 8 bits: 15
    for (int mode : {1, -1, 24, 0x10001}) {
        auto plan = ComposeTalk("09:05", mode, 0);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->marker, 0) << mode;
    }
    for (int mode : {0, 0x10000, -65536}) {
        auto plan = ComposeTalk("09:05", mode, 0);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->marker, 18) << mode;
    }
}

TEST(TalkPlanPauses, ScaleWithSpeed) {
    auto slow = ComposeTalk("23:59", 0, 15);
    ASSERT_TRUE(slow);
    EXPECT_EQ(slow->markerPauseMs, 1220);
    EXPECT_EQ(slow->clipPauseMs, 120);
    EXPECT_EQ(slow->finalPauseMs, 225);
    auto fast = ComposeTalk("23:59", 0, 0);
    ASSERT_TRUE(fast);
    EXPECT_EQ(fast->markerPauseMs, 20);
    EXPECT_EQ(fast->clipPauseMs, 0);
    EXPECT_EQ(fast->finalPauseMs, 0);
    auto noMarker = ComposeTalk("23:59", 1, 15);
    ASSERT_TRUE(noMarker);
    EXPECT_EQ(noMarker->marker, 0);
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

    int hour;
    if (at(0) == 40) {
        hour = 0;
        i = 1;
    } else {
        int tens = 0;
        if (at(i) == 36 && at(i + 1) == 28) tens = 2, i += 2;
        else if (at(i) == 28) tens = 1, i += 1;
        int ones = 0;
        if (hourOnes.count(at(i))) ones = hourOnes.at(at(i++));
        else if (tens == 0) return std::nullopt;  // a bare hour needs a digit
        hour = tens * 10 + ones;
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

TEST(TalkPlanReadings, EveryTimeOfDayReadsBackInBothModes) {
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
