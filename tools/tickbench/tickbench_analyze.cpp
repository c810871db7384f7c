// tickbench_analyze: when the alarm sound and the spoken time start after each minute
// boundary, in a recording of the sound output made while Horavx.exe ran (scripts/bench-tick).
//   tickbench_analyze --clock-offset
//       Prints CLOCK_REALTIME - CLOCK_MONOTONIC_RAW in ms: the recording is stamped with the
//       second (talkbench_analyze --record), the program's wall clock is the first.
//   tickbench_analyze --clips DIR --capture RAW --offset MS --first-boundary MS --count N
//                     [--mode M --speed S] [--tone-hz HZ] [--target MS]
//       RAW: 16-bit mono at 48000 Hz with RAW.time beside it. Boundaries are wall-clock ms
//       since 1970 (UTC), one minute apart. The alarm's sound is a tone at HZ (default 9600),
//       above anything the 11025 Hz voice clips hold: a high-pass finds the tone, a low-pass
//       leaves the voice for the clip matcher. Exit status 0 when every announcement starts
//       within the target (default 250 ms) after its boundary, 1 otherwise, 2 on error.
#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "hvplus/talk_plan.h"
#include "hvplus/talk_stream.h"
#include "tools/talkbench/chain_analysis.h"

namespace {

constexpr int kRate = 48000;

double ClockMs(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6;
}

// Windowed-sinc low-pass, zero phase (the kernel is centred), so onsets keep their place.
std::vector<float> LowPass(const std::vector<float>& in, double cutoffHz) {
    constexpr int kHalf = 96;
    std::vector<double> kernel(2 * kHalf + 1);
    const double fc = cutoffHz / kRate;
    double sum = 0;
    for (int k = -kHalf; k <= kHalf; ++k) {
        const double sinc = k == 0 ? 2 * fc : std::sin(2 * std::numbers::pi * fc * k) / (std::numbers::pi * k);
        const double w = 0.42 + 0.5 * std::cos(std::numbers::pi * k / kHalf) + 0.08 * std::cos(2 * std::numbers::pi * k / kHalf);
        kernel[k + kHalf] = sinc * w;
        sum += sinc * w;
    }
    std::vector<float> out(in.size());
    for (long i = 0; i < long(in.size()); ++i) {
        double acc = 0;
        for (int k = -kHalf; k <= kHalf; ++k) {
            const long j = i + k;
            if (j >= 0 && j < long(in.size())) acc += in[j] * kernel[k + kHalf];
        }
        out[i] = float(acc / sum);
    }
    return out;
}

// The first sample at or after `from` where the high band carries the tone: a sample above
// a fifth of full scale followed by 2.5 ms whose level stays that of a steady tone.
long ToneOnset(const std::vector<float>& high, long from, long to) {
    const long window = kRate / 400;
    for (long i = std::max(0L, from); i + window < to && i + window < long(high.size()); ++i) {
        if (std::fabs(high[i]) < 0.2f) continue;
        double energy = 0;
        for (long k = 0; k < window; ++k) energy += double(high[i + k]) * high[i + k];
        if (std::sqrt(energy / window) > 0.2) return i;
    }
    return -1;
}

std::string LocalTimeText(double wallMs) {
    const time_t t = time_t(wallMs / 1000.0 + 0.5);
    tm local{};
    localtime_r(&t, &local);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", local.tm_hour, local.tm_min);
    return text;
}

int Analyse(const std::string& clipsDir, const std::string& capturePath, double offsetMs, double firstBoundary,
            int count, int mode, int speed, double toneHz, double targetMs) {
    std::vector<std::uint8_t> raw;
    double firstSampleMono = 0;
    FILE* t = std::fopen((capturePath + ".time").c_str(), "r");
    const bool timed = t && std::fscanf(t, "%lf", &firstSampleMono) == 1;
    if (t) std::fclose(t);
    if (!hv::bench::ReadWholeFile(capturePath, raw) || raw.size() < 2 || !timed) {
        std::fprintf(stderr, "tickbench_analyze: no timed recording in %s\n", capturePath.c_str());
        return 2;
    }
    std::vector<float> capture(raw.size() / 2);
    for (std::size_t i = 0; i < capture.size(); ++i)
        capture[i] = float(std::int16_t(raw[2 * i] | (raw[2 * i + 1] << 8))) / 32768.0f;
    std::vector<std::vector<std::uint8_t>> files(hv::kLastClipId + 1);
    std::vector<std::vector<float>> clips(hv::kLastClipId + 1);
    for (int id = hv::kFirstClipId; id <= hv::kLastClipId; id += 2) {
        if (!hv::bench::ReadWholeFile(clipsDir + "/" + std::to_string(id) + ".wav", files[id])) return 2;
        if (auto clip = hv::ParseWaveClip(files[id])) clips[id] = hv::bench::ResampleClip(*clip, kRate);
    }

    const double firstSampleWall = firstSampleMono + offsetMs;
    std::printf("recording: %.1f s; boundaries from %s, announcement target %.0f ms\n",
                double(capture.size()) / kRate, LocalTimeText(firstBoundary).c_str(), targetMs);
    double worstTalk = -1e9, worstAlarm = -1e9;
    int found = 0;
    bool met = true;
    for (int b = 0; b < count; ++b) {
        const double boundary = firstBoundary + 60000.0 * b;
        // Only the seconds around the boundary are filtered: 200 ms before it (a sound that
        // early would be a fault too) to 8 s after.
        const long boundarySample = long((boundary - firstSampleWall) * kRate / 1000.0);
        const long begin = boundarySample - kRate, end = boundarySample + 8 * kRate;
        if (begin < 0 || end > long(capture.size())) {
            std::printf("%s  outside the recording\n", LocalTimeText(boundary).c_str());
            met = false;
            continue;
        }
        const std::vector<float> segment(capture.begin() + begin, capture.begin() + end);
        const std::vector<float> voice = LowPass(segment, (hv::kClipSampleRate / 2 + toneHz) / 2);
        std::vector<float> high(segment.size());
        for (std::size_t i = 0; i < segment.size(); ++i) high[i] = segment[i] - voice[i];
        const long at = boundarySample - begin, from = at - kRate / 5, to = long(segment.size());
        const std::string text = LocalTimeText(boundary);
        std::printf("%s  ", text.c_str());
        const long tone = ToneOnset(high, from, to);
        if (tone >= 0) {
            const double ms = double(tone - at) * 1000.0 / kRate;
            worstAlarm = std::max(worstAlarm, ms);
            std::printf("alarm sound %+7.1f ms   ", ms);
        } else {
            std::printf("alarm sound NOT FOUND   ");
        }
        auto plan = hv::ComposeTalk(text.c_str(), mode, unsigned(speed));
        auto chain = plan ? hv::bench::FindChain(voice, kRate, std::size_t(from), hv::bench::StepsOf(*plan), clips)
                                       : std::nullopt;
        if (chain && chain->clips.front().start < double(to)) {
            const double ms = (chain->clips.front().start - double(at)) * 1000.0 / kRate;
            double score = 1;
            for (const auto& c : chain->clips) score = std::min(score, c.score);
            worstTalk = std::max(worstTalk, ms);
            met = met && ms >= 0 && ms <= targetMs;
            ++found;
            std::printf("announcement %+7.1f ms (chain %.0f ms, worst clip match %.3f)%s\n", ms, chain->lengthMs, score,
                        ms >= 0 && ms <= targetMs ? "" : "  MISSED");
        } else {
            met = false;
            std::printf("announcement NOT FOUND\n");
        }
    }
    std::printf("verdict: %d of %d announcements found, latest %+.1f ms after its boundary (target 0..%.0f ms), "
                "latest alarm sound %+.1f ms: %s\n",
                found, count, worstTalk, targetMs, worstAlarm, met ? "target met" : "target MISSED");
    return met ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string clips, capture;
    double offset = 0, firstBoundary = 0, tone = 9600, target = 250;
    int count = 0, mode = 0, speed = 2;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--clock-offset") {
            std::printf("%.3f\n", ClockMs(CLOCK_REALTIME) - ClockMs(CLOCK_MONOTONIC_RAW));
            return 0;
        }
        if (a == "--clips" && hasValue) clips = argv[++i];
        else if (a == "--capture" && hasValue) capture = argv[++i];
        else if (a == "--offset" && hasValue) offset = std::atof(argv[++i]);
        else if (a == "--first-boundary" && hasValue) firstBoundary = std::atof(argv[++i]);
        else if (a == "--count" && hasValue) count = std::atoi(argv[++i]);
        else if (a == "--mode" && hasValue) mode = std::atoi(argv[++i]);
        else if (a == "--speed" && hasValue) speed = std::atoi(argv[++i]);
        else if (a == "--tone-hz" && hasValue) tone = std::atof(argv[++i]);
        else if (a == "--target" && hasValue) target = std::atof(argv[++i]);
        else {
            std::fprintf(stderr, "usage: see the comment at the top of tickbench_analyze.cpp\n");
            return 2;
        }
    }
    if (clips.empty() || capture.empty() || count <= 0) {
        std::fprintf(stderr, "tickbench_analyze: --clips, --capture and --count are needed\n");
        return 2;
    }
    return Analyse(clips, capture, offset, firstBoundary, count, mode, speed, tone, target);
}
