#include "ExtendedDlt.h"

#include "LensDistortion.h"
#include "Matrix.h"
#include "MatrixToolkit.h"

#include <cmath>

namespace kadivo {

namespace {

struct Problem {
    std::vector<ImagePoint> seen;
    std::vector<Point3> world;
    bool spatial = true;
    LensTerms terms = LensTerms::Radial;
    FrameSize picture;
    int dltCount() const { return spatial ? 11 : 8; }
    int unknowns() const { return ExtendedDltUnknowns(spatial, terms); }
};

// The lens that the unknowns describe; nothing when the DLT part is no camera.
std::optional<LensModel> LensOf(const Problem& problem, const std::vector<double>& t) {
    LensModel lens;
    lens.width = problem.picture.width;
    lens.height = problem.picture.height;
    lens.source = LensSource::ControlPoints;
    if (problem.spatial) {
        // The principal point and focal lengths of the DLT, in digitized coordinates (y up).
        const double n2 = t[8] * t[8] + t[9] * t[9] + t[10] * t[10];
        if (!(n2 > 0.0)) return std::nullopt;
        const double u0 = (t[0] * t[8] + t[1] * t[9] + t[2] * t[10]) / n2;
        const double v0 = (t[4] * t[8] + t[5] * t[9] + t[6] * t[10]) / n2;
        const double fu2 = (t[0] * t[0] + t[1] * t[1] + t[2] * t[2]) / n2 - u0 * u0;
        const double fv2 = (t[4] * t[4] + t[5] * t[5] + t[6] * t[6]) / n2 - v0 * v0;
        if (!(fu2 > 0.0 && fv2 > 0.0)) return std::nullopt;
        lens.fx = std::sqrt(fu2);
        lens.fy = std::sqrt(fv2);
        lens.cx = u0;
        lens.cy = lens.height - v0;
    } else {
        lens.cx = lens.width / 2.0;
        lens.cy = lens.height / 2.0;
        lens.fx = lens.fy = std::hypot(lens.width, lens.height) / 2.0;
    }
    const int d = problem.dltCount();
    lens.k1 = t[static_cast<std::size_t>(d)];
    lens.k2 = t[static_cast<std::size_t>(d + 1)];
    if (problem.terms == LensTerms::RadialAndTangential) {
        lens.p1 = t[static_cast<std::size_t>(d + 2)];
        lens.p2 = t[static_cast<std::size_t>(d + 3)];
    }
    return lens;
}

ImagePoint Project(const Problem& problem, const std::vector<double>& t, const Point3& w) {
    if (problem.spatial) {
        const double d = t[8] * w.x + t[9] * w.y + t[10] * w.z + 1.0;
        return {(t[0] * w.x + t[1] * w.y + t[2] * w.z + t[3]) / d, (t[4] * w.x + t[5] * w.y + t[6] * w.z + t[7]) / d};
    }
    const double d = t[6] * w.x + t[7] * w.y + 1.0;
    return {(t[0] * w.x + t[1] * w.y + t[2]) / d, (t[3] * w.x + t[4] * w.y + t[5]) / d};
}

// The reprojection errors through the distorting lens, two a point; empty when the unknowns
// are no camera.
std::vector<double> Residuals(const Problem& problem, const std::vector<double>& t) {
    const std::optional<LensModel> lens = LensOf(problem, t);
    if (!lens) return {};
    std::vector<double> r;
    for (std::size_t i = 0; i < problem.seen.size(); ++i) {
        const ImagePoint ideal = Project(problem, t, problem.world[i]);
        const ImagePoint shown = PositionOfPicture(*lens, DistortPicturePoint(*lens, PictureOfPosition(*lens, ideal)));
        r.push_back(shown.x - problem.seen[i].x);
        r.push_back(shown.y - problem.seen[i].y);
    }
    for (double value : r)
        if (!std::isfinite(value)) return {};
    return r;
}

double SumOfSquares(const std::vector<double>& r) {
    double sum = 0.0;
    for (double value : r) sum += value * value;
    return sum;
}

// The plain DLT of the points, the starting guess.
std::vector<double> PlainDlt(const Problem& problem) {
    DltParameterTable table;
    std::vector<std::vector<ImagePoint>> views{problem.seen};
    // A spatial calibration of one view is solved as one of two identical views.
    if (problem.spatial) views.push_back(problem.seen);
    CDltCalibration(table).Calibrate(views, problem.world, static_cast<int>(problem.world.size()), static_cast<int>(views.size()));
    std::vector<double> t(static_cast<std::size_t>(problem.unknowns()), 0.0);
    for (int j = 1; j <= problem.dltCount(); ++j) t[static_cast<std::size_t>(j - 1)] = table.GetParameter(j, 1);
    return t;
}

// Levenberg–Marquardt with a central-difference Jacobian whose columns are scaled to unit
// length, so that the DLT's parameters of very different sizes and the small lens
// coefficients are stepped alike.
std::optional<std::vector<double>> Minimise(const Problem& problem, std::vector<double> t) {
    const int p = problem.unknowns();
    std::vector<double> r = Residuals(problem, t);
    if (r.empty()) return std::nullopt;
    const int m = static_cast<int>(r.size());
    double cost = SumOfSquares(r);
    double lambda = 1e-3;
    Matrix jacobian(m, p);
    for (int iteration = 0; iteration < 200 && cost > 1e-24 * m; ++iteration) {
        std::vector<double> scale(static_cast<std::size_t>(p), 1.0);
        for (int j = 0; j < p; ++j) {
            const auto sj = static_cast<std::size_t>(j);
            const double h = 1e-7 * std::max(std::abs(t[sj]), j < problem.dltCount() ? 1e-6 : 1.0);
            std::vector<double> plus = t, minus = t;
            plus[sj] += h;
            minus[sj] -= h;
            const std::vector<double> rp = Residuals(problem, plus), rm = Residuals(problem, minus);
            if (rp.empty() || rm.empty()) return std::nullopt;
            double norm = 0.0;
            for (int i = 0; i < m; ++i) {
                const double value = (rp[static_cast<std::size_t>(i)] - rm[static_cast<std::size_t>(i)]) / (2.0 * h);
                jacobian(i + 1, j + 1) = value;
                norm += value * value;
            }
            if (norm > 0.0) scale[sj] = std::sqrt(norm);
        }
        bool improved = false;
        while (!improved && lambda < 1e12) {
            Matrix a(m + p, p), b(m + p, 1), x(p, 1);
            for (int i = 1; i <= m; ++i) {
                for (int j = 1; j <= p; ++j) a(i, j) = jacobian(i, j) / scale[static_cast<std::size_t>(j - 1)];
                b(i, 1) = -r[static_cast<std::size_t>(i - 1)];
            }
            for (int j = 1; j <= p; ++j) a(m + j, j) = std::sqrt(lambda);
            SolveLeastSquares(a, m + p, p, b, x);
            std::vector<double> next = t;
            for (int j = 0; j < p; ++j) next[static_cast<std::size_t>(j)] += x(j + 1, 1) / scale[static_cast<std::size_t>(j)];
            const std::vector<double> rn = Residuals(problem, next);
            const double nextCost = rn.empty() ? HUGE_VAL : SumOfSquares(rn);
            if (nextCost < cost) {
                const bool settled = cost - nextCost <= 1e-14 * cost;
                t = std::move(next);
                r = rn;
                cost = nextCost;
                lambda = std::max(lambda / 3.0, 1e-12);
                improved = true;
                if (settled) return t;
            } else {
                lambda *= 4.0;
            }
        }
        if (!improved) break;
    }
    return t;
}

}  // namespace

int ExtendedDltUnknowns(bool spatial, LensTerms terms) {
    return (spatial ? 11 : 8) + (terms == LensTerms::RadialAndTangential ? 4 : 2);
}

int ExtendedDltPointsNeeded(bool spatial, LensTerms terms) { return ExtendedDltUnknowns(spatial, terms) / 2 + 1; }

std::optional<LensModel> SolveLensFromControlPoints(const std::vector<ImagePoint>& seen, const std::vector<Point3>& world,
                                                    int pointCount, bool spatial, LensTerms terms, FrameSize picture) {
    if (picture.width <= 0 || picture.height <= 0) return std::nullopt;
    Problem problem;
    problem.spatial = spatial;
    problem.terms = terms;
    problem.picture = picture;
    for (int i = 0; i < pointCount && i < static_cast<int>(seen.size()) && i < static_cast<int>(world.size()); ++i) {
        if (seen[static_cast<std::size_t>(i)].x == -1) continue;
        problem.seen.push_back(seen[static_cast<std::size_t>(i)]);
        problem.world.push_back(world[static_cast<std::size_t>(i)]);
    }
    if (static_cast<int>(problem.seen.size()) < ExtendedDltPointsNeeded(spatial, terms)) return std::nullopt;
    const std::optional<std::vector<double>> solved = Minimise(problem, PlainDlt(problem));
    if (!solved) return std::nullopt;
    std::optional<LensModel> lens = LensOf(problem, *solved);
    if (!lens || !LensModelIsUsable(*lens)) return std::nullopt;
    return lens;
}

}  // namespace kadivo
