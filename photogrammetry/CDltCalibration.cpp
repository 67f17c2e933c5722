#include "CDltCalibration.h"

#include "MatrixToolkit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kadivo {

namespace {

// Rows 2i−1 and 2i of the calibration system for control point i.
void FillRows(MatrixRef a, MatrixRef b, int i, const ImagePoint& image, const Point3& world, bool spatial) {
    const double u = image.x, v = image.y;
    const int r = 2 * i - 1;
    if (spatial) {
        const double row1[11] = {world.x, world.y, world.z, 1, 0, 0, 0, 0, -u * world.x, -u * world.y, -u * world.z};
        const double row2[11] = {0, 0, 0, 0, world.x, world.y, world.z, 1, -v * world.x, -v * world.y, -v * world.z};
        for (int j = 1; j <= 11; ++j) {
            a(r, j) = row1[j - 1];
            a(r + 1, j) = row2[j - 1];
        }
    } else {
        const double row1[8] = {world.x, world.y, 1, 0, 0, 0, -u * world.x, -u * world.y};
        const double row2[8] = {0, 0, 0, world.x, world.y, 1, -v * world.x, -v * world.y};
        for (int j = 1; j <= 8; ++j) {
            a(r, j) = row1[j - 1];
            a(r + 1, j) = row2[j - 1];
        }
    }
    b(r, 1) = u;
    b(r + 1, 1) = v;
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

int CDltCalibration::Calibrate(const std::vector<std::vector<ImagePoint>>& imagePoints,
                               const std::vector<Point3>& worldPoints, int pointCount, int viewCount) {
    const int n = std::clamp(pointCount, 0, static_cast<int>(worldPoints.size()));
    const int m = std::clamp(viewCount, 0, static_cast<int>(imagePoints.size()));
    const int p = m < 2 ? 8 : 11;
    const bool spatial = p == 11;
    if (table_.viewCount != m || table_.values.empty()) {
        table_.values.assign(static_cast<std::size_t>(m) * DltParameterTable::kColumns, 0.0);
        table_.residuals.assign(static_cast<std::size_t>(m), 0.0);
    }
    const int rows = std::max(2 * n, p);
    Matrix a(rows, p), b(rows, 1), x(p, 1);
    for (int k = 1; k <= m; ++k) {
        const std::vector<ImagePoint>& view = imagePoints[static_cast<std::size_t>(k - 1)];
        const int points = std::min(n, static_cast<int>(view.size()));
        a.Clear();
        for (int i = 1; i <= points; ++i)
            FillRows(a, b, i, view[static_cast<std::size_t>(i - 1)], worldPoints[static_cast<std::size_t>(i - 1)], spatial);
        SolveLeastSquares(a, 2 * points, p, b, x);
        double* row = table_.values.data() + static_cast<std::size_t>(k - 1) * DltParameterTable::kColumns;
        for (int j = 1; j <= DltParameterTable::kColumns; ++j) row[j - 1] = j <= p ? x(j, 1) : 0.0;
    }
    table_.viewCount = m;
    table_.parameterCount = p;
    // The residuals are the distances between the pixels used and the solved projections.
    for (int k = 1; k <= m; ++k) {
        const std::vector<ImagePoint>& view = imagePoints[static_cast<std::size_t>(k - 1)];
        const int points = std::min(n, static_cast<int>(view.size()));
        double squares = 0.0;
        for (int i = 0; i < points; ++i) {
            const auto [u, v] = ProjectDlt(table_, k, worldPoints[static_cast<std::size_t>(i)]);
            squares += (u - view[static_cast<std::size_t>(i)].x) * (u - view[static_cast<std::size_t>(i)].x) +
                       (v - view[static_cast<std::size_t>(i)].y) * (v - view[static_cast<std::size_t>(i)].y);
        }
        table_.residuals[static_cast<std::size_t>(k - 1)] = points > 0 ? std::sqrt(squares / points) : 0.0;
    }
    return p;
}

bool DltSystemIsDegenerate(const std::vector<ImagePoint>& view, const std::vector<Point3>& worldPoints, int pointCount,
                           bool spatial) {
    const int p = spatial ? 11 : 8;
    const int n = std::clamp(pointCount, 0, static_cast<int>(std::min(view.size(), worldPoints.size())));
    if (2 * n < p) return true;
    Matrix a(2 * n, p), b(2 * n, 1), v(p, p);
    a.Clear();
    for (int i = 1; i <= n; ++i)
        FillRows(a, b, i, view[static_cast<std::size_t>(i - 1)], worldPoints[static_cast<std::size_t>(i - 1)], spatial);
    std::vector<double> w(static_cast<std::size_t>(p) + 1, 0.0);
    DecomposeSvd(a, 2 * n, p, w.data(), v);
    return std::any_of(w.begin() + 1, w.end(), [](double value) { return value <= kSingularValueThreshold; });
}

std::pair<double, double> ProjectDlt(const DltParameterTable& table, int view, const Point3& world) {
    auto l = [&](int j) { return table.GetParameter(j, view); };
    if (table.parameterCount == 11) {
        const double d = l(9) * world.x + l(10) * world.y + l(11) * world.z + 1.0;
        return {(l(1) * world.x + l(2) * world.y + l(3) * world.z + l(4)) / d,
                (l(5) * world.x + l(6) * world.y + l(7) * world.z + l(8)) / d};
    }
    const double d = l(7) * world.x + l(8) * world.y + 1.0;
    return {(l(1) * world.x + l(2) * world.y + l(3)) / d, (l(4) * world.x + l(5) * world.y + l(6)) / d};
}

std::vector<std::pair<std::string, std::string>> DltParameterRows(const DltParameterTable& table, int view) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int j = 1; j <= table.parameterCount; ++j)
        rows.emplace_back("L" + std::to_string(j), Format("%2.3f", table.GetParameter(j, view)));
    rows.emplace_back("RMS", table.imported ? std::string("imported") : Format("%2.3f px", table.Residual(view)));
    return rows;
}

}  // namespace kadivo
