#pragma once

#include "GcvSpline.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kadivo {

// The highest half-order the fits take (their band's rows live on the stack).
inline constexpr int kMaxHalfOrder = 16;

// Whether a series of n values can be smoothed at half-order m.
inline bool SplineTakes(int m, int n) { return m >= 1 && m <= kMaxHalfOrder && n >= 2 * m; }

// Doubles from an address a multiple of 32 bytes, where four lanes load as one.
class AlignedDoubles {
public:
    explicit AlignedDoubles(std::size_t count) : storage_(count + kSpare, 0.0) {
        const auto address = reinterpret_cast<std::uintptr_t>(storage_.data());
        start_ = storage_.data() + (kAlignment - address % kAlignment) % kAlignment / sizeof(double);
    }
    AlignedDoubles(const AlignedDoubles&) = delete;
    AlignedDoubles& operator=(const AlignedDoubles&) = delete;
    double* data() { return start_; }
    const double* data() const { return start_; }
    std::size_t size() const { return storage_.size() - kSpare; }

private:
    static constexpr std::size_t kAlignment = 32;
    static constexpr std::size_t kSpare = kAlignment / sizeof(double);
    std::vector<double> storage_;
    double* start_;
};

// A band matrix of n rows with entries at columns row−width..row+width (1-based) for each
// of `lanes` matrices of the same shape, stored a row after another with the lanes of an
// entry side by side: Row(i)[d · lanes + k] is lane k's entry at column i + d.
class Band {
public:
    Band(int n, int width, int lanes = 1)
        : n_(n), width_(width), lanes_(lanes), values_(static_cast<std::size_t>(n) * (2 * width + 1) * lanes) {}
    double* Row(int row) {
        return values_.data() + (static_cast<std::size_t>(row - 1) * (2 * width_ + 1) + width_) * lanes_;
    }
    const double* Row(int row) const { return const_cast<Band&>(*this).Row(row); }
    double& operator()(int row, int column) { return Row(row)[(column - row) * lanes_]; }
    double operator()(int row, int column) const { return Row(row)[(column - row) * lanes_]; }
    int n() const { return n_; }
    int width() const { return width_; }
    int first(int row) const { return row - width_ > 1 ? row - width_ : 1; }
    int last(int row) const { return row + width_ < n_ ? row + width_ : n_; }
    double AbsoluteSum() const;

private:
    int n_, width_, lanes_;
    AlignedDoubles values_;
};

// The collocation matrix B (values of the natural-spline basis of degree 2M−1 at the knots
// 0..n−1) and the penalty matrix E (jumps of the (2M−1)-th derivative), both exact for unit
// spacing.
struct SplineBasis {
    SplineBasis(int n, int m);

    Band B;
    Band E;
    int m;
    double el = 0.0;  // scale of the penalty relative to the collocation
};

struct SplineFit {
    double criterion = 0.0;
    bool clampedLow = false;
    bool clampedHigh = false;
    GcvStatistics statistics;
};

// Storage the fits of `lanes` (1, 2 or 4) series of one length reuse; lane k's spline values of the last
// fit are values[(l − 1) · lanes + k].
struct SplineWorkspace {
    SplineWorkspace(int n, int m, int lanes);
    int lanes;
    Band s, z;
    AlignedDoubles c, values, y;
};

// One fit of each lane: series ys[k] (the basis's length) at smoothing parameter ps[k],
// into fits[k]. Solves (B + pE)c = y by band LU without pivoting, then the residuals and,
// from the band of the inverse, the trace of I − A (unless the traces at the lanes' parameters
// are remembered from an earlier fit). A lane computes exactly what it would alone: the lanes
// only share the instructions, which keeps a core's units busy on chains that would
// otherwise wait on one another. The fit waits on those chains: four lanes take hardly longer
// than one.
void FitLanes(const SplineBasis& basis, const double* const* ys, const double* ps, double smoothError,
              SplineWorkspace& work, SplineFit* fits);

}  // namespace kadivo
