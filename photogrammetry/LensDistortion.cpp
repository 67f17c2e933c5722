#include "LensDistortion.h"

#include <cmath>

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

Distortion Distort(const LensModel& l, Normalized p) {
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

}  // namespace kadivo
