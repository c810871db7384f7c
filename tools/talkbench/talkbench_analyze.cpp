// talkbench_analyze: measures spoken chains in a recording of the sound output.
//   talkbench_analyze --clips DIR --capture RAW --calls FILE [--wine-log FILE] [--rate HZ]
//       RAW: 16-bit little-endian mono samples at HZ (default 48000), recorded while
//       talkbench spoke the chains listed in FILE (its stdout). Prints, per chain, every
//       silence between clips beside its prescription and the measured length against
//       the ideal one (clips + prescribed pauses). With the program's stderr (--wine-log,
//       recorded with Wine's pulse warnings on) it also counts the driver's underruns.
//       Exit status 0 when every chain meets the targets, 1 when one misses, 2 on error.
//       With RAW.time (written by --record) it also places each call's return against
//       the moment the closing clip sounded.
//   talkbench_analyze --capture RAW --onsets FILE
//       The tray benchmark's starts (traybench): the delay to each first sound.
//   talkbench_analyze --record RAW
//       Copies the recorder's samples from stdin to RAW and writes RAW.time: the host's
//       CLOCK_MONOTONIC_RAW in ms at the first sample, estimated from the earliest
//       arrival of the data (so late by the recorder's delivery delay, a few ms at most).
//   talkbench_analyze --clips DIR --self-test
//       Builds a recording with known silences and checks that they are found.
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "hvplus/talk_plan.h"
#include "hvplus/talk_stream.h"
#include "tools/talkbench/chain_analysis.h"

namespace {

constexpr double kSilenceToleranceMs = 2.0;
constexpr double kLengthTolerance = 0.01;

struct Call {
    int number = 0;
    std::string text;
    int mode = 0, speed = 0;
    double startMs = 0, returnMs = 0;
    long result = 0;
};

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::vector<std::uint8_t> bytes;
    if (!hv::bench::ReadWholeFile(path, bytes)) return lines;
    std::string line;
    for (auto b : bytes) {
        if (b == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(char(b));
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

struct Clips {
    std::vector<std::vector<std::uint8_t>> files = std::vector<std::vector<std::uint8_t>>(hv::kLastClipId + 1);
    std::vector<std::vector<float>> resampled = std::vector<std::vector<float>>(hv::kLastClipId + 1);

    bool Load(const std::string& dir, int rate) {
        for (int id = hv::kFirstClipId; id <= hv::kLastClipId; id += 2) {
            if (!hv::bench::ReadWholeFile(dir + "/" + std::to_string(id) + ".wav", files[id])) return false;
            auto clip = hv::ParseWaveClip(files[id]);
            if (!clip) return false;
            resampled[id] = hv::bench::ResampleClip(*clip, rate);
        }
        return true;
    }
    hv::ClipSource Source() const {
        return [this](int id) -> std::optional<hv::WaveClip> {
            if (id < 0 || id > hv::kLastClipId || files[id].empty()) return std::nullopt;
            return hv::ParseWaveClip(files[id]);
        };
    }
};

// The chain as the worked examples write it: marker | list | closing clip.
std::string ListOf(const hv::TalkPlan& plan) {
    std::string s;
    if (plan.marker != 0) s = std::to_string(plan.marker) + " | ";
    for (int i = 0; i < plan.clipCount; ++i) s += (i ? " " : "") + std::to_string(plan.clips[i]);
    return s + " | " + std::to_string(plan.closing);
}

// Times (host monotonic ms, the clock of QueryPerformanceCounter under Wine) at which
// Wine's pulse driver reported that the stream ran dry: lines of its debug channel with
// Wine's "+timestamp" prefix (seconds.milliseconds).
std::vector<double> ReadUnderruns(const std::string& path, bool& available) {
    std::vector<double> times;
    std::vector<std::uint8_t> bytes;
    available = !path.empty() && hv::bench::ReadWholeFile(path, bytes);
    for (const std::string& line : ReadLines(path)) {
        if (line.find("Underflow") == std::string::npos) continue;
        unsigned sec = 0, ms = 0;
        if (std::sscanf(line.c_str(), "%u.%u:", &sec, &ms) == 2) times.push_back(sec * 1000.0 + ms);
    }
    return times;
}

// The worst figures over a set of chains.
struct Tally {
    int chains = 0, missing = 0;
    double worstError = 0, worstRatio = 1;
    bool met = true;
    void Add(double error, double ratio, bool ok) {
        ++chains;
        worstError = std::max(worstError, error);
        if (std::fabs(ratio - 1) > std::fabs(worstRatio - 1)) worstRatio = ratio;
        met = met && ok;
    }
    void Print(const char* what) const {
        std::printf("%s: %d chains%s, worst silence error %.2f ms (target %.0f), worst length ratio %.4f (target 1 "
                    "+- %.2f): %s\n",
                    what, chains, missing ? (" (" + std::to_string(missing) + " not found)").c_str() : "", worstError,
                    kSilenceToleranceMs, worstRatio, kLengthTolerance,
                    chains == 0 && missing == 0 ? "nothing measured" : met ? "targets met" : "targets MISSED");
    }
};

int Analyse(const Clips& clips, int rate, const std::string& capturePath, const std::string& callsPath,
            const std::string& logPath) {
    std::vector<std::uint8_t> raw;
    if (!hv::bench::ReadWholeFile(capturePath, raw) || raw.size() < 2) {
        std::fprintf(stderr, "talkbench_analyze: no recording in %s\n", capturePath.c_str());
        return 2;
    }
    std::vector<float> capture(raw.size() / 2);
    for (std::size_t i = 0; i < capture.size(); ++i)
        capture[i] = float(std::int16_t(raw[2 * i] | (raw[2 * i + 1] << 8))) / 32768.0f;

    std::vector<Call> calls;
    for (const std::string& line : ReadLines(callsPath)) {
        Call c;
        char text[32] = {};
        if (std::sscanf(line.c_str(), "call %d %31s %d %d %lf %lf %ld", &c.number, text, &c.mode, &c.speed,
                        &c.startMs, &c.returnMs, &c.result) == 7) {
            c.text = text;
            calls.push_back(c);
        }
    }
    if (calls.empty()) {
        std::fprintf(stderr, "talkbench_analyze: no calls listed in %s\n", callsPath.c_str());
        return 2;
    }
    bool underrunsKnown = false;
    const std::vector<double> underruns = ReadUnderruns(logPath, underrunsKnown);
    double firstSampleMs = 0;
    bool timed = false;
    if (FILE* t = std::fopen((capturePath + ".time").c_str(), "r")) {
        timed = std::fscanf(t, "%lf", &firstSampleMs) == 1;
        std::fclose(t);
    }

    std::printf("recording: %.2f s at %d Hz\n", double(capture.size()) / rate, rate);
    Tally all, fed;  // fed: chains during which the driver reported no underrun
    bool met = true;
    std::size_t from = 0;
    for (const Call& call : calls) {
        auto plan = hv::ComposeTalk(call.text.c_str(), call.mode, unsigned(call.speed));
        std::printf("\n%s %s speed %d: ", call.text.c_str(), (call.mode & 0xFFFF) ? "24-hour" : "12-hour", call.speed);
        if (!plan) {
            std::printf("rejected by the composer, nothing to measure\n");
            continue;
        }
        const auto steps = hv::bench::StepsOf(*plan);
        std::printf("%s (result %ld)\n", ListOf(*plan).c_str(), call.result);
        if (timed) {
            // A chain cannot sound before its call: searching from there keeps a chain that
            // went missing from pulling the next one's clips into its place.
            const double callSample = (call.startMs - firstSampleMs) * (rate / 1000.0) - 0.02 * rate;
            if (callSample > double(from)) from = std::size_t(callSample);
        }
        auto chain = hv::bench::FindChain(capture, rate, from, steps, clips.resampled);
        if (!chain) {
            std::printf("  NOT FOUND in the recording\n");
            ++all.missing;
            all.met = met = false;
            continue;
        }
        double maxError = 0, worstScore = 1, worstStretch = 0;
        for (std::size_t k = 0; k < chain->silencesMs.size(); ++k) {
            const double error = chain->silencesMs[k] - steps[k].pauseAfterMs;
            maxError = std::max(maxError, std::fabs(error));
            std::printf("  silence %2d -> %2d  prescribed %5.0f ms  measured %8.2f ms  error %+7.2f%s\n", steps[k].id,
                        steps[k + 1].id, steps[k].pauseAfterMs, chain->silencesMs[k], error,
                        std::fabs(error) > kSilenceToleranceMs ? "  MISSED" : "");
        }
        for (const auto& c : chain->clips) {
            worstScore = std::min(worstScore, c.score);
            if (std::fabs(c.stretchMs) > std::fabs(worstStretch)) worstStretch = c.stretchMs;
        }
        const double ratio = chain->lengthMs / chain->idealMs;
        std::printf("  length  measured %.2f ms  ideal %.2f ms  ratio %.4f%s\n", chain->lengthMs, chain->idealMs, ratio,
                    std::fabs(ratio - 1) > kLengthTolerance ? "  MISSED" : "");
        std::printf("  clips   worst match %.4f  worst stretch inside a clip %+.2f ms\n", worstScore, worstStretch);
        if (timed) {
            // Positive: the call came back after the closing clip had begun to sound.
            const double firstHeard = firstSampleMs + chain->clips.front().start / (rate / 1000.0);
            const double closingHeard = firstSampleMs + chain->clips.back().start / (rate / 1000.0);
            std::printf("  call    blocked %.1f ms; first sound %.1f ms after the call; returned %+.1f ms from the "
                        "closing clip's start\n",
                        call.returnMs - call.startMs, firstHeard - call.startMs, call.returnMs - closingHeard);
        } else {
            std::printf("  call    blocked %.1f ms\n", call.returnMs - call.startMs);
        }
        // The end-of-sound click of 8-bit plays is tens of ms of near full-scale DC.
        std::printf("  level   peak in silences %.3f%% FS; in the 150 ms after the closing clip %.3f%% FS, above 1%% "
                    "for %.2f ms (%s)\n",
                    chain->gapPeak * 100, chain->tailPeak * 100, chain->tailLoudMs,
                    chain->tailLoudMs < 5 ? "no end-of-sound click" : "CLICK or sound after the closing clip");
        int chainUnderruns = -1;  // unknown
        if (underrunsKnown && timed) {
            // Once the stream has played out it may run dry, and Wine reports that too, at
            // most once per call and around the end of the closing clip. Reports can come
            // late when the machine is busy (by 100 ms and more). So: every report from the
            // call until shortly before the end counts, and of those from there to a
            // quarter second after the end, all but one.
            chainUnderruns = 0;
            const double perMs = rate / 1000.0;
            const double endHeard = firstSampleMs + chain->clips.back().end / perMs;
            const double firstHeard = firstSampleMs + chain->clips.front().start / perMs;
            int nearEnd = 0;
            std::string at;
            for (double t : underruns) {
                if (t < call.startMs || t > endHeard + 250) continue;
                if (t < endHeard - 50) ++chainUnderruns;
                else ++nearEnd;
                char buf[32];
                std::snprintf(buf, sizeof buf, "%s%+.0f", at.empty() ? "" : ", ", t - firstHeard);
                at += buf;
            }
            chainUnderruns += std::max(0, nearEnd - 1);
            std::printf("  driver  underruns during the chain: %d (reports at %s ms from its first sound; one at "
                        "the end is the stream running out)\n",
                        chainUnderruns, at.empty() ? "none" : at.c_str());
        }
        const bool ok = maxError <= kSilenceToleranceMs && std::fabs(ratio - 1) <= kLengthTolerance && call.result != 0;
        all.Add(maxError, ratio, ok);
        if (chainUnderruns == 0) fed.Add(maxError, ratio, ok);
        met = met && ok;
        from = std::size_t(chain->clips.back().end + 0.1 * rate);
    }
    std::printf("\n");
    all.Print("summary");
    if (underrunsKnown && timed) fed.Print("without driver underruns");
    return met ? 0 : 1;
}

double MonotonicRawMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6;
}

int Record(const std::string& path, int rate) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return 2;
    std::uint8_t buf[4096];
    long long bytes = 0;
    double firstSampleMs = 1e300;
    for (;;) {
        const ssize_t n = read(0, buf, sizeof buf);
        if (n <= 0) break;
        const double now = MonotonicRawMs();
        std::fwrite(buf, 1, std::size_t(n), out);
        bytes += n;
        // The data that has arrived by now was all captured by now; the chunk that comes
        // soonest after its capture bounds the first sample's time most tightly.
        firstSampleMs = std::min(firstSampleMs, now - double(bytes / 2) * 1000.0 / rate);
    }
    std::fclose(out);
    if (FILE* t = std::fopen((path + ".time").c_str(), "w")) {
        std::fprintf(t, "%.3f\n", firstSampleMs);
        std::fclose(t);
    }
    return 0;
}

// A recording made of the clips themselves with chosen silences, one clip split by a
// gap, an offset of a fraction of a millisecond and a little noise: the analyser must
// report what was built.
int SelfTest(const Clips& clips, int rate) {
    auto plan = hv::ComposeTalk("07:15", 0, 2);
    const auto steps = hv::bench::StepsOf(*plan);
    const double perMs = rate / 1000.0;
    std::vector<double> silences;
    for (std::size_t k = 0; k + 1 < steps.size(); ++k) silences.push_back(steps[k].pauseAfterMs + 1.5 * double(k % 3));
    const std::size_t split = 2;  // this clip gets 7 ms of silence in its middle
    const double splitMs = 7.0;

    std::vector<float> capture(std::size_t(333.3 * perMs), 0.0f);
    unsigned noise = 12345;
    auto addNoise = [&](std::vector<float>& v) {
        for (auto& s : v) {
            noise = noise * 1103515245u + 12345u;
            s += float(int((noise >> 16) & 0x7FFF) - 16384) / 16384.0f * 3e-4f;
        }
    };
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const auto& clip = clips.resampled[steps[k].id];
        if (k == split) {
            capture.insert(capture.end(), clip.begin(), clip.begin() + long(clip.size() / 2));
            capture.insert(capture.end(), std::size_t(splitMs * perMs), 0.0f);
            capture.insert(capture.end(), clip.begin() + long(clip.size() / 2), clip.end());
        } else {
            capture.insert(capture.end(), clip.begin(), clip.end());
        }
        if (k < silences.size()) capture.insert(capture.end(), std::size_t(std::lround(silences[k] * perMs)), 0.0f);
    }
    capture.insert(capture.end(), std::size_t(500 * perMs), 0.0f);
    addNoise(capture);

    auto chain = hv::bench::FindChain(capture, rate, 0, steps, clips.resampled);
    if (!chain) {
        std::printf("self-test: chain not found\n");
        return 1;
    }
    double worst = 0;
    for (std::size_t k = 0; k < silences.size(); ++k)
        worst = std::max(worst, std::fabs(chain->silencesMs[k] - std::lround(silences[k] * perMs) / perMs));
    const double stretch = chain->clips[split].stretchMs;
    double otherStretch = 0;
    for (std::size_t k = 0; k < chain->clips.size(); ++k)
        if (k != split) otherStretch = std::max(otherStretch, std::fabs(chain->clips[k].stretchMs));
    const bool ok = worst < 0.05 && std::fabs(stretch - splitMs) < 0.05 && otherStretch < 0.05;
    std::printf("analyser self-test: worst silence error %.3f ms, gap inside a clip %.2f ms (built %.2f), %s\n", worst,
                stretch, splitMs, ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}

// --onsets: for each "start N LABEL MS" line of the tray benchmark, the first sound after
// it (a sample beyond -20 dBFS; the clips' first 5 ms rise to it), and the delay per label
// against the plain waveOut start of the same round.
int Onsets(const std::string& capturePath, const std::string& startsPath, int rate) {
    std::vector<std::uint8_t> raw;
    double firstSampleMs = 0;
    FILE* t = std::fopen((capturePath + ".time").c_str(), "r");
    const bool timed = t && std::fscanf(t, "%lf", &firstSampleMs) == 1;
    if (t) std::fclose(t);
    if (!hv::bench::ReadWholeFile(capturePath, raw) || raw.size() < 2 || !timed) {
        std::fprintf(stderr, "talkbench_analyze: no timed recording in %s\n", capturePath.c_str());
        return 2;
    }
    std::ifstream in(startsPath);
    std::string line;
    std::map<std::string, std::vector<double>> delays, beyond;
    std::map<int, double> plain;  // round -> the waveOut start's delay
    while (std::getline(in, line)) {
        int round = 0;
        char label[32] = {};
        double startMs = 0;
        if (std::sscanf(line.c_str(), "start %d %31s %lf", &round, label, &startMs) != 3) continue;
        std::size_t i = std::size_t(std::max(0.0, (startMs - firstSampleMs) * rate / 1000.0));
        for (; i + 1 < raw.size() / 2; ++i)
            if (std::abs(std::int16_t(raw[2 * i] | raw[2 * i + 1] << 8)) > 3277) break;
        if (i + 1 >= raw.size() / 2) {
            std::printf("round %d %-10s no sound found\n", round, label);
            continue;
        }
        const double delay = firstSampleMs + double(i) * 1000.0 / rate - startMs;
        std::printf("round %d %-10s first sound after %7.1f ms\n", round, label, delay);
        delays[label].push_back(delay);
        if (std::string(label) == "waveOut") plain[round] = delay;
        else if (plain.count(round)) beyond[label].push_back(delay - plain[round]);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    bool met = true;
    for (const auto& [label, v] : delays) {
        std::printf("%-10s median %7.1f ms, worst %7.1f ms", label.c_str(), median(v),
                    *std::max_element(v.begin(), v.end()));
        if (beyond.count(label)) {
            const auto& b = beyond[label];
            const double worst = *std::max_element(b.begin(), b.end());
            std::printf("; beyond the waveOut start: median %+6.1f ms, worst %+6.1f ms (target at most 50)",
                        median(b), worst);
            met = met && median(b) <= 50;
        }
        std::printf("\n");
    }
    std::printf("summary: %s\n", met ? "target met (median)" : "target MISSED");
    return met ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string clipsDir, capture, calls, log, record, starts;
    int rate = 48000;
    bool selfTest = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--self-test") selfTest = true;
        else if (a == "--clips" && hasValue) clipsDir = argv[++i];
        else if (a == "--capture" && hasValue) capture = argv[++i];
        else if (a == "--calls" && hasValue) calls = argv[++i];
        else if (a == "--wine-log" && hasValue) log = argv[++i];
        else if (a == "--rate" && hasValue) rate = std::atoi(argv[++i]);
        else if (a == "--record" && hasValue) record = argv[++i];
        else if (a == "--onsets" && hasValue) starts = argv[++i];
        else {
            std::fprintf(stderr, "usage: talkbench_analyze --clips DIR (--self-test | --capture RAW --calls FILE "
                                 "[--wine-log FILE] [--rate HZ])\n       talkbench_analyze --record RAW\n");
            return 2;
        }
    }
    if (!record.empty()) return Record(record, rate);
    if (!starts.empty()) return Onsets(capture, starts, rate);
    Clips clips;
    if (clipsDir.empty() || rate < 8000 || !clips.Load(clipsDir, rate)) {
        std::fprintf(stderr, "talkbench_analyze: the voice clips in '%s' could not be read\n", clipsDir.c_str());
        return 2;
    }
    if (selfTest) return SelfTest(clips, rate);
    if (capture.empty() || calls.empty()) {
        std::fprintf(stderr, "talkbench_analyze: --capture and --calls are needed\n");
        return 2;
    }
    return Analyse(clips, rate, capture, calls, log);
}
