#include "Differentiation.h"

#include <cmath>

namespace kadivo {

float CentralDifference(float previous, float next, float h) { return (next - previous) / (2.0f * h); }

float SecondDifference(float x, float previous, float next, float h) {
    return (next - 2.0f * x + previous) / std::pow(h, 2.0f);
}

std::vector<float> DifferentiateSeries(const std::vector<float>& x, float h, int derivative) {
    const std::size_t n = x.size();
    std::vector<float> out(n, 0.0f);
    if (n < 2) return out;
    if (n == 2) {
        if (derivative == 1) out[0] = out[1] = (x[1] - x[0]) / h;
        return out;
    }
    for (std::size_t i = 1; i + 1 < n; ++i)
        out[i] = derivative == 1 ? CentralDifference(x[i - 1], x[i + 1], h) : SecondDifference(x[i], x[i - 1], x[i + 1], h);
    if (n == 3) {
        out[0] = out[2] = out[1];
        return out;
    }
    out[0] = 2.0f * out[1] - out[2];
    out[n - 1] = 2.0f * out[n - 2] - out[n - 3];
    return out;
}

}  // namespace kadivo
