#include "tools/talkbench/chain_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>

namespace hv::bench {

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::uint8_t buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return true;
}

namespace {

using Complex = std::complex<double>;

void Fft(std::vector<Complex>& a, bool inverse) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = 2 * std::numbers::pi / double(len) * (inverse ? 1 : -1);
        const Complex step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            Complex w(1);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const Complex u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
    if (inverse)
        for (auto& x : a) x /= double(n);
}

struct Peak {
    double pos = 0;
    double score = 0;
};

// Best normalised cross-correlation of `tmpl` placed at capture positions lo..hi.
// Positions where the capture is far quieter than the template cannot match: that keeps
// near-silence, where the normalisation would amplify noise, from winning.
std::optional<Peak> BestMatch(std::span<const float> capture, std::span<const float> tmpl, double loPos,
                              double hiPos) {
    const long n = long(tmpl.size());
    long lo = std::max(0L, long(std::floor(loPos)));
    long hi = std::min(long(capture.size()) - n, long(std::ceil(hiPos)));
    if (n < 8 || lo > hi) return std::nullopt;
    const long m = hi - lo + n;
    std::size_t size = 1;
    while (size < std::size_t(m)) size <<= 1;

    std::vector<Complex> x(size), y(size);
    for (long i = 0; i < m; ++i) x[i] = capture[lo + i];
    double tmplEnergy = 0;
    for (long i = 0; i < n; ++i) {
        y[i] = tmpl[i];
        tmplEnergy += double(tmpl[i]) * tmpl[i];
    }
    if (tmplEnergy <= 0) return std::nullopt;
    Fft(x, false);
    Fft(y, false);
    for (std::size_t i = 0; i < size; ++i) x[i] *= std::conj(y[i]);
    Fft(x, true);

    std::vector<double> prefix(m + 1, 0.0);
    for (long i = 0; i < m; ++i) prefix[i + 1] = prefix[i] + double(capture[lo + i]) * capture[lo + i];
    const long lags = hi - lo + 1;
    std::vector<double> score(lags, -1.0);
    long best = -1;
    for (long l = 0; l < lags; ++l) {
        const double energy = prefix[l + n] - prefix[l];
        if (energy < 0.01 * tmplEnergy) continue;
        score[l] = x[l].real() / std::sqrt(energy * tmplEnergy);
        if (best < 0 || score[l] > score[best]) best = l;
    }
    if (best < 0) return std::nullopt;
    double offset = 0;
    if (best > 0 && best + 1 < lags && score[best - 1] > -1 && score[best + 1] > -1) {
        const double a = score[best - 1], b = score[best], c = score[best + 1];
        const double denom = a - 2 * b + c;
        if (denom < 0) offset = std::clamp(0.5 * (a - c) / denom, -0.5, 0.5);
    }
    return Peak{double(lo + best) + offset, score[best]};
}

double PeakIn(std::span<const float> capture, double from, double to) {
    const long a = std::max(0L, long(std::ceil(from)));
    const long b = std::min(long(capture.size()), long(std::floor(to)));
    double peak = 0;
    for (long i = a; i < b; ++i) peak = std::max(peak, double(std::fabs(capture[i])));
    return peak;
}

}  // namespace

std::vector<ChainStep> StepsOf(const TalkPlan& plan) {
    std::vector<ChainStep> steps;
    if (plan.marker != 0) steps.push_back({plan.marker, double(plan.markerPauseMs)});
    for (int i = 0; i < plan.clipCount; ++i) steps.push_back({plan.clips[i], double(plan.clipPauseMs)});
    if (!steps.empty()) steps.back().pauseAfterMs += plan.finalPauseMs;
    steps.push_back({plan.closing, 0});
    return steps;
}

std::vector<float> ResampleClip(const WaveClip& clip, int rate) {
    constexpr int kHalfWidth = 16;  // input samples each side of the kernel
    const auto& in = clip.samples;
    const double step = double(kClipSampleRate) / rate;
    const std::size_t outCount = std::size_t(double(in.size()) / step);
    std::vector<float> out(outCount);
    for (std::size_t j = 0; j < outCount; ++j) {
        const double t = double(j) * step;
        const long centre = long(std::floor(t));
        double sum = 0;
        for (long k = centre - kHalfWidth + 1; k <= centre + kHalfWidth; ++k) {
            if (k < 0 || k >= long(in.size())) continue;
            const double d = t - double(k);
            const double sinc = d == 0 ? 1.0 : std::sin(std::numbers::pi * d) / (std::numbers::pi * d);
            const double w = 0.42 + 0.5 * std::cos(std::numbers::pi * d / kHalfWidth) +
                             0.08 * std::cos(2 * std::numbers::pi * d / kHalfWidth);  // Blackman
            sum += (double(in[k]) - 128.0) / 128.0 * sinc * w;
        }
        out[j] = float(sum);
    }
    return out;
}

std::optional<ChainFound> FindChain(std::span<const float> capture, int rate, std::size_t from,
                                    const std::vector<ChainStep>& steps,
                                    const std::vector<std::vector<float>>& clips) {
    if (steps.empty()) return std::nullopt;
    const double perMs = rate / 1000.0;

    // The chain begins with the first sound after `from`: everything else is silence.
    std::size_t onset = from;
    while (onset < capture.size() && std::fabs(capture[onset]) < 0.02f) ++onset;
    if (onset >= capture.size()) return std::nullopt;

    ChainFound found;
    double lo = double(onset) - 50 * perMs, hi = double(onset) + 500 * perMs;
    for (const ChainStep& step : steps) {
        if (step.id < 0 || std::size_t(step.id) >= clips.size() || clips[step.id].size() < 16) return std::nullopt;
        std::span<const float> clip = clips[step.id];
        const std::size_t half = clip.size() / 2;
        // Each half is found on its own, so a gap the sound system inserts inside a clip
        // shows up as stretch instead of spoiling the match.
        auto first = BestMatch(capture, clip.first(half), lo, hi);
        if (!first) return std::nullopt;
        auto second = BestMatch(capture, clip.subspan(half), first->pos + double(half) - 50 * perMs,
                                first->pos + double(half) + 500 * perMs);
        if (!second) return std::nullopt;
        ClipFound c;
        c.id = step.id;
        c.start = first->pos;
        c.end = second->pos + double(clip.size() - half);
        c.stretchMs = (c.end - c.start - double(clip.size())) / perMs;
        c.score = std::min(first->score, second->score);
        found.clips.push_back(c);
        lo = c.end + (step.pauseAfterMs - 50) * perMs;
        hi = c.end + (step.pauseAfterMs + 600) * perMs;
    }

    for (std::size_t k = 0; k + 1 < found.clips.size(); ++k) {
        const double gapFrom = found.clips[k].end, gapTo = found.clips[k + 1].start;
        found.silencesMs.push_back((gapTo - gapFrom) / perMs);
        found.gapPeak = std::max(found.gapPeak, PeakIn(capture, gapFrom + perMs, gapTo - perMs));
    }
    const double end = found.clips.back().end;
    found.lengthMs = (end - found.clips.front().start) / perMs;
    found.tailPeak = PeakIn(capture, end + perMs, end + 150 * perMs);
    long run = 0, longest = 0;
    for (long i = long(end + perMs); i < long(end + 150 * perMs) && i < long(capture.size()); ++i) {
        run = std::fabs(capture[i]) > 0.01f ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    found.tailLoudMs = double(longest) / perMs;
    for (const ChainStep& step : steps) found.idealMs += double(clips[step.id].size()) / perMs + step.pauseAfterMs;
    return found;
}

}  // namespace hv::bench
