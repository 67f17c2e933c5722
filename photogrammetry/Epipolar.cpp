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

std::vector<ImagePointD> EpipolarCurve(const DltParameterTable& t, int from, Point2f seen, int to,
                                       const std::vector<ViewPositions>& positions, double width, double height) {
    if (from < 1 || to < 1 || from > static_cast<int>(positions.size()) || to > static_cast<int>(positions.size())) return {};
    const ImagePoint taken = positions[static_cast<std::size_t>(from - 1)].Taken(seen);
    if (taken.x == -1) return {};
    const std::optional<ImageLine> line = EpipolarLine(t, from, taken.x, taken.y, to);
    if (!line) return {};
    const ViewPositions& target = positions[static_cast<std::size_t>(to - 1)];
    if (!target.HasLens()) {
        const auto clipped = ClipToFrame(*line, width, height);
        if (!clipped) return {};
        return {clipped->first, clipped->second};
    }
    // The ideal line over a region three times the frame each way (a barrel lens shows more
    // than an ideal camera of the same focal length), sampled and carried through the lens.
    // A sample beyond the lens's fold would land in the picture as well; only samples that
    // the correction takes back to where they came from are kept.
    const auto wide = ClipToFrame({line->a, line->b, line->c - line->a * width - line->b * height}, 3.0 * width, 3.0 * height);
    if (!wide) return {};
    const ImagePointD a{wide->first.x - width, wide->first.y - height}, b{wide->second.x - width, wide->second.y - height};
    constexpr int kSamples = 1200;
    std::vector<ImagePointD> run, longest;
    for (int s = 0; s <= kSamples; ++s) {
        const double f = static_cast<double>(s) / kSamples;
        const ImagePoint ideal{a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)};
        const ImagePoint shown = target.InPicture(ideal);
        const bool inside = shown.x >= 0.0 && shown.x <= width && shown.y >= 0.0 && shown.y <= height;
        bool unique = false;
        if (inside) {
            const std::optional<ImagePoint> back = target.Ideal(shown);
            unique = back && std::hypot(back->x - ideal.x, back->y - ideal.y) < 0.05;
        }
        if (inside && unique) {
            run.push_back({shown.x, shown.y});
            continue;
        }
        if (run.size() > longest.size()) longest = run;
        run.clear();
    }
    if (run.size() > longest.size()) longest = run;
    if (longest.size() < 2) return {};
    return longest;
}

std::optional<double> ReconstructionResidual(const DltParameterTable& t, const std::vector<ViewObservation>& seen,
                                             const std::vector<ViewPositions>& positions) {
    std::vector<ViewImagePoints> images;
    std::vector<int> rows;
    std::vector<ImagePoint> shownAt;
    std::vector<const ViewPositions*> lenses;
    for (const ViewObservation& o : seen) {
        if (!Spatial(t, o.view) || o.view > static_cast<int>(positions.size())) continue;
        const ViewPositions& view = positions[static_cast<std::size_t>(o.view - 1)];
        const ImagePoint taken = view.Taken(o.position);
        if (taken.x == -1) continue;
        images.push_back({taken});
        rows.push_back(o.view);
        shownAt.push_back(view.Seen(o.position));
        lenses.push_back(&view);
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
        const ImagePoint shown = lenses[k]->InPicture({u, v});
        worst = std::max(worst, std::hypot(shown.x - shownAt[k].x, shown.y - shownAt[k].y));
    }
    return worst;
}

}  // namespace kadivo
