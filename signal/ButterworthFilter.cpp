#include "ButterworthFilter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace kadivo {

namespace {

// Two passes of a second-order Butterworth fall to half power where the section's own power
// gain 1/(1 + (Ω/Ωs)^4) is 1/√2: the section's (pre-warped) cut-off Ωs lies higher than the
// whole filter's by 1/(√2 − 1)^(1/4).
const double kTwoPassCorrection = 1.0 / std::pow(std::sqrt(2.0) - 1.0, 0.25);

void RunSection(const ButterworthDesign& d, std::vector<double>& x) {
    if (x.empty()) return;
    double x1 = x[0], x2 = x[0], y1 = x[0], y2 = x[0];
    for (double& value : x) {
        const double y = d.b0 * value + d.b1 * x1 + d.b2 * x2 - d.a1 * y1 - d.a2 * y2;
        x2 = x1;
        x1 = value;
        y2 = y1;
        y1 = y;
        value = y;
    }
}

}  // namespace

double ButterworthDesign::Gain(double frequency, double rate) const {
    const double w = 2.0 * std::numbers::pi * frequency / rate;
    // The section's power gain |B(e^jw)|² / |A(e^jw)|²: the two passes' amplitude gain.
    const auto power = [w](double c0, double c1, double c2) {
        const double re = c0 + c1 * std::cos(w) + c2 * std::cos(2 * w);
        const double im = -c1 * std::sin(w) - c2 * std::sin(2 * w);
        return re * re + im * im;
    };
    return power(b0, b1, b2) / power(1.0, a1, a2);
}

ButterworthDesign DesignButterworth(double cutOff, double rate) {
    if (!(rate > 0) || !(cutOff > 0) || !(cutOff < rate / 2.0))
        throw std::invalid_argument("The cut-off must lie above 0 Hz and below half the frame rate");
    const double k = std::tan(std::numbers::pi * cutOff / rate) * kTwoPassCorrection;
    const double norm = 1.0 / (1.0 + std::sqrt(2.0) * k + k * k);
    ButterworthDesign d;
    d.b0 = k * k * norm;
    d.b1 = 2.0 * d.b0;
    d.b2 = d.b0;
    d.a1 = 2.0 * (k * k - 1.0) * norm;
    d.a2 = (1.0 - std::sqrt(2.0) * k + k * k) * norm;
    return d;
}

std::vector<double> ButterworthFilter(const std::vector<double>& series, double cutOff, double rate) {
    const ButterworthDesign design = DesignButterworth(cutOff, rate);
    const std::size_t n = series.size();
    if (n < 2) return series;
    // Long enough for the start of each pass to settle: a few periods of the cut-off.
    const std::size_t pad = std::min(n - 1, static_cast<std::size_t>(std::ceil(3.0 * rate / cutOff)));
    std::vector<double> x;
    x.reserve(n + 2 * pad);
    for (std::size_t i = pad; i > 0; --i) x.push_back(2.0 * series.front() - series[i]);
    x.insert(x.end(), series.begin(), series.end());
    for (std::size_t i = 1; i <= pad; ++i) x.push_back(2.0 * series.back() - series[n - 1 - i]);
    RunSection(design, x);
    std::reverse(x.begin(), x.end());
    RunSection(design, x);
    std::reverse(x.begin(), x.end());
    return {x.begin() + static_cast<std::ptrdiff_t>(pad), x.begin() + static_cast<std::ptrdiff_t>(pad + n)};
}

}  // namespace kadivo
