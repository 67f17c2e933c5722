#include "LensDistortion.h"

#include <cmath>
#include <limits>
#include <mutex>

namespace kadivo {

namespace {

struct Normalized {
    double x = 0.0, y = 0.0;
};

// The distorted normalized point and the Jacobian of the distortion at (x, y).
struct Distortion {
    Normalized at;
    double dxdx = 1.0, dxdy = 0.0, dydx = 0.0, dydy = 1.0;
};

inline Distortion Distort(const LensModel& l, Normalized p) {
    const double x = p.x, y = p.y, r2 = x * x + y * y;
    const double radial = 1.0 + r2 * (l.k1 + r2 * (l.k2 + r2 * l.k3));
    const double radialSlope = 2.0 * l.k1 + r2 * (4.0 * l.k2 + r2 * 6.0 * l.k3);  // d radial / d(r²) · 2
    Distortion d;
    d.at.x = x * radial + 2.0 * l.p1 * x * y + l.p2 * (r2 + 2.0 * x * x);
    d.at.y = y * radial + l.p1 * (r2 + 2.0 * y * y) + 2.0 * l.p2 * x * y;
    d.dxdx = radial + radialSlope * x * x + 2.0 * l.p1 * y + 6.0 * l.p2 * x;
    d.dxdy = radialSlope * x * y + 2.0 * l.p1 * x + 2.0 * l.p2 * y;
    d.dydx = radialSlope * x * y + 2.0 * l.p1 * x + 2.0 * l.p2 * y;
    d.dydy = radial + radialSlope * y * y + 6.0 * l.p1 * y + 2.0 * l.p2 * x;
    return d;
}

}  // namespace

PicturePoint DistortPicturePoint(const LensModel& lens, PicturePoint ideal) {
    const Normalized n{(ideal.u - lens.cx) / lens.fx, (ideal.v - lens.cy) / lens.fy};
    const Normalized d = Distort(lens, n).at;
    return {lens.cx + lens.fx * d.x, lens.cy + lens.fy * d.y};
}

std::optional<PicturePoint> UndistortPicturePoint(const LensModel& lens, PicturePoint seen) {
    const Normalized target{(seen.u - lens.cx) / lens.fx, (seen.v - lens.cy) / lens.fy};
    // A millionth of a pixel, in normalized units.
    const double tolerance = 1e-6 / std::max(lens.fx, lens.fy);
    Normalized p = target;
    double error = 0.0;
    for (int iteration = 0; iteration < 100; ++iteration) {
        const Distortion d = Distort(lens, p);
        const double ex = d.at.x - target.x, ey = d.at.y - target.y;
        error = std::hypot(ex, ey);
        if (error <= tolerance) break;
        const double det = d.dxdx * d.dydy - d.dxdy * d.dydx;
        // Beyond the fold the model shows two ideal points at one place: no inverse there.
        if (!(det > 0.0)) return std::nullopt;
        double sx = (d.dydy * ex - d.dxdy * ey) / det, sy = (d.dxdx * ey - d.dydx * ex) / det;
        // Halve a step that would not reduce the error; Newton's full step is taken near the root.
        for (int halving = 0; halving < 30; ++halving) {
            const Normalized next{p.x - sx, p.y - sy};
            const Normalized at = Distort(lens, next).at;
            if (std::hypot(at.x - target.x, at.y - target.y) < error) break;
            sx *= 0.5;
            sy *= 0.5;
        }
        p = {p.x - sx, p.y - sy};
    }
    if (!(error <= tolerance)) return std::nullopt;
    const Distortion settled = Distort(lens, p);
    if (!(settled.dxdx * settled.dydy - settled.dxdy * settled.dydx > 0.0)) return std::nullopt;
    return PicturePoint{lens.cx + lens.fx * p.x, lens.cy + lens.fy * p.y};
}

LensCorrection::LensCorrection(const LensModel& lens) : lens_(lens) {
    // One node beyond the picture's far edges, so that every position inside has four.
    columns_ = std::max(lens.width, 1) / kSpacing + 2;
    rows_ = std::max(lens.height, 1) / kSpacing + 2;
    ideal_.resize(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_));
    std::vector<bool> solved(ideal_.size(), false);
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < columns_; ++c) {
            const auto at = static_cast<std::size_t>(r * columns_ + c);
            const std::optional<PicturePoint> ideal =
                UndistortPicturePoint(lens, {static_cast<double>(c * kSpacing), static_cast<double>(r * kSpacing)});
            solved[at] = ideal.has_value();
            ideal_[at] = ideal.value_or(PicturePoint{});
        }
    // A cell is fast where its four nodes are solved and the grid's step lands on the exact
    // inverse at the cell's middle and the middles of its sides, where bilinear guesses are worst.
    fast_.assign(static_cast<std::size_t>((columns_ - 1) * (rows_ - 1)), 0);
    for (int r = 0; r + 1 < rows_; ++r)
        for (int c = 0; c + 1 < columns_; ++c) {
            const auto node = static_cast<std::size_t>(r * columns_ + c);
            if (!solved[node] || !solved[node + 1] || !solved[node + static_cast<std::size_t>(columns_)] ||
                !solved[node + static_cast<std::size_t>(columns_) + 1])
                continue;
            bool exact = true;
            for (const auto& [du, dv] : {std::pair{0.5, 0.5}, std::pair{0.5, 0.0}, std::pair{0.0, 0.5}, std::pair{1.0, 0.5}, std::pair{0.5, 1.0}}) {
                const PicturePoint seen{(c + du) * kSpacing, (r + dv) * kSpacing};
                const std::optional<PicturePoint> quick = FromGrid(seen, c, r), full = UndistortPicturePoint(lens, seen);
                exact = exact && quick && full && std::hypot(quick->u - full->u, quick->v - full->v) < 1e-4;
            }
            fast_[static_cast<std::size_t>(r * (columns_ - 1) + c)] = exact ? 1 : 0;
        }
}

std::optional<PicturePoint> LensCorrection::FromGrid(PicturePoint seen, int c, int r) const {
    constexpr double kPerPixel = 1.0 / kSpacing;
    const double fu = seen.u * kPerPixel - c, fv = seen.v * kPerPixel - r;
    const auto node = static_cast<std::size_t>(r * columns_ + c);
    const PicturePoint& a = ideal_[node];
    const PicturePoint& b = ideal_[node + 1];
    const PicturePoint& d = ideal_[node + static_cast<std::size_t>(columns_)];
    const PicturePoint& e = ideal_[node + static_cast<std::size_t>(columns_) + 1];
    // The guess, and the grid's slope of the ideal point against the seen one.
    const double gu = (1 - fv) * ((1 - fu) * a.u + fu * b.u) + fv * ((1 - fu) * d.u + fu * e.u);
    const double gv = (1 - fv) * ((1 - fu) * a.v + fu * b.v) + fv * ((1 - fu) * d.v + fu * e.v);
    const double uu = ((1 - fv) * (b.u - a.u) + fv * (e.u - d.u)) * kPerPixel, uv = ((1 - fu) * (d.u - a.u) + fu * (e.u - b.u)) * kPerPixel;
    const double vu = ((1 - fv) * (b.v - a.v) + fv * (e.v - d.v)) * kPerPixel, vv = ((1 - fu) * (d.v - a.v) + fu * (e.v - b.v)) * kPerPixel;
    const PicturePoint shown = DistortPicturePoint(lens_, {gu, gv});
    const double ru = shown.u - seen.u, rv = shown.v - seen.v;
    return PicturePoint{gu - (uu * ru + uv * rv), gv - (vu * ru + vv * rv)};
}

std::optional<PicturePoint> LensCorrection::Undistort(PicturePoint seen) const {
    constexpr double kPerPixel = 1.0 / kSpacing;
    const double gu = seen.u * kPerPixel, gv = seen.v * kPerPixel;
    if (!(gu >= 0.0 && gv >= 0.0)) return UndistortPicturePoint(lens_, seen);
    const int c = static_cast<int>(gu), r = static_cast<int>(gv);
    if (c + 1 >= columns_ || r + 1 >= rows_ || !fast_[static_cast<std::size_t>(r * (columns_ - 1) + c)])
        return UndistortPicturePoint(lens_, seen);
    return FromGrid(seen, c, r);
}

std::shared_ptr<const LensCorrection> CorrectionFor(const LensModel& lens) {
    static std::mutex guard;
    static std::vector<std::shared_ptr<const LensCorrection>> kept;
    const std::lock_guard lock(guard);
    for (const auto& correction : kept)
        if (correction->lens() == lens) return correction;
    auto made = std::make_shared<const LensCorrection>(lens);
    if (kept.size() >= 8) kept.erase(kept.begin());
    kept.push_back(made);
    return made;
}

}  // namespace kadivo
