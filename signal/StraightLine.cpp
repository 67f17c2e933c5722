#include "StraightLine.h"

namespace kadivo {

std::vector<double> AboutStraightLine(const std::vector<double>& series) {
    const double n = static_cast<double>(series.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < series.size(); ++i) {
        const double x = static_cast<double>(i);
        sx += x, sy += series[i], sxx += x * x, sxy += x * series[i];
    }
    const double denominator = n * sxx - sx * sx;
    const double slope = denominator != 0 ? (n * sxy - sx * sy) / denominator : 0.0;
    const double intercept = n > 0 ? (sy - slope * sx) / n : 0.0;
    std::vector<double> away(series.size());
    for (std::size_t i = 0; i < series.size(); ++i) away[i] = series[i] - intercept - slope * static_cast<double>(i);
    return away;
}

}  // namespace kadivo
