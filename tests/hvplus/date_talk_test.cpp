// The spoken date and the timer's end: every day of a leap year heard through the phonemes
// that hvplus/clips/clips.txt gives each clip, against readings written out here.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "hvplus/talk_plan.h"

namespace hv {
namespace {

// Clip id -> its phonemes, as make-clips.sh checks them against the synthesiser.
std::map<int, std::string> ClipPhonemes() {
    std::map<int, std::string> table;
    std::ifstream in(std::string(HV_CLIPS_DIR) + "/clips.txt");
    for (std::string line, text, phoneme; std::getline(in, line);) {
        std::istringstream fields(line);
        int id = 0;
        if (line.empty() || line[0] == '#' || !(fields >> id >> text)) continue;
        while (fields >> phoneme) table[id] += (table[id].empty() ? "" : " ") + phoneme;
    }
    return table;
}

// The plan's clips as heard, "|" between clips; "?" for a clip without phonemes.
std::string Heard(const TalkPlan& plan, const std::map<int, std::string>& phonemes) {
    std::string out;
    for (int i = -1; i <= plan.clipCount; ++i) {
        const int id = i < 0 ? plan.marker : i < plan.clipCount ? plan.clips[i] : plan.closing;
        out.append(i < 0 ? "" : " | ").append(phonemes.count(id) ? phonemes.at(id) : "?");
    }
    return out;
}

// How a date is read: numbers 1..10 as counted, the days with their own words.
const char* const kNumber[] = {"", "i ch i", "n i", "s a N", "sh i", "g o", "r o k u", "sh I ch i", "h a ch i",
                               "k u", "j u u"};
const std::map<int, std::string> kOwnDayWords = {
    {1, "ts u i t a ch i"}, {2, "f U ts u k a"}, {3, "m i cl k a"}, {4, "y o cl k a"}, {5, "i ts U k a"},
    {6, "m u i k a"}, {7, "n a n o k a"}, {8, "y o o k a"}, {9, "k o k o n o k a"}, {10, "t o o k a"},
    {14, "j u u y o cl k a"}, {20, "h a ts U k a"}, {24, "n i j u u y o cl k a"}};
const char* const kWeekday[] = {"", "n i ch i", "g e ts u", "k a", "s u i", "m o k u", "k i N", "d o"};

std::string Tens(int n) {  // 11..39 as counted
    std::string s = n >= 20 ? std::string(kNumber[n / 10]) + " j u u" : "j u u";
    return n % 10 ? s + " " + kNumber[n % 10] : s;
}
std::string MonthWord(int m) { return (m <= 10 ? std::string(kNumber[m]) : Tens(m)) + " g a ts u"; }
std::string DayWord(int d) { return kOwnDayWords.count(d) ? kOwnDayWords.at(d) : Tens(d) + " n i ch i"; }

TEST(DateTalk, EveryDayOfALeapYearSaysItsDateAndWeekday) {
    const auto phonemes = ClipPhonemes();
    ASSERT_FALSE(phonemes.empty());
    constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int weekday = 2;  // 1 January 2024 was a Monday
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= kDays[m - 1]; ++d, weekday = weekday % 7 + 1) {
            char text[32];
            std::snprintf(text, sizeof text, "2024-%02d-%02d", m, d);
            SCOPED_TRACE(text);
            const auto plan = ComposeDateTalk(text, 3);
            ASSERT_TRUE(plan);
            EXPECT_EQ(Heard(*plan, phonemes), std::string("ky o o w a | ").append(MonthWord(m)).append(" | ")
                                                  .append(DayWord(d)).append(" | ").append(kWeekday[weekday])
                                                  .append(" y o o b i | d e s U"));
        }
    }
    EXPECT_EQ(weekday, 4);  // 366 days on, 1 January 2025: a Wednesday
}

TEST(DateTalk, RefusesWhatIsNoDateAndTimesTheSentenceLikeTheTime) {
    for (const char* text : {"2023-02-29", "2100-02-29", "2024-04-31", "2024-13-01", "2024-01-00", "1600-12-31",
                             "2024/12/09", "2024-1-09", " 2024-12-9", "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(ComposeDateTalk(text, 2)) << (text ? text : "null");
    EXPECT_FALSE(ComposeDateTalk("2024-12-09", 16) || ComposeTimerEndTalk(16));
    // Leap days that are, far years' weekdays, the speed by its low 8 bits and the longest pauses.
    for (auto [text, weekday] : {std::pair{"2000-02-29", 3}, {"1601-01-01", 2}, {"9999-12-31", 6}})
        EXPECT_EQ(ComposeDateTalk(text, 0x102).value().clips[2], 300 + weekday) << text;
    const auto plan = ComposeDateTalk("2026-12-09", 15).value();
    EXPECT_EQ(std::tuple(plan.markerPauseMs, plan.clipPauseMs, plan.finalPauseMs), std::tuple(1220, 120, 225));
    const auto timer = ComposeTimerEndTalk(0x100).value();
    EXPECT_EQ(std::tuple(Heard(timer, ClipPhonemes()), timer.markerPauseMs),
              std::tuple("? | t a i m a a g a | o w a r i m a sh I t a", 20));
}

}  // namespace
}  // namespace hv
