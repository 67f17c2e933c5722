#include "FlashSync.h"

#include <algorithm>
#include <cmath>

namespace kadivo {

namespace {

double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The median of brightness[first, last), clipped to the series.
double MedianOver(const std::vector<double>& brightness, long long first, long long last) {
    first = std::max<long long>(first, 0);
    last = std::min<long long>(last, static_cast<long long>(brightness.size()));
    if (first >= last) return NAN;
    return Median({brightness.begin() + first, brightness.begin() + last});
}

}  // namespace

std::optional<FlashEvent> LocateFlash(const std::vector<double>& brightness) {
    const auto n = static_cast<long long>(brightness.size());
    if (n < 8) return std::nullopt;
    long long rise = 1;
    std::vector<double> changes;
    for (long long k = 1; k < n; ++k) {
        const double change = brightness[static_cast<std::size_t>(k)] - brightness[static_cast<std::size_t>(k - 1)];
        changes.push_back(std::abs(change));
        if (change > brightness[static_cast<std::size_t>(rise)] - brightness[static_cast<std::size_t>(rise - 1)]) rise = k;
    }
    FlashEvent event;
    event.risingFrame = static_cast<int>(rise);
    event.jump = brightness[static_cast<std::size_t>(rise)] - brightness[static_cast<std::size_t>(rise - 1)];
    event.noise = 1.4826 * Median(changes);
    if (!(event.jump > kFlashAboveNoise * event.noise) || event.jump < 1.0) return std::nullopt;
    // Frames surely before the light, and surely after its rise: three of each at least.
    if (rise < 4 || rise + 5 > n) return std::nullopt;
    const double before = MedianOver(brightness, rise - 6, rise - 1);
    const double after = MedianOver(brightness, rise + 2, rise + 7);
    if (std::isnan(before) || std::isnan(after)) return std::nullopt;
    double peak = before;
    for (long long k = rise - 1; k <= rise + 1 && k < n; ++k) peak = std::max(peak, brightness[static_cast<std::size_t>(k)]);
    event.staysOn = after - before > 0.5 * (peak - before);
    if (event.staysOn) {
        // Each frame around the rise is lit for the part of its exposure after the light came on.
        double lit = 0;
        for (long long k = rise - 1; k <= rise + 1; ++k)
            lit += std::clamp((brightness[static_cast<std::size_t>(std::min(k, n - 1))] - before) / (after - before), 0.0, 1.0);
        event.frame = static_cast<double>(rise + 2) - lit;
    } else {
        // The light's centre of mass over the frames that caught it.
        double energy = 0, moment = 0;
        for (long long k = rise - 1; k <= rise + 1 && k < n; ++k) {
            const double light = std::max(0.0, brightness[static_cast<std::size_t>(k)] - before);
            energy += light;
            moment += light * (static_cast<double>(k) + 0.5);
        }
        event.frame = moment / energy;
    }
    return event;
}

}  // namespace kadivo
