// The spoken date and the timer's end: every day of a leap year heard through the phonemes
// that hvplus/clips/clips.txt gives each clip, against readings written out here.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "hvplus/talk_plan.h"

namespace hv {
namespace {

// Clip id -> its phonemes, as make-clips.sh checks them against the synthesiser.
std::map<int, std::string> ClipPhonemes() {
    std::map<int, std::string> table;
    std::ifstream in(std::string(HV_CLIPS_DIR) + "/clips.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int id = 0;
        std::string text, phoneme, all;
        fields >> id >> text;
        while (fields >> phoneme) all += (all.empty() ? "" : " ") + phoneme;
        table[id] = all;
    }
    return table;
}

std::string Heard(const TalkPlan& plan, const std::map<int, std::string>& phonemes) {
    std::string out;
    auto say = [&](int id) {
        const auto it = phonemes.find(id);
        out += (out.empty() ? "" : " | ") + (it == phonemes.end() ? "?" + std::to_string(id) : it->second);
    };
    if (plan.marker) say(plan.marker);
    for (int i = 0; i < plan.clipCount; ++i) say(plan.clips[i]);
    say(plan.closing);
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
    int count = 0;
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= kDays[m - 1]; ++d, weekday = weekday % 7 + 1, ++count) {
            char text[32];
            std::snprintf(text, sizeof text, "2024-%02d-%02d", m, d);
            SCOPED_TRACE(text);
            const auto plan = ComposeDateTalk(text, 3);
            ASSERT_TRUE(plan);
            EXPECT_EQ(Heard(*plan, phonemes), "ky o o w a | " + MonthWord(m) + " | " + DayWord(d) + " | " +
                                                  kWeekday[weekday] + " y o o b i | d e s U");
        }
    }
    EXPECT_EQ(count, 366);
}

TEST(DateTalk, RefusesWhatIsNoDateAndTimesTheSentenceLikeTheTime) {
    for (const char* text : {"2023-02-29", "2100-02-29", "2024-04-31", "2024-13-01", "2024-00-10", "2024-01-00",
                             "1600-12-31", "2024/12/09", "2024-1-09", "2024-12-9 ", " 2024-12-9", "２０２４-12-09", ""})
        EXPECT_FALSE(ComposeDateTalk(text, 2)) << '"' << text << '"';
    EXPECT_FALSE(ComposeDateTalk(nullptr, 2));
    EXPECT_FALSE(ComposeDateTalk("2024-12-09", 16));
    EXPECT_FALSE(ComposeTimerEndTalk(16));
    // Leap days that are, the weekdays of far years, and the speed by its low 8 bits.
    const struct { const char* text; int weekday; } far[] = {
        {"2000-02-29", 3}, {"1601-01-01", 2}, {"9999-12-31", 6}, {"2026-12-09", 4}};
    for (const auto& c : far) EXPECT_EQ(ComposeDateTalk(c.text, 0x102).value().clips[2], 300 + c.weekday) << c.text;
    const auto plan = ComposeDateTalk("2026-12-09", 15).value();
    EXPECT_EQ((std::vector<int>{plan.markerPauseMs, plan.clipPauseMs, plan.finalPauseMs}),
              (std::vector<int>{1220, 120, 225}));
    const auto timer = ComposeTimerEndTalk(0x100).value();
    EXPECT_EQ(Heard(timer, ClipPhonemes()), "?403 | t a i m a a g a | o w a r i m a sh I t a");
    EXPECT_EQ(timer.markerPauseMs, 20);
}

}  // namespace
}  // namespace hv
