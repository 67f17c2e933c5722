#include "ButterworthCutOff.h"

#include "ButterworthFilter.h"
#include "StraightLine.h"

#include <cmath>
#include <numbers>

namespace kadivo {

namespace {

// Cut-offs are tried from rate/200 to 0.45·rate in steps of rate/200.
constexpr int kSteps = 90;
constexpr double kStep = 1.0 / 200.0;
constexpr double kNoiseFrom = 0.25;       // of the rate: the noise line's first cut-off
constexpr double kSignalLeft = 0.01;      // the knee: signal's residual power left
constexpr int kRefinements = 8;           // halvings of the step at the knee
constexpr int kLags = 10;
constexpr double kChiSquare95 = 18.307;   // χ² with 10 degrees of freedom at 95 %

double CutOffAt(int step, double rate) { return rate * kStep * step; }

std::vector<double> Residual(const std::vector<double>& series, double cutOff, double rate) {
    std::vector<double> residual = ButterworthFilter(series, cutOff, rate);
    for (std::size_t i = 0; i < series.size(); ++i) residual[i] = series[i] - residual[i];
    return residual;
}

double MeanSquare(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values) sum += v * v;
    return sum / static_cast<double>(values.size());
}

// The autocorrelation at lags 1..kLags that white noise has after the filter's complement
// 1 − H removed the part the filter keeps: ∫G²cos(2πfk/rate) / ∫G² over 0..rate/2.
std::vector<double> NoiseResidualCorrelation(double cutOff, double rate) {
    const ButterworthDesign design = DesignButterworth(cutOff, rate);
    constexpr int kPoints = 500;  // the integrand is smooth and spans at most kLags periods
    std::vector<double> correlation(kLags + 1, 0.0);
    double power = 0;
    for (int j = 0; j < kPoints; ++j) {
        const double frequency = (j + 0.5) / kPoints * rate / 2;
        const double removed = 1.0 - design.Gain(frequency, rate);
        const double g = removed * removed;
        power += g;
        // cos(kθ) by the recurrence cos(kθ) = 2cosθ·cos((k−1)θ) − cos((k−2)θ).
        const double c1 = std::cos(2 * std::numbers::pi * frequency / rate);
        double before = 1.0, current = c1;
        for (int k = 1; k <= kLags; ++k) {
            correlation[static_cast<std::size_t>(k)] += g * current;
            const double next = 2 * c1 * current - before;
            before = current;
            current = next;
        }
    }
    for (double& c : correlation) c /= power;
    return correlation;
}

// N·Σ(ρ̂(k) − ρ(k))² over the lags: χ² with kLags degrees of freedom when the residual is noise.
double WhitenessStatistic(const std::vector<double>& residual, const std::vector<double>& expected) {
    const std::size_t n = residual.size();
    double zero = 0;
    for (double v : residual) zero += v * v;
    if (!(zero > 0)) return 0.0;
    double sum = 0;
    for (std::size_t k = 1; k <= kLags && k < n; ++k) {
        double lagged = 0;
        for (std::size_t i = k; i < n; ++i) lagged += residual[i] * residual[i - k];
        const double difference = lagged / zero - expected[k];
        sum += difference * difference;
    }
    return static_cast<double>(n) * sum;
}

}  // namespace

CutOffChoice ResidualAnalysisChoice(const std::vector<double>& series, double rate) {
    CutOffChoice choice;
    std::vector<double> power;
    for (int step = 1; step <= kSteps; ++step) {
        const double cutOff = CutOffAt(step, rate);
        power.push_back(MeanSquare(Residual(series, cutOff, rate)));
        choice.curve.emplace_back(cutOff, std::sqrt(power.back()));
    }
    // The noise line, least squares on the RMS residual where the cut-off is high.
    double sx = 0, sy = 0, sxx = 0, sxy = 0, n = 0;
    for (const auto& [cutOff, rms] : choice.curve) {
        if (cutOff < kNoiseFrom * rate * (1 - 1e-9)) continue;
        sx += cutOff, sy += rms, sxx += cutOff * cutOff, sxy += cutOff * rms, n += 1;
    }
    choice.noiseSlope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    choice.noiseIntercept = (sy - choice.noiseSlope * sx) / n;
    const auto signalPower = [&](double cutOff, double residualPower) {
        const double noise = choice.noiseIntercept + choice.noiseSlope * cutOff;
        return residualPower - noise * noise;
    };
    // The signal's power the filter could take away: the series' about its straight line
    // (a filter keeps a line whole) less the noise's.
    const double threshold = kSignalLeft * (MeanSquare(AboutStraightLine(series)) - choice.noiseIntercept * choice.noiseIntercept);
    choice.cutOff = CutOffAt(1, rate);
    if (!(threshold > 0)) return choice;
    int knee = 1;
    while (knee <= kSteps && signalPower(CutOffAt(knee, rate), power[static_cast<std::size_t>(knee - 1)]) > threshold) ++knee;
    if (knee == 1 || knee > kSteps) {
        choice.cutOff = CutOffAt(std::min(knee, kSteps), rate);
        return choice;
    }
    // Between the last step above the threshold and the first one on it.
    double above = CutOffAt(knee - 1, rate), below = CutOffAt(knee, rate);
    for (int i = 0; i < kRefinements; ++i) {
        const double middle = (above + below) / 2;
        (signalPower(middle, MeanSquare(Residual(series, middle, rate))) > threshold ? above : below) = middle;
    }
    choice.cutOff = below;
    return choice;
}

CutOffChoice WhitenessChoice(const std::vector<double>& series, double rate) {
    CutOffChoice choice;
    choice.limit = kChiSquare95;
    choice.passed = false;
    for (int step = 1; step <= kSteps; ++step) {
        const double cutOff = CutOffAt(step, rate);
        const double statistic = WhitenessStatistic(Residual(series, cutOff, rate), NoiseResidualCorrelation(cutOff, rate));
        choice.curve.emplace_back(cutOff, statistic);
        if (!choice.passed && statistic < kChiSquare95) {
            choice.passed = true;
            choice.cutOff = cutOff;
        }
    }
    if (!choice.passed) choice.cutOff = CutOffAt(kSteps, rate);
    return choice;
}

CutOffChoice ChooseCutOff(int method, const std::vector<double>& series, double rate) {
    return method == kWhitenessCutOff ? WhitenessChoice(series, rate) : ResidualAnalysisChoice(series, rate);
}

}  // namespace kadivo
