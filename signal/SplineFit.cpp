#include "SplineFit.h"

#include "SplineTraceMemo.h"
#include "VectorClones.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <type_traits>

namespace kadivo {

namespace {

constexpr double kEpsilon = 1e-15;

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

// Entry l of basis function j (both 1-based): its value at knot l and, where the function
// has a knot at l, its weight in the penalty.
struct BasisEntry {
    double b = 0.0, e = 0.0;
    bool penalised = false;
};

BasisEntry EntryOf(int n, int m, int j, int l) {
    const int degree = 2 * m - 1;
    // Knots of basis j from `first` (1-based) over q + 1 points; `scale` and the sign
    // convention follow the kind of function.
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
    BasisEntry entry;
    std::int64_t sum = 0;
    for (int a = 0; a <= q; ++a) {
        const std::int64_t knot = first + a;  // knot value is knot − 1, like l − 1
        const std::int64_t u = right ? l - knot : knot - l;
        const std::int64_t term = Binomial(q, a) * PositivePower(u, degree);
        sum += (q - a) % 2 ? -term : term;
    }
    entry.b = scale * static_cast<double>(sum);
    const int a = l - first;
    if (a < 0 || a > q) return entry;
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
    entry.e = e;
    entry.penalised = true;
    return entry;
}

// Lanes as one value: the arithmetic of GCC's vector types is that of each lane alone.
typedef double FourLanes __attribute__((vector_size(4 * sizeof(double))));
typedef double TwoLanes __attribute__((vector_size(2 * sizeof(double))));

template <typename V>
constexpr int kLanesOf = sizeof(V) / sizeof(double);

template <typename V>
inline __attribute__((always_inline)) V* Lanes(double* p) {
    return reinterpret_cast<V*>(p);
}

// The fits of the lanes of V at half-order M (when M is 0, m at run time). Every sum runs in
// the order a single series' fit has always taken.
template <int M, typename V>
KADIVO_VECTOR_CLONES void FitLanesOf(const SplineBasis& basis, const double* const* ys, const double* ps,
                                          double smoothError, SplineWorkspace& work, SplineFit* fits) {
    constexpr int L = kLanesOf<V>;
    const int m = M ? M : basis.m;
    const int n = basis.B.n();
    double effectiveLanes[L];
    for (int k = 0; k < L; ++k) {
        SplineFit& fit = fits[k];
        fit = SplineFit{};
        const double p = ps[k];
        effectiveLanes[k] = p;
        fit.statistics.p = p;
        if (p * basis.el < kEpsilon) {
            effectiveLanes[k] = kEpsilon / basis.el;
            fit.statistics.p = 0.0;
            fit.clampedLow = true;
        } else if (p * basis.el * kEpsilon > 1.0) {
            effectiveLanes[k] = 1.0 / (kEpsilon * basis.el);
            fit.statistics.p = effectiveLanes[k];
            fit.clampedHigh = true;
        }
    }
    V effective;
    std::memcpy(&effective, effectiveLanes, sizeof effective);
    double traces[L];
    const bool tracesKnown = RecallSplineTraces(n, m, effectiveLanes, L, traces);
    // The lanes' series, interleaved as the lanes are.
    double* y = work.y.data();
    for (int l = 1; l <= n; ++l)
        for (int k = 0; k < L; ++k) y[static_cast<std::size_t>(l - 1) * L + k] = ys[k][l - 1];
    const V* yl = Lanes<V>(y);
    // S = B + pE, factored in place: U on and above the diagonal, L (unit) below. The work
    // goes in three sweeps, each doing what needs only rows near its own, so that a sweep
    // finds them in the cache: the factors with the forward substitution (the rows of S filled
    // just before elimination reaches them), the back substitution with the band of the
    // inverse, then the residuals with the trace. Known traces spare the inverse.
    Band& s = work.s;
    auto S = [&](int row) { return Lanes<V>(s.Row(row)); };
    auto fill = [&](int i) {
        V* si = S(i);
        const double* bi = basis.B.Row(i);
        const double* ei = basis.E.Row(i);
        for (int d = s.first(i) - i; d <= s.last(i) - i; ++d) si[d] = bi[d] + effective * ei[d];
    };
    for (int i = 1; i <= std::min(n, m); ++i) fill(i);
    // c[i] is the lanes' coefficient of basis i.
    V* c = Lanes<V>(work.c.data());
    // A row at least m from either end reaches a whole band of neighbours: its loops then run
    // a count known when compiled (for a fixed M) and unroll. The ends take the same steps in
    // the same order, bounded at run time. The steps are always inlined, so that they are built
    // for the clone's processor too.
    auto from = [](int first, auto inside) __attribute__((always_inline)) {
        return decltype(inside)::value ? first : std::max(1, first);
    };
    auto upTo = [n](int last, auto inside) __attribute__((always_inline)) {
        return decltype(inside)::value ? last : std::min(n, last);
    };
    auto forwardStep = [&](int i, auto inside) __attribute__((always_inline)) {
        if (i + m <= n) fill(i + m);
        V* si = S(i);
        // Row i of L is complete: the forward substitution's step i.
        V forward = yl[i - 1];
        for (int h = from(i - m, inside); h < i; ++h) forward -= si[h - i] * c[h];
        c[i] = forward;
        const int last = upTo(i + m, inside);
        for (int col = i; col <= last; ++col) {
            V sum = si[col - i];
            for (int h = from(col - m, inside); h < i; ++h) sum -= si[h - i] * S(h)[col - h];
            si[col - i] = sum;
        }
        for (int row = i + 1; row <= last; ++row) {
            V* sr = S(row);
            V sum = sr[i - row];
            for (int h = from(row - m, inside); h < i; ++h) sum -= sr[h - row] * S(h)[i - h];
            sr[i - row] = sum / si[0];
        }
    };
    for (int i = 1; i <= n; ++i) {
        if (i > m && i + m <= n) forwardStep(i, std::true_type{});
        else forwardStep(i, std::false_type{});
    }
    // Back substitution, and the central band of Z = S⁻¹ from the factors (Erisman–Tinney),
    // both from the last row up.
    Band& z = work.z;
    auto Z = [&](int row) { return Lanes<V>(z.Row(row)); };
    auto backStep = [&](int i, auto inside, auto withInverse) __attribute__((always_inline)) {
        const V* si = S(i);
        const int last = upTo(i + m, inside);
        V back = c[i];
        for (int col = i + 1; col <= last; ++col) back -= si[col - i] * c[col];
        c[i] = back / si[0];
        if constexpr (!decltype(withInverse)::value) return;

        const int h = last - i;
        V* zi = Z(i);
        const V inverseD = 1.0 / si[0];
        // Row i of U scaled by the pivot's inverse, and column i of L, for r = i + 1 .. i + h.
        V scaled[kMaxHalfOrder], column[kMaxHalfOrder];
        for (int r = 1; r <= h; ++r) {
            scaled[r - 1] = si[r] * inverseD;
            column[r - 1] = S(i + r)[-r];
        }
        for (int j = i + 1; j <= i + h; ++j) {
            V* zj = Z(j);
            V upper = {}, lower = {};
            for (int r = i + 1; r <= i + h; ++r) {
                upper += scaled[r - i - 1] * Z(r)[j - r];
                lower += zj[r - j] * column[r - i - 1];
            }
            zi[j - i] = -upper;
            zj[i - j] = -lower;
        }
        V upper = inverseD, lower = inverseD;
        for (int r = i + 1; r <= i + h; ++r) {
            upper -= scaled[r - i - 1] * Z(r)[i - r];
            lower -= zi[r - i] * column[r - i - 1];
        }
        zi[0] = 0.5 * (upper + lower);
    };
    auto backSweep = [&](auto withInverse) __attribute__((always_inline)) {
        for (int i = n; i >= 1; --i) {
            if (i + m <= n) backStep(i, std::true_type{}, withInverse);
            else backStep(i, std::false_type{}, withInverse);
        }
    };
    if (tracesKnown) backSweep(std::false_type{});
    else backSweep(std::true_type{});
    V squares = {}, trace = {};
    V* values = Lanes<V>(work.values.data());
    auto residualStep = [&](int l, auto inside, auto withTrace) __attribute__((always_inline)) {
        const double* bl = basis.B.Row(l);
        V value = {};
        const int last = upTo(l + m - 1, inside);
        for (int j = from(l - m + 1, inside); j <= last; ++j) value += bl[j - l] * c[j];
        values[l - 1] = value;
        const V residual = value - yl[l - 1];
        squares += residual * residual;
        if constexpr (!decltype(withTrace)::value) return;
        const double* el = basis.E.Row(l);
        const int zLast = upTo(l + m, inside);
        for (int j = from(l - m, inside); j <= zLast; ++j) trace += el[j - l] * Z(j)[l - j];
    };
    auto residualSweep = [&](auto withTrace) __attribute__((always_inline)) {
        for (int l = 1; l <= n; ++l) {
            if (l > m && l + m <= n) residualStep(l, std::true_type{}, withTrace);
            else residualStep(l, std::false_type{}, withTrace);
        }
    };
    if (tracesKnown) {
        residualSweep(std::false_type{});
    } else {
        residualSweep(std::true_type{});
        trace *= effective;
        std::memcpy(traces, &trace, sizeof traces);
        RememberSplineTraces(n, m, effectiveLanes, L, traces);
    }
    double squareSums[L];
    std::memcpy(squareSums, &squares, sizeof squareSums);
    for (int k = 0; k < L; ++k) {
        GcvStatistics& st = fits[k].statistics;
        st.meanSquaredResidual = squareSums[k] / n;
        st.trace = traces[k];
        const double t = st.trace / n;
        st.variance = st.meanSquaredResidual / t;
        st.gcv = st.variance / t;
        st.estimatedError = smoothError > 0.0 ? st.meanSquaredResidual - smoothError * (2.0 * t - 1.0)
                                              : st.variance - st.meanSquaredResidual;
        fits[k].criterion = smoothError > 0.0 ? st.estimatedError : st.gcv;
    }
}

template <typename V>
void FitLanesAtOrder(const SplineBasis& basis, const double* const* ys, const double* ps, double smoothError,
                     SplineWorkspace& work, SplineFit* fits) {
    switch (basis.m) {
    case 1: return FitLanesOf<1, V>(basis, ys, ps, smoothError, work, fits);
    case 2: return FitLanesOf<2, V>(basis, ys, ps, smoothError, work, fits);
    case 3: return FitLanesOf<3, V>(basis, ys, ps, smoothError, work, fits);
    case 4: return FitLanesOf<4, V>(basis, ys, ps, smoothError, work, fits);
    default: return FitLanesOf<0, V>(basis, ys, ps, smoothError, work, fits);
    }
}

}  // namespace

double Band::AbsoluteSum() const {
    double sum = 0.0;
    for (std::size_t i = 0; i < values_.size(); ++i) sum += std::fabs(values_.data()[i]);
    return sum;
}

// The interior columns are shifts of one another, so one of them is worked out for all.
SplineBasis::SplineBasis(int n, int halfOrder) : B(n, halfOrder), E(n, halfOrder), m(halfOrder) {
    std::vector<BasisEntry> interior;
    for (int j = 1; j <= n; ++j) {
        const bool shifted = j > m && j <= n - m;
        if (shifted && interior.empty())
            for (int l = j - m; l <= j + m; ++l) interior.push_back(EntryOf(n, m, j, l));
        for (int l = std::max(1, j - m); l <= std::min(n, j + m); ++l) {
            const BasisEntry entry = shifted ? interior[static_cast<std::size_t>(l - j + m)] : EntryOf(n, m, j, l);
            B(l, j) = entry.b;
            if (entry.penalised) E(l, j) = entry.e;
        }
    }
    el = E.AbsoluteSum() / B.AbsoluteSum();
}

SplineWorkspace::SplineWorkspace(int n, int m, int laneCount)
    : lanes(laneCount), s(n, m, laneCount), z(n, m, laneCount),
      c((static_cast<std::size_t>(n) + 1) * laneCount), values(static_cast<std::size_t>(n) * laneCount),
      y(static_cast<std::size_t>(n) * laneCount) {}

void FitLanes(const SplineBasis& basis, const double* const* ys, const double* ps, double smoothError,
              SplineWorkspace& work, SplineFit* fits) {
    switch (work.lanes) {
    case 1: return FitLanesAtOrder<double>(basis, ys, ps, smoothError, work, fits);
    case 2: return FitLanesAtOrder<TwoLanes>(basis, ys, ps, smoothError, work, fits);
    case 4: return FitLanesAtOrder<FourLanes>(basis, ys, ps, smoothError, work, fits);
    default: throw std::invalid_argument("spline fits run one, two or four lanes");
    }
}

}  // namespace kadivo
