#include "GcvSpline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kadivo {

namespace {

constexpr double kEpsilon = 1e-15;
constexpr double kTau = 1.618033983;  // the method's truncated golden ratio
constexpr double kTolerance = 1e-6;
constexpr double kRatio = 2.0;

std::int64_t Factorial(int k) {
    std::int64_t f = 1;
    for (int i = 2; i <= k; ++i) f *= i;
    return f;
}

std::int64_t Binomial(int q, int a) { return Factorial(q) / (Factorial(a) * Factorial(q - a)); }

std::int64_t PositivePower(std::int64_t u, int degree) {
    if (u <= 0) return 0;
    std::int64_t value = 1;
    for (int i = 0; i < degree; ++i) value *= u;
    return value;
}

// A band matrix of n rows with entries at columns row−width..row+width (1-based).
class Band {
public:
    Band(int n, int width) : n_(n), width_(width), values_(static_cast<std::size_t>(n) * (2 * width + 1), 0.0) {}
    double& operator()(int row, int column) {
        return values_[static_cast<std::size_t>(row - 1) * (2 * width_ + 1) + static_cast<std::size_t>(column - row + width_)];
    }
    double operator()(int row, int column) const { return const_cast<Band&>(*this)(row, column); }
    int n() const { return n_; }
    int width() const { return width_; }
    int first(int row) const { return std::max(1, row - width_); }
    int last(int row) const { return std::min(n_, row + width_); }
    double AbsoluteSum() const {
        double sum = 0.0;
        for (double v : values_) sum += std::fabs(v);
        return sum;
    }

private:
    int n_, width_;
    std::vector<double> values_;
};

// The collocation matrix B (values of the natural-spline basis at the knots) and the
// penalty matrix E (jumps of the (2M−1)-th derivative), both exact for unit spacing.
struct SplineBasis {
    SplineBasis(int n, int m) : B(n, m), E(n, m) {
        const int degree = 2 * m - 1;
        for (int j = 1; j <= n; ++j) {
            // Knots of basis j from `first` (1-based) over q + 1 points; `scale` and the
            // sign convention follow the kind of function.
            int first, q;
            double scale;
            bool right = false;
            if (j <= m) {
                first = 1;
                q = j + m - 1;
                scale = 1.0 / static_cast<double>(Factorial(q));
            } else if (j <= n - m) {
                first = j - m;
                q = 2 * m;
                scale = 2.0 * m / static_cast<double>(Factorial(2 * m));
            } else {
                first = j - m;
                q = n - j + m;
                scale = (q % 2 ? -1.0 : 1.0) / static_cast<double>(Factorial(q));
                right = true;
            }
            for (int l = std::max(1, j - m); l <= std::min(n, j + m); ++l) {
                std::int64_t sum = 0;
                for (int a = 0; a <= q; ++a) {
                    const std::int64_t knot = first + a;  // knot value is knot − 1, like l − 1
                    const std::int64_t u = right ? l - knot : knot - l;
                    const std::int64_t term = Binomial(q, a) * PositivePower(u, degree);
                    sum += (q - a) % 2 ? -term : term;
                }
                B(l, j) = scale * static_cast<double>(sum);
                const int a = l - first;
                if (a < 0 || a > q) continue;
                double e;
                if (j <= m) {
                    e = static_cast<double>(Factorial(degree) / (Factorial(a) * Factorial(q - a)));
                    if ((m + q - a) % 2) e = -e;
                } else if (j <= n - m) {
                    e = static_cast<double>(Binomial(2 * m, a));
                    if ((m + a) % 2) e = -e;
                } else {
                    e = static_cast<double>(Factorial(degree) / (Factorial(a) * Factorial(q - a)));
                    if ((m + a) % 2) e = -e;
                }
                E(l, j) = e;
            }
        }
        el = E.AbsoluteSum() / B.AbsoluteSum();
    }

    Band B;
    Band E;
    double el = 0.0;  // scale of the penalty relative to the collocation
};

struct Fit {
    double criterion = 0.0;
    bool clampedLow = false;
    bool clampedHigh = false;
    GcvStatistics statistics;
};

// Storage every fit of one smoothing reuses; `values` holds the last fit's spline values.
struct Workspace {
    Workspace(int n, int m) : s(n, m), z(n, m), c(static_cast<std::size_t>(n)), values(static_cast<std::size_t>(n)) {}
    Band s, z;
    std::vector<double> c, values;
};

// One fit for smoothing parameter p: solve (B + pE)c = y by band LU without pivoting,
// then the residuals and, from the band of the inverse, the trace of I − A.
Fit FitAt(const SplineBasis& basis, const std::vector<double>& y, int m, double p, double smoothError, Workspace& work) {
    const int n = basis.B.n();
    Fit fit;
    double effective = p;
    fit.statistics.p = p;
    if (p * basis.el < kEpsilon) {
        effective = kEpsilon / basis.el;
        fit.statistics.p = 0.0;
        fit.clampedLow = true;
    } else if (p * basis.el * kEpsilon > 1.0) {
        effective = 1.0 / (kEpsilon * basis.el);
        fit.statistics.p = effective;
        fit.clampedHigh = true;
    }
    // S = B + pE, factored in place: U on and above the diagonal, L (unit) below.
    Band& s = work.s;
    for (int i = 1; i <= n; ++i)
        for (int j = s.first(i); j <= s.last(i); ++j) s(i, j) = basis.B(i, j) + effective * basis.E(i, j);
    for (int i = 1; i <= n; ++i) {
        for (int k = i; k <= s.last(i); ++k) {
            double sum = s(i, k);
            for (int h = std::max({1, i - m, k - m}); h < i; ++h) sum -= s(i, h) * s(h, k);
            s(i, k) = sum;
        }
        for (int k = i + 1; k <= s.last(i); ++k) {
            double sum = s(k, i);
            for (int h = std::max({1, i - m, k - m}); h < i; ++h) sum -= s(k, h) * s(h, i);
            s(k, i) = sum / s(i, i);
        }
    }
    std::vector<double>& c = work.c;
    std::copy(y.begin(), y.end(), c.begin());
    for (int i = 1; i <= n; ++i)
        for (int h = s.first(i); h < i; ++h) c[static_cast<std::size_t>(i - 1)] -= s(i, h) * c[static_cast<std::size_t>(h - 1)];
    for (int i = n; i >= 1; --i) {
        double sum = c[static_cast<std::size_t>(i - 1)];
        for (int k = i + 1; k <= s.last(i); ++k) sum -= s(i, k) * c[static_cast<std::size_t>(k - 1)];
        c[static_cast<std::size_t>(i - 1)] = sum / s(i, i);
    }
    double squares = 0.0;
    for (int l = 1; l <= n; ++l) {
        double value = 0.0;
        for (int j = std::max(1, l - m + 1); j <= std::min(n, l + m - 1); ++j) value += basis.B(l, j) * c[static_cast<std::size_t>(j - 1)];
        work.values[static_cast<std::size_t>(l - 1)] = value;
        const double residual = value - y[static_cast<std::size_t>(l - 1)];
        squares += residual * residual;
    }
    // Central band of Z = S⁻¹ from the factors (Erisman–Tinney), from the last row up.
    Band& z = work.z;
    for (int i = n; i >= 1; --i) {
        const int h = std::min(m, n - i);
        const double inverseD = 1.0 / s(i, i);
        for (int j = i + 1; j <= i + h; ++j) {
            double upper = 0.0, lower = 0.0;
            for (int k = i + 1; k <= i + h; ++k) {
                upper += s(i, k) * inverseD * z(k, j);
                lower += z(j, k) * s(k, i);
            }
            z(i, j) = -upper;
            z(j, i) = -lower;
        }
        double upper = inverseD, lower = inverseD;
        for (int k = i + 1; k <= i + h; ++k) {
            upper -= s(i, k) * inverseD * z(k, i);
            lower -= z(i, k) * s(k, i);
        }
        z(i, i) = 0.5 * (upper + lower);
    }
    double trace = 0.0;
    for (int l = 1; l <= n; ++l)
        for (int j = z.first(l); j <= z.last(l); ++j) trace += basis.E(l, j) * z(j, l);
    trace *= effective;

    GcvStatistics& st = fit.statistics;
    st.meanSquaredResidual = squares / n;
    st.trace = trace;
    const double t = trace / n;
    st.variance = st.meanSquaredResidual / t;
    st.gcv = st.variance / t;
    st.estimatedError = smoothError > 0.0 ? st.meanSquaredResidual - smoothError * (2.0 * t - 1.0)
                                          : st.variance - st.meanSquaredResidual;
    fit.criterion = smoothError > 0.0 ? st.estimatedError : st.gcv;
    return fit;
}

}  // namespace

bool GcvSmooth(const std::vector<double>& y, int halfOrder, double smoothError, std::vector<double>& out,
               GcvStatistics* statistics) {
    const int m = halfOrder;
    const int n = static_cast<int>(y.size());
    if (m < 1 || n < 2 * m) return false;
    const SplineBasis basis(n, m);
    Workspace work(n, m);
    int fits = 0;
    auto fitAt = [&](double p) {
        ++fits;
        return FitAt(basis, y, m, p, smoothError, work);
    };
    // Every way out ends with the fit it returns as the last one made.
    auto finish = [&](const Fit& fit) {
        out = work.values;
        if (statistics) {
            *statistics = fit.statistics;
            statistics->fits = fits;
        }
        return true;
    };
    if (smoothError == 0.0) return finish(fitAt(0.0));

    // Bracket the first minimum of the criterion downhill from p = 1/EL.
    double r1 = 1.0 / basis.el, r2 = kRatio * r1;
    Fit f2 = fitAt(r2);
    Fit f1 = fitAt(r1);
    while (f1.criterion <= f2.criterion) {
        if (f1.clampedLow) return finish(f1);  // the interpolating limit
        r2 = r1;
        f2 = std::move(f1);
        r1 /= kRatio;
        f1 = fitAt(r1);
    }
    double r3 = kRatio * r2;
    Fit f3 = fitAt(r3);
    while (f3.criterion <= f2.criterion) {
        if (f3.clampedHigh) return finish(f3);  // the least-squares polynomial limit
        r2 = r3;
        f2 = std::move(f3);
        r3 *= kRatio;
        f3 = fitAt(r3);
    }
    // Golden section on [r1, r3]; the step is divided by τ each time, not recomputed.
    r2 = r3;
    double alpha = (r2 - r1) / kTau;
    double r4 = r1 + alpha;
    r3 = r2 - alpha;
    double c3 = fitAt(r3).criterion;
    double c4 = fitAt(r4).criterion;
    auto narrow = [&] {
        const double err = (r2 - r1) / (r1 + r2);
        return err <= kTolerance || err * err + 1.0 == 1.0;
    };
    for (;;) {
        if (c3 <= c4) {
            r2 = r4;
            if (narrow()) break;
            r4 = r3;
            c4 = c3;
            alpha /= kTau;
            r3 = r2 - alpha;
            c3 = fitAt(r3).criterion;
        } else {
            r1 = r3;
            if (narrow()) break;
            r3 = r4;
            c3 = c4;
            alpha /= kTau;
            r4 = r1 + alpha;
            c4 = fitAt(r4).criterion;
        }
    }
    return finish(fitAt((r1 + r2) / 2.0));
}

bool SplineSmoothAt(const std::vector<double>& y, int halfOrder, double p, std::vector<double>& out) {
    const int n = static_cast<int>(y.size());
    if (halfOrder < 1 || n < 2 * halfOrder) return false;
    const SplineBasis basis(n, halfOrder);
    Workspace work(n, halfOrder);
    FitAt(basis, y, halfOrder, p, -1.0, work);
    out = work.values;
    return true;
}

std::vector<std::pair<double, double>> GcvCriterionCurve(const std::vector<double>& y, int halfOrder, double smoothError,
                                                         double centre) {
    const int m = halfOrder;
    const int n = static_cast<int>(y.size());
    if (m < 1 || n < 2 * m) return {};
    const SplineBasis basis(n, m);
    Workspace work(n, m);
    if (!(centre > 0)) centre = 1.0 / basis.el;
    std::vector<std::pair<double, double>> curve;
    for (int quarter = -16; quarter <= 16; ++quarter) {
        const double p = centre * std::pow(10.0, quarter / 4.0);
        curve.emplace_back(p, FitAt(basis, y, m, p, smoothError, work).criterion);
    }
    return curve;
}

std::vector<float> SplineSmooth(const std::vector<float>& series, int splineOrder, double smoothError,
                                GcvStatistics* statistics) {
    const std::vector<double> y(series.begin(), series.end());
    std::vector<double> smoothed;
    if (!GcvSmooth(y, splineOrder + 1, smoothError, smoothed, statistics)) return series;
    return std::vector<float>(smoothed.begin(), smoothed.end());
}

}  // namespace kadivo
