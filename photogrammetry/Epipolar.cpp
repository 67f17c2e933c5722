#include "Epipolar.h"

#include "CDltCalibration.h"
#include "Matrix.h"
#include "MatrixToolkit.h"
#include "Reconstruction.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kadivo {

namespace {

using Vector3 = std::array<double, 3>;

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The homogeneous image of a homogeneous world point through view `view`.
Vector3 Project(const DltParameterTable& t, int view, const std::array<double, 4>& x) {
    auto l = [&](int j) { return t.GetParameter(j, view); };
    return {l(1) * x[0] + l(2) * x[1] + l(3) * x[2] + l(4) * x[3], l(5) * x[0] + l(6) * x[1] + l(7) * x[2] + l(8) * x[3],
            l(9) * x[0] + l(10) * x[1] + l(11) * x[2] + x[3]};
}

bool Spatial(const DltParameterTable& t, int view) {
    return t.parameterCount == 11 && view >= 1 && view <= t.viewCount;
}

}  // namespace

double ImageLine::Distance(double x, double y) const {
    const double norm = std::hypot(a, b);
    return norm > 0.0 ? std::abs(a * x + b * y + c) / norm : std::numeric_limits<double>::infinity();
}

std::optional<ImageLine> EpipolarLine(const DltParameterTable& t, int from, double u, double v, int to) {
    if (!Spatial(t, from) || !Spatial(t, to) || from == to) return std::nullopt;
    auto l = [&](int j) { return t.GetParameter(j, from); };
    // The ray of (u, v) is where two planes meet: n1·X = d1 and n2·X = d2.
    const Vector3 n1{l(1) - u * l(9), l(2) - u * l(10), l(3) - u * l(11)};
    const Vector3 n2{l(5) - v * l(9), l(6) - v * l(10), l(7) - v * l(11)};
    const double d1 = u - l(4), d2 = v - l(8);
    const Vector3 direction = Cross(n1, n2);
    // A point of the ray: the coordinate along which the ray runs most is set to 0 and the
    // other two solved from the two planes.
    const std::size_t k = static_cast<std::size_t>(
        std::max_element(direction.begin(), direction.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }) -
        direction.begin());
    if (std::abs(direction[k]) < 1e-12) return std::nullopt;
    const std::size_t i = (k + 1) % 3, j = (k + 2) % 3;
    const double det = n1[i] * n2[j] - n1[j] * n2[i];
    std::array<double, 4> point{0, 0, 0, 1};
    point[i] = (d1 * n2[j] - d2 * n1[j]) / det;
    point[j] = (n1[i] * d2 - n2[i] * d1) / det;
    // The line through the images of that point and of the ray's point at infinity.
    const Vector3 line = Cross(Project(t, to, point), Project(t, to, {direction[0], direction[1], direction[2], 0.0}));
    if (std::hypot(line[0], line[1]) < 1e-12) return std::nullopt;
    return ImageLine{line[0], line[1], line[2]};
}

std::optional<std::pair<ImagePointD, ImagePointD>> ClipToFrame(const ImageLine& line, double width, double height) {
    std::vector<ImagePointD> hits;
    auto add = [&](double x, double y) {
        const double slack = 1e-9 * std::max(width, height);
        if (x < -slack || x > width + slack || y < -slack || y > height + slack) return;
        for (const ImagePointD& h : hits)
            if (std::abs(h.x - x) < 1e-9 && std::abs(h.y - y) < 1e-9) return;
        hits.push_back({std::clamp(x, 0.0, width), std::clamp(y, 0.0, height)});
    };
    if (std::abs(line.b) > 1e-12) {
        add(0.0, -line.c / line.b);
        add(width, -(line.a * width + line.c) / line.b);
    }
    if (std::abs(line.a) > 1e-12) {
        add(-line.c / line.a, 0.0);
        add(-(line.b * height + line.c) / line.a, height);
    }
    if (hits.size() < 2) return std::nullopt;
    // The two hits farthest apart span the segment.
    std::pair<ImagePointD, ImagePointD> best{hits[0], hits[1]};
    double longest = -1.0;
    for (std::size_t p = 0; p < hits.size(); ++p)
        for (std::size_t q = p + 1; q < hits.size(); ++q) {
            const double d = std::hypot(hits[p].x - hits[q].x, hits[p].y - hits[q].y);
            if (d > longest) {
                longest = d;
                best = {hits[p], hits[q]};
            }
        }
    return best;
}

std::optional<double> ReconstructionResidual(const DltParameterTable& t, const std::vector<ViewObservation>& seen, bool exact) {
    std::vector<ViewImagePoints> images;
    std::vector<int> rows;
    for (const ViewObservation& o : seen) {
        if (!Spatial(t, o.view)) continue;
        images.push_back({PhotogrammetryPosition(o.position, exact)});
        rows.push_back(o.view);
    }
    if (images.size() < 2) return std::nullopt;
    std::vector<const ViewImagePoints*> pointers;
    for (const ViewImagePoints& image : images) pointers.push_back(&image);
    Point3 world{};
    Reconstruct3D(t, pointers, rows, &world, 1);
    if (world == kMissingWorldPoint) return std::nullopt;
    double worst = 0.0;
    for (std::size_t k = 0; k < images.size(); ++k) {
        const auto [u, v] = ProjectDlt(t, rows[k], world);
        worst = std::max(worst, std::hypot(u - images[k][0].x, v - images[k][0].y));
    }
    return worst;
}

}  // namespace kadivo
