#include "Uncertainty.h"

#include "CKadivoDoc.h"
#include "CentreOfGravity.h"
#include "Differentiation.h"
#include "Reconstruction.h"
#include "WorldSmoothing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>

namespace kadivo {

namespace {

constexpr double kZ95 = 1.959963984540054;
constexpr double kDegrees = 57.29577951308239;
constexpr int kLongestReach = 200;  // frames a smoothed value is taken to depend on, at most

using Matrix3 = std::array<std::array<double, 3>, 3>;

bool Invert(const Matrix3& m, Matrix3& inverse, int n) {
    if (n == 2) {
        const double det = m[0][0] * m[1][1] - m[0][1] * m[1][0];
        if (!(std::abs(det) > 0)) return false;
        inverse = {{{m[1][1] / det, -m[0][1] / det, 0}, {-m[1][0] / det, m[0][0] / det, 0}, {0, 0, 0}}};
        return true;
    }
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (!(std::abs(det) > 0)) return false;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int a = (j + 1) % 3, b = (j + 2) % 3, c = (i + 1) % 3, d = (i + 2) % 3;
            inverse[i][j] = (m[a][c] * m[b][d] - m[a][d] * m[b][c]) / det;
        }
    return true;
}

// The variances of x, y (and z) of one point solved from `rows` of the least squares
// a·x = b, each row's equation erring with variance `weight`: (AᵀA)⁻¹ Aᵀ W A (AᵀA)⁻¹.
Point3 SolutionVariance(const std::vector<std::array<double, 3>>& rows, const std::vector<double>& weight, int unknowns) {
    Matrix3 normal{}, middle{};
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int i = 0; i < unknowns; ++i)
            for (int j = 0; j < unknowns; ++j) {
                normal[i][j] += rows[r][i] * rows[r][j];
                middle[i][j] += rows[r][i] * weight[r] * rows[r][j];
            }
    Matrix3 inverse{};
    if (!Invert(normal, inverse, unknowns)) return kMissingWorldPoint;
    double variance[3] = {0, 0, 0};
    for (int i = 0; i < unknowns; ++i)
        for (int j = 0; j < unknowns; ++j)
            for (int k = 0; k < unknowns; ++k) variance[i] += inverse[i][j] * middle[j][k] * inverse[k][i];
    return {variance[0], variance[1], variance[2]};
}

// The derivative a quantity asks for, as the kinematics take it.
std::vector<double> Differences(const std::vector<double>& series, const CKadivoDoc& doc, Quantity quantity) {
    if (quantity == Quantity::Position) return series;
    const std::vector<float> rates =
        DifferentiateSeries({series.begin(), series.end()}, doc.framePeriod, quantity == Quantity::Velocity ? 1 : 2);
    return {rates.begin(), rates.end()};
}

// One raw coordinate's part in a result: result = D(Σ jacobian ⊙ S(raw coordinate)).
struct Term {
    int entry = 0, axis = 0;
    std::vector<double> jacobian;  // per frame
};

// Σ over frames j of (∂result_i/∂raw_j)² var_j for every frame i, the columns of the linear
// map found by feeding it impulses a reach apart (one run of the map for each offset).
void AddPropagated(const CKadivoDoc& doc, const WorldData& variances, const CoordinateSmoothing& smoothing, const Term& term,
                   Quantity quantity, std::vector<double>& total) {
    // World data without the images they came from (read from elsewhere) have no known spread.
    for (std::size_t f = 0; f < total.size(); ++f)
        if (doc.worldRaw[static_cast<int>(f)][term.entry] != kMissingWorldPoint &&
            variances[static_cast<int>(f)][term.entry] == kMissingWorldPoint)
            total[f] = std::numeric_limits<double>::quiet_NaN();
    if (smoothing.Runs().empty()) return;
    const std::size_t n = total.size();
    const auto map = [&](const std::vector<double>& impulses) {
        std::vector<double> smoothedSeries = smoothing.Apply(impulses);
        for (std::size_t f = 0; f < n; ++f) smoothedSeries[f] *= term.jacobian[f];
        return Differences(smoothedSeries, doc, quantity);
    };
    // How far an impulse reaches: from one in the middle of the longest run.
    const SolvedRun longest = LongestRun(smoothing.Runs());
    std::vector<double> probe(n, 0.0);
    const auto middle = static_cast<std::size_t>((longest.first + longest.last) / 2);
    probe[middle] = 1.0;
    std::vector<double> response = map(probe);
    double peak = 0;
    for (double r : response) peak = std::max(peak, std::abs(r));
    int reach = 2;  // the differences reach a frame either way by themselves
    for (std::size_t f = 0; f < n; ++f)
        if (std::abs(response[f]) > 1e-6 * peak) reach = std::max(reach, static_cast<int>(f > middle ? f - middle : middle - f) + 2);
    reach = std::min(reach, kLongestReach);
    const int stride = 2 * reach + 1;
    for (int offset = 0; offset < stride; ++offset) {
        std::fill(probe.begin(), probe.end(), 0.0);
        bool any = false;
        for (std::size_t j = static_cast<std::size_t>(offset); j < n; j += static_cast<std::size_t>(stride))
            if (variances[static_cast<int>(j)][term.entry] != kMissingWorldPoint) probe[j] = 1.0, any = true;
        if (!any) continue;
        response = map(probe);
        for (std::size_t i = 0; i < n; ++i) {
            // The one impulse within reach of frame i.
            const long long distance = ((static_cast<long long>(i) - offset) % stride + stride) % stride;
            const long long j = distance <= reach ? static_cast<long long>(i) - distance : static_cast<long long>(i) + stride - distance;
            if (j < 0 || j >= static_cast<long long>(n) || probe[static_cast<std::size_t>(j)] == 0.0) continue;
            const double variance = Axis(variances[static_cast<int>(j)][term.entry], term.axis);
            total[i] += response[i] * response[i] * variance;
        }
    }
}

std::vector<float> HalfWidths(const std::vector<double>& variance, const std::vector<float>& values) {
    std::vector<float> half(values.size(), std::numeric_limits<float>::quiet_NaN());
    for (std::size_t f = 0; f < values.size() && f < variance.size(); ++f)
        if (!std::isnan(values[f]) && !std::isnan(variance[f])) half[f] = static_cast<float>(kZ95 * std::sqrt(std::max(variance[f], 0.0)));
    return half;
}

}  // namespace

WorldData RawWorldVariances(const CKadivoDoc& doc) {
    if (doc.worldRaw.empty()) return {};
    WorldData variances(doc.worldRaw.frames(), doc.worldRaw.entriesPerFrame());
    for (int f = 0; f < doc.worldRaw.frames(); ++f)
        for (int p = 0; p < doc.worldRaw.entriesPerFrame(); ++p) variances[f][p] = kMissingWorldPoint;
    const double digitizing = doc.options.digitizingError * doc.options.digitizingError;
    const bool spatial = doc.dlt.parameterCount == 11;
    std::vector<std::array<double, 3>> rows;
    std::vector<double> weights;
    VisitFrameImages(doc, doc.worldFrameCount, [&](int f, const std::vector<const ViewImagePoints*>& images, const std::vector<int>& views) {
        for (int p = 0; p < doc.pointCount; ++p) {
            const Point3 x = doc.worldRaw[f][p];
            if (x == kMissingWorldPoint) continue;
            rows.clear();
            weights.clear();
            for (std::size_t k = 0; k < images.size(); ++k) {
                const ImagePoint& seen = (*images[k])[static_cast<std::size_t>(p)];
                if (seen.x == -1) continue;
                const auto l = [&](int j) { return doc.dlt.GetParameter(j, views[k]); };
                // A coordinate's error e moves its equation by e times the projection's denominator.
                const double residual = doc.dlt.Residual(views[k]);
                const double error = digitizing + residual * residual / 2;
                if (spatial) {
                    const double d = l(9) * x.x + l(10) * x.y + l(11) * x.z + 1.0;
                    rows.push_back({l(1) - seen.x * l(9), l(2) - seen.x * l(10), l(3) - seen.x * l(11)});
                    rows.push_back({l(5) - seen.y * l(9), l(6) - seen.y * l(10), l(7) - seen.y * l(11)});
                    weights.insert(weights.end(), 2, d * d * error);
                } else {
                    const double d = l(7) * x.x + l(8) * x.y + 1.0;
                    rows.push_back({l(1) - seen.x * l(7), l(2) - seen.x * l(8), 0});
                    rows.push_back({l(4) - seen.y * l(7), l(5) - seen.y * l(8), 0});
                    weights.insert(weights.end(), 2, d * d * error);
                    break;  // the planar calibration solves from one view
                }
            }
            if (rows.size() >= (spatial ? 4u : 2u)) variances[f][p] = SolutionVariance(rows, weights, spatial ? 3 : 2);
        }
    });
    // The centre of gravity is a weighted sum of its points.
    const std::vector<double> weightsOfPoints = CentreOfGravityWeights(doc);
    for (int f = 0; f < doc.worldFrameCount; ++f) {
        if (doc.worldRaw[f][doc.pointCount] == kMissingWorldPoint) continue;
        Point3 sum{0, 0, 0};
        for (int p = 0; p < doc.pointCount; ++p) {
            const double w = weightsOfPoints[static_cast<std::size_t>(p)];
            if (w == 0.0) continue;
            const Point3 v = variances[f][p];
            if (v == kMissingWorldPoint) continue;
            sum = {sum.x + w * w * v.x, sum.y + w * w * v.y, sum.z + w * w * v.z};
        }
        variances[f][doc.pointCount] = sum;
    }
    return variances;
}

WorldUncertainty::WorldUncertainty(const CKadivoDoc& doc) : doc_(doc), variances_(RawWorldVariances(doc)) {}

WorldUncertainty::~WorldUncertainty() = default;

const CoordinateSmoothing& WorldUncertainty::SmoothingOf(int entry, int axis, bool smoothed) const {
    const auto key = std::make_tuple(entry, axis, smoothed);
    auto found = smoothings_.find(key);
    if (found == smoothings_.end())
        found = smoothings_.emplace(key, std::make_unique<CoordinateSmoothing>(doc_, entry, axis, smoothed ? doc_.options.filtering : 0)).first;
    return *found->second;
}

std::vector<float> WorldUncertainty::LinearHalfWidths(int entry, bool smoothed, Quantity quantity, Component component) const {
    const CKadivoDoc& doc = doc_;
    const std::vector<float> values = LinearSeries(doc, entry, smoothed, quantity, component);
    if (values.empty()) return {};
    const WorldData& world = smoothed ? doc.worldFiltered : doc.worldRaw;
    const auto n = static_cast<std::size_t>(doc.worldFrameCount);
    std::vector<double> total(n, 0.0);
    for (int axis = 0; axis < 3; ++axis) {
        if (component != Component::Distance && static_cast<int>(component) != axis) continue;
        Term term{entry, axis, std::vector<double>(n, 0.0)};
        for (std::size_t f = 0; f < n; ++f) {
            const Point3& p = world[static_cast<int>(f)][entry];
            if (p == kMissingWorldPoint) continue;
            const double distance = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
            term.jacobian[f] = component != Component::Distance ? 1.0 : distance > 0 ? Axis(p, axis) / distance : 0.0;
        }
        AddPropagated(doc, variances_, SmoothingOf(entry, axis, smoothed), term, quantity, total);
    }
    return HalfWidths(total, values);
}

std::vector<float> WorldUncertainty::AngularHalfWidths(const ExportJoint& joint, bool smoothed, Quantity quantity, int axis,
                                                       bool counterClockwise) const {
    const CKadivoDoc& doc = doc_;
    const std::vector<float> values = AngularSeries(doc, joint, smoothed, quantity, axis, counterClockwise);
    if (values.empty() || axis < 0 || axis > 2) return {};
    const WorldData& world = smoothed ? doc.worldFiltered : doc.worldRaw;
    const auto n = static_cast<std::size_t>(doc.worldFrameCount);
    // The plane's two world axes, as the angles take them.
    const int plane[3][2] = {{1, 2}, {0, 2}, {0, 1}};
    const int a = plane[axis][0], b = plane[axis][1];
    // The angle is the direction of w (vertex to first point) less that of u (vertex to the
    // second), or the other way round; a direction's gradient is (−dy, dx)/|d|².
    std::array<Term, 6> terms;
    for (int k = 0; k < 6; ++k) terms[static_cast<std::size_t>(k)].jacobian.assign(n, 0.0);
    const int points[3] = {joint.vertex, joint.firstPoint, joint.secondPoint};
    for (int k = 0; k < 6; ++k) {
        terms[static_cast<std::size_t>(k)].entry = points[k / 2];
        terms[static_cast<std::size_t>(k)].axis = k % 2 == 0 ? a : b;
    }
    const double sign = counterClockwise ? -1.0 : 1.0;
    for (std::size_t f = 0; f < n; ++f) {
        const Point3 &vertex = world[static_cast<int>(f)][joint.vertex], &first = world[static_cast<int>(f)][joint.firstPoint],
                     &second = world[static_cast<int>(f)][joint.secondPoint];
        if (vertex == kMissingWorldPoint || first == kMissingWorldPoint || second == kMissingWorldPoint) continue;
        const double w[2] = {Axis(first, a) - Axis(vertex, a), Axis(first, b) - Axis(vertex, b)};
        const double u[2] = {Axis(second, a) - Axis(vertex, a), Axis(second, b) - Axis(vertex, b)};
        const double ww = w[0] * w[0] + w[1] * w[1], uu = u[0] * u[0] + u[1] * u[1];
        if (!(ww > 0) || !(uu > 0)) continue;
        const double dw[2] = {-w[1] / ww * kDegrees * sign, w[0] / ww * kDegrees * sign};
        const double du[2] = {u[1] / uu * kDegrees * sign, -u[0] / uu * kDegrees * sign};  // minus the direction of u
        for (int c = 0; c < 2; ++c) {
            terms[static_cast<std::size_t>(2 + c)].jacobian[f] = dw[c];                // the first point moves w
            terms[static_cast<std::size_t>(4 + c)].jacobian[f] = du[c];                // the second point moves u
            terms[static_cast<std::size_t>(c)].jacobian[f] = -dw[c] - du[c];           // the vertex moves both
        }
    }
    std::vector<double> total(n, 0.0);
    for (const Term& term : terms)
        AddPropagated(doc, variances_, SmoothingOf(term.entry, term.axis, smoothed), term, quantity, total);
    return HalfWidths(total, values);
}

}  // namespace kadivo
