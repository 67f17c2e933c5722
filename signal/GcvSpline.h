#pragma once

#include <utility>
#include <vector>

namespace kadivo {

// Statistics of the final fit of a generalized cross-validatory spline smoothing.
struct GcvStatistics {
    double gcv = 0.0;        // r / t²
    double meanSquaredResidual = 0.0;  // r
    double trace = 0.0;      // trace(I − A), the residual degrees of freedom
    double p = 0.0;          // smoothing parameter; 0 when the fit sat at the interpolating end
    double estimatedError = 0.0;  // r − e(2t − 1) when e > 0, else r/t − r
    double variance = 0.0;   // r / t
    int fits = 0;
};

// Smooths `y` (abscissae 0..n−1, unit weights) with the natural spline of degree 2M−1 that
// minimises Σ(y − s)² + p∫(s^(M))². The smoothing parameter p is chosen by generalized
// cross-validation (smoothError < 0), by the estimated true mean squared error with
// smoothError as the noise variance (> 0), or is 0, the interpolating spline (= 0).
// Returns false, leaving `out` alone, when halfOrder is below 1 or above 16, or the series
// has fewer than 2·halfOrder values.
bool GcvSmooth(const std::vector<double>& y, int halfOrder, double smoothError, std::vector<double>& out,
               GcvStatistics* statistics = nullptr);

// GcvSmooth of many series, each smoothed as GcvSmooth smooths it alone (to the last bit),
// several at a time on every core. A result is not `smoothed` where GcvSmooth would return
// false.
struct GcvResult {
    bool smoothed = false;
    std::vector<double> values;
    GcvStatistics statistics;
};
std::vector<GcvResult> GcvSmoothMany(const std::vector<std::vector<double>>& ys, int halfOrder, double smoothError);

// The spline of degree 2·halfOrder − 1 at smoothing parameter `p` (as GcvSmooth chose it):
// for a fixed p the smoothing is linear in `y`. False where GcvSmooth would return false.
bool SplineSmoothAt(const std::vector<double>& y, int halfOrder, double p, std::vector<double>& out);

// The smoothing's criterion (the GCV function, or the estimated true mean squared error when
// smoothError > 0) at smoothing parameters from centre/10⁴ to centre·10⁴, four a decade: the
// curve the choice was made on. A centre of 0 (the interpolating end) is taken as the
// parameter the search starts from. Empty where GcvSmooth would return false.
std::vector<std::pair<double, double>> GcvCriterionCurve(const std::vector<double>& y, int halfOrder, double smoothError,
                                                         double centre);

// The smoothing of one world-data series in single precision: splineOrder 0..3 is the
// half-order 1..4. A series too short for the order comes back unchanged (and `statistics`,
// when given, untouched).
std::vector<float> SplineSmooth(const std::vector<float>& series, int splineOrder, double smoothError,
                                GcvStatistics* statistics = nullptr);

}  // namespace kadivo
