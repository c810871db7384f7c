// libFuzzer target: the spoken time from arbitrary arguments (mode, speed, text), checked
// against a reading written here independently of the composer: the C library's strtol
// for the two fields, and a listener that hears the rendered stream back into clips,
// pauses and a time. Built and run by tools/fuzz/run talk.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "hvplus/talk_plan.h"
#include "hvplus/talk_stream.h"

namespace {

#define FUZZ_CHECK(condition) \
    ((condition) ? void() : (std::fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #condition), std::abort()))

struct Time {
    int hour = 0, minute = 0;
    bool operator==(const Time&) const = default;
};

// "HH:MM" as the library's contract reads it: five characters with ':' in the middle, each
// field read by strtol and holding a digit, hour 0..23 and minute 0..59.
std::optional<Time> ReadTime(const char* text) {
    if (std::strlen(text) != 5 || text[2] != ':') return std::nullopt;
    auto field = [](const char* from, long& value) {
        const char copy[3] = {from[0], from[1], '\0'};
        char* end = nullptr;
        value = std::strtol(copy, &end, 10);
        return end != copy;
    };
    long hour = 0, minute = 0;
    if (!field(text, hour) || !field(text + 3, minute)) return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;
    return Time{int(hour), int(minute)};
}

// Hears a list of clips as Japanese: "[ni] [juu] [digit] ji", then "[digit] juppun" or
// "[digit] [juu] (ippun | digit fun)" or nothing. Nothing when the words make no time.
std::optional<Time> Hear(const std::vector<int>& clips) {
    static const std::map<int, int> hourDigit = {{40, 0}, {22, 1}, {36, 2}, {44, 3}, {46, 4},
                                                 {14, 5}, {42, 6}, {34, 7}, {20, 8}, {32, 9}};
    static const std::map<int, int> minuteDigit = {{36, 2}, {44, 3}, {48, 4}, {14, 5},
                                                   {42, 6}, {34, 7}, {20, 8}, {38, 9}};
    static const std::map<int, int> tensWord = {{36, 2}, {44, 3}, {48, 4}, {14, 5}};
    std::size_t i = 0;
    auto at = [&](std::size_t k) { return k < clips.size() ? clips[k] : -1; };
    Time t;
    int tens = 0;
    if (at(i) == 36 && at(i + 1) == 28) tens = 2, i += 2;
    else if (at(i) == 28) tens = 1, i += 1;
    if (hourDigit.count(at(i))) {
        const int ones = hourDigit.at(at(i++));
        if (ones == 0 && tens != 0) return std::nullopt;  // "juu rei" is no number
        t.hour = tens * 10 + ones;
    } else if (tens != 0) {
        t.hour = tens * 10;
    } else {
        return std::nullopt;
    }
    if (at(i++) != 26) return std::nullopt;
    if (i == clips.size()) return t;

    int tensDigit = 0;
    if (tensWord.count(at(i)) && (at(i + 1) == 28 || at(i + 1) == 30)) tensDigit = tensWord.at(at(i++));
    if (at(i) == 30) {
        t.minute = (tensDigit ? tensDigit : 1) * 10;
        return ++i == clips.size() ? std::optional(t) : std::nullopt;
    }
    if (at(i) == 28) {
        t.minute = (tensDigit ? tensDigit : 1) * 10;
        ++i;
    } else if (tensDigit) {
        return std::nullopt;
    }
    if (at(i) == 24) {
        t.minute += 1;
        return ++i == clips.size() ? std::optional(t) : std::nullopt;
    }
    if (!minuteDigit.count(at(i)) || at(i + 1) != 12 || i + 2 != clips.size()) return std::nullopt;
    t.minute += minuteDigit.at(at(i));
    return t;
}

// Stand-in clips that a listener can tell apart: clip `id` is id * 3 + 7 samples of the
// level id / 2 above the centre (never silence once rendered).
std::vector<std::uint8_t> g_clips[hv::kLastClipId + 1];

std::optional<hv::WaveClip> StandInClip(int id) {
    if (id < hv::kFirstClipId || id > hv::kLastClipId || id % 2) return std::nullopt;
    auto& clip = g_clips[id];
    if (clip.empty()) clip.assign(std::size_t(id * 3 + 7), std::uint8_t(128 + id / 2));
    return hv::WaveClip{clip, {}};
}

// The stream as heard: each clip with the silence (in samples) before it.
struct Heard {
    int id = 0;
    std::size_t start = 0;
    std::size_t silenceBefore = 0;
};

std::vector<Heard> Listen(const std::vector<std::int16_t>& pcm, std::size_t& silenceAfter) {
    std::vector<Heard> heard;
    std::size_t silence = 0;
    for (std::size_t i = 0; i < pcm.size();) {
        if (pcm[i] == 0) {
            ++silence, ++i;
            continue;
        }
        const int id = pcm[i] / 256 * 2;
        FUZZ_CHECK(pcm[i] == id / 2 * 256 && id >= hv::kFirstClipId && id <= hv::kLastClipId);
        const std::size_t length = std::size_t(id * 3 + 7);
        std::size_t run = 0;
        while (i + run < pcm.size() && pcm[i + run] == pcm[i]) ++run;
        FUZZ_CHECK(run % length == 0);  // the same clip twice in a row is one longer run
        for (std::size_t k = 0; k < run / length; ++k) heard.push_back({id, i + k * length, k ? 0 : silence});
        silence = 0;
        i += run;
    }
    silenceAfter = silence;
    return heard;
}

// A silence of `ms` milliseconds at 11025 Hz is that many samples to within rounding (of
// each of `pauses` pauses that make it up).
bool Lasts(std::size_t samples, int ms, int pauses = 1) {
    return std::fabs(double(samples) - ms * 11.025) <= 0.5 * pauses;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    std::int32_t mode = 0;
    std::memcpy(&mode, data, 4);
    const unsigned speedArgument = data[4] | data[5] << 8;
    const std::string text(reinterpret_cast<const char*>(data + 6), size - 6);  // cut at the first NUL below

    const auto plan = hv::ComposeTalk(text.c_str(), mode, speedArgument);
    const auto time = ReadTime(text.c_str());
    const int speed = int(speedArgument & 0xFF);
    FUZZ_CHECK(plan.has_value() == (time.has_value() && speed <= 15));
    if (!plan) return 0;

    const auto stream = hv::RenderTalk(*plan, StandInClip);
    FUZZ_CHECK(stream.has_value());
    std::size_t silenceAfter = 0;
    std::vector<Heard> heard = Listen(stream->pcm, silenceAfter);
    FUZZ_CHECK(silenceAfter == 0 && !heard.empty() && heard.front().silenceBefore == 0);

    // The closing clip last, after the pause of the last list clip and the final pause.
    FUZZ_CHECK(heard.back().id == hv::kClipDesu && heard.back().start == stream->closingStart);
    FUZZ_CHECK(Lasts(heard.back().silenceBefore, speed * 8 + speed * 15, 2));
    heard.pop_back();

    Time expected = *time;
    const bool twelveHour = (mode & 0xFFFF) == 0;
    if (twelveHour) {
        FUZZ_CHECK(!heard.empty() && heard.front().id == (expected.hour >= 12 ? hv::kClipGogo : hv::kClipGozen));
        FUZZ_CHECK(heard.size() >= 2 && Lasts(heard[1].silenceBefore, speed * 80 + 20));
        expected.hour %= 12;
        heard.erase(heard.begin());
    }
    FUZZ_CHECK(!heard.empty() && heard.size() <= std::size_t(hv::kMaxListClips));
    std::vector<int> words;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        if (i > 0) FUZZ_CHECK(Lasts(heard[i].silenceBefore, speed * 8));
        words.push_back(heard[i].id);
    }
    FUZZ_CHECK(Hear(words) == expected);
    return 0;
}
