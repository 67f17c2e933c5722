#include "LowPassFilter.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace kadivo {

void ComplexFft(double* data, int points, int sign) {
    const int n = 2 * points;
    // Bit reversal.
    for (int i = 1, j = 1; i < n; i += 2) {
        if (j > i) {
            std::swap(data[j], data[i]);
            std::swap(data[j + 1], data[i + 1]);
        }
        int m = points;
        while (m >= 2 && j > m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }
    // Danielson–Lanczos butterflies, the twiddle factors by trigonometric recurrence.
    for (int span = 2; n > span; span <<= 1) {
        const int step = span << 1;
        const double theta = sign * (2.0 * std::numbers::pi / span);
        const double half = std::sin(0.5 * theta);
        const double wpr = -2.0 * half * half;
        const double wpi = std::sin(theta);
        double wr = 1.0, wi = 0.0;
        for (int m = 1; m < span; m += 2) {
            for (int i = m; i <= n; i += step) {
                const int j = i + span;
                const double tempr = wr * data[j] - wi * data[j + 1];
                const double tempi = wr * data[j + 1] + wi * data[j];
                data[j] = data[i] - tempr;
                data[j + 1] = data[i + 1] - tempi;
                data[i] += tempr;
                data[i + 1] += tempi;
            }
            const double wtemp = wr;
            wr = wtemp * wpr - wi * wpi + wr;
            wi = wi * wpr + wtemp * wpi + wi;
        }
    }
}

std::vector<float> LowPassFilter(const std::vector<float>& series, float cutOff, float rate) {
    const int n = static_cast<int>(series.size());
    if (n == 0) return {};
    const int k = n / 2;
    int points = 512;
    while (points < 2 * k + n) points *= 2;
    std::vector<double> d(static_cast<std::size_t>(2 * points) + 1, 0.0);  // 1-based
    auto real = [&](int point) -> double& { return d[static_cast<std::size_t>(2 * point - 1)]; };
    for (int p = 1; p <= k; ++p) real(p) = series[static_cast<std::size_t>(k - p + 1)];
    for (int i = 0; i < n; ++i) real(k + 1 + i) = series[static_cast<std::size_t>(i)];
    for (int p = 1; p <= k; ++p) real(k + n + p) = series[static_cast<std::size_t>(n - p)];

    ComplexFft(d.data(), points, 1);
    const int c = -static_cast<int>(-2.0 * static_cast<double>(cutOff) / (static_cast<double>(rate) / points));
    const int last = 2 * points - 2 - c;
    if (1 + c < last + 1)
        for (int i = 1 + c; i <= last; ++i) d[static_cast<std::size_t>(i)] = 0.0;
    ComplexFft(d.data(), points, -1);

    std::vector<float> filtered(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) filtered[static_cast<std::size_t>(i)] = static_cast<float>(real(k + 1 + i) / points);
    return filtered;
}

}  // namespace kadivo
