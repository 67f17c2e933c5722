#include "AudioSync.h"

#include "LowPassFilter.h"

#include <algorithm>
#include <cmath>

namespace kadivo {

namespace {

constexpr std::size_t kFewestEnvelopeSamples = 16;

void RemoveMean(std::vector<double>& values) {
    double mean = 0;
    for (double v : values) mean += v;
    mean /= static_cast<double>(values.size());
    for (double& v : values) v -= mean;
}

double Energy(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values) sum += v * v;
    return sum;
}

}  // namespace

std::vector<double> LoudnessEnvelope(const AudioTrack& track, double origin) {
    std::vector<double> sum, count;
    if (track.sampleRate <= 0) return {};
    for (std::size_t i = 0; i < track.samples.size(); ++i) {
        const double t = track.startSeconds + static_cast<double>(i) / track.sampleRate - origin;
        if (t < 0) continue;
        const auto bin = static_cast<std::size_t>(t * kEnvelopeRate);
        if (bin >= sum.size()) sum.resize(bin + 1, 0.0), count.resize(bin + 1, 0.0);
        sum[bin] += std::abs(track.samples[i]);
        count[bin] += 1;
    }
    for (std::size_t j = 0; j < sum.size(); ++j) sum[j] = count[j] > 0 ? sum[j] / count[j] : (j > 0 ? sum[j - 1] : 0.0);
    return sum;
}

std::optional<AudioLag> LagBetween(const AudioTrack& reference, const AudioTrack& other) {
    // Both envelopes from the same instant, so that their shift is the lag itself.
    const double origin = std::min(reference.startSeconds, other.startSeconds);
    std::vector<double> a = LoudnessEnvelope(reference, origin), b = LoudnessEnvelope(other, origin);
    if (a.size() < kFewestEnvelopeSamples || b.size() < kFewestEnvelopeSamples) return std::nullopt;
    RemoveMean(a);
    RemoveMean(b);
    const double norm = std::sqrt(Energy(a) * Energy(b));
    if (!(norm > 0)) return std::nullopt;
    // Circular correlation through the FFT, with room enough that no shift wraps around.
    int points = 1;
    while (static_cast<std::size_t>(points) < a.size() + b.size()) points *= 2;
    std::vector<double> fa(static_cast<std::size_t>(2 * points) + 1, 0.0), fb(fa.size(), 0.0);  // 1-based pairs
    for (std::size_t i = 0; i < a.size(); ++i) fa[2 * i + 1] = a[i];
    for (std::size_t i = 0; i < b.size(); ++i) fb[2 * i + 1] = b[i];
    ComplexFft(fa.data(), points, 1);
    ComplexFft(fb.data(), points, 1);
    // c(τ) = Σ a(t)·b(t + τ): conj(A)·B.
    for (int k = 0; k < points; ++k) {
        const std::size_t re = static_cast<std::size_t>(2 * k + 1), im = re + 1;
        const double r = fa[re] * fb[re] + fa[im] * fb[im];
        const double i = fa[re] * fb[im] - fa[im] * fb[re];
        fa[re] = r;
        fa[im] = i;
    }
    ComplexFft(fa.data(), points, -1);
    const auto correlation = [&](long long lag) {
        const long long index = lag >= 0 ? lag : points + lag;
        return fa[static_cast<std::size_t>(2 * index + 1)] / points / norm;
    };
    const auto lagLimit = static_cast<long long>(std::max(a.size(), b.size())) - 1;
    long long best = 0;
    for (long long lag = -lagLimit; lag <= lagLimit; ++lag)
        if (correlation(lag) > correlation(best)) best = lag;
    double shift = static_cast<double>(best);
    if (best > -lagLimit && best < lagLimit) {
        const double left = correlation(best - 1), middle = correlation(best), right = correlation(best + 1);
        const double curvature = left - 2 * middle + right;
        if (curvature < 0) shift += 0.5 * (left - right) / curvature;
    }
    return AudioLag{shift / kEnvelopeRate, correlation(best)};
}

}  // namespace kadivo
