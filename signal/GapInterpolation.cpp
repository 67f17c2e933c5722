#include "GapInterpolation.h"

#include "CKadivoDoc.h"

#include <vector>

namespace kadivo {

void SplineSecondDerivatives(const double* x, const double* y, int n, double startDerivative, double endDerivative,
                             double* d) {
    std::vector<double> u(static_cast<std::size_t>(n) + 1, 0.0);
    if (startDerivative > 0.99e30) {
        d[1] = u[1] = 0.0;
    } else {
        d[1] = -0.5;
        u[1] = (3.0 / (x[2] - x[1])) * ((y[2] - y[1]) / (x[2] - x[1]) - startDerivative);
    }
    for (int i = 2; i <= n - 1; ++i) {
        const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
        const double p = sig * d[i - 1] + 2.0;
        d[i] = (sig - 1.0) / p;
        const double slopes = (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
        u[static_cast<std::size_t>(i)] = (6.0 * slopes / (x[i + 1] - x[i - 1]) - sig * u[static_cast<std::size_t>(i - 1)]) / p;
    }
    double qn = 0.0, un = 0.0;
    if (endDerivative <= 0.99e30) {
        qn = 0.5;
        un = (3.0 / (x[n] - x[n - 1])) * (endDerivative - (y[n] - y[n - 1]) / (x[n] - x[n - 1]));
    }
    d[n] = (un - qn * u[static_cast<std::size_t>(n - 1)]) / (qn * d[n - 1] + 1.0);
    for (int k = n - 1; k >= 1; --k) d[k] = d[k] * d[k + 1] + u[static_cast<std::size_t>(k)];
}

void SplineEvaluate(const double* x, const double* y, const double* d, int n, double t, double& value) {
    int lo = 1, hi = n;
    while (hi - lo > 1) {
        const int k = (hi + lo) / 2;
        if (x[k] > t) hi = k;
        else lo = k;
    }
    const double h = x[hi] - x[lo];
    if (h == 0.0) return;
    const double a = (x[hi] - t) / h;
    const double b = (t - x[lo]) / h;
    value = a * y[lo] + b * y[hi] + ((a * a * a - a) * d[lo] + (b * b * b - b) * d[hi]) * (h * h) / 6.0;
}

namespace {

void LinearRule(WorldData& world, int point, int frames, const std::vector<int>& valid) {
    const std::size_t n = valid.size();
    if (n < 2) return;
    for (int axis = 0; axis < 3; ++axis) {
        auto at = [&](int f) -> double& { return Axis(world[f][point], axis); };
        auto line = [&](int a, int b, int f) { return at(a) + (f - a) * (at(b) - at(a)) / (b - a); };
        if (valid[0] >= 1)
            for (int f = 0; f < valid[0]; ++f) at(f) = line(valid[0], valid[1], f);
        const int a = valid[n - 2], b = valid[n - 1];
        for (int f = b + 1; f < frames; ++f) at(f) = line(a, b, f);
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const int first = valid[i], next = valid[i + 1];
            for (int k = 1; k < next - first; ++k) at(first + k) = at(first) + k * (at(next) - at(first)) / (next - first);
        }
    }
}

// A natural cubic spline through four of the valid frames (positions 0, s, 2s and 3s).
void SplineRule(WorldData& world, int point, const std::vector<int>& valid, const std::vector<int>& missing) {
    const std::size_t s = valid.size() / 4;
    if (s == 0) return;
    for (int axis = 0; axis < 3; ++axis) {
        double x[5], y[5], d[5];
        for (int k = 1; k <= 4; ++k) {
            const int frame = valid[static_cast<std::size_t>(k - 1) * s];
            x[k] = frame;
            y[k] = Axis(world[frame][point], axis);
        }
        SplineSecondDerivatives(x, y, 4, 1e30, 1e30, d);
        for (int f : missing) SplineEvaluate(x, y, d, 4, f, Axis(world[f][point], axis));
    }
}

}  // namespace

void InterpolateGaps(CKadivoDoc& doc) {
    const int mode = doc.options.interpolation;
    if (mode == 0 || doc.viewCount() > 1 || doc.worldRaw.empty()) return;
    const std::vector<FrameRecord>& records = doc.current().frameStore.records();
    const int frames = std::min(doc.worldFrameCount, static_cast<int>(records.size()));
    for (int p = 0; p < doc.pointCount; ++p) {
        std::vector<int> valid, missing;
        for (int f = 0; f < frames; ++f) {
            const Point2f pos = records[static_cast<std::size_t>(f)].imagePos[static_cast<std::size_t>(p)];
            (pos.x == -1.0f || pos.y == -1.0f ? missing : valid).push_back(f);
        }
        if (missing.empty()) continue;
        if (mode == 1) LinearRule(doc.worldRaw, p, doc.worldFrameCount, valid);
        else SplineRule(doc.worldRaw, p, valid, missing);
    }
}

}  // namespace kadivo
