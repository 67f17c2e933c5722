#pragma once

#include "CDltCalibration.h"
#include "Geometry.h"

#include <cmath>
#include <utility>
#include <vector>

namespace kadivo::test {

// A pinhole camera given directly by its eleven DLT parameters.
struct Camera {
    double l[12];  // 1-based
    std::pair<double, double> Project(const Point3& p) const {
        const double d = l[9] * p.x + l[10] * p.y + l[11] * p.z + 1.0;
        return {(l[1] * p.x + l[2] * p.y + l[3] * p.z + l[4]) / d, (l[5] * p.x + l[6] * p.y + l[7] * p.z + l[8]) / d};
    }
};

// Corners and edge midpoints of a 2 m calibration cube seen from two sides.
inline std::vector<Point3> CubePoints() {
    std::vector<Point3> points;
    for (double x : {0.0, 1.0, 2.0})
        for (double y : {0.0, 2.0})
            for (double z : {0.0, 2.0}) points.push_back({x, y, z});
    return points;
}

inline const Camera kLeft{{0, 310.0, 40.0, -60.0, 120.0, 15.0, -20.0, 330.0, 90.0, 0.02, 0.01, 0.03}};
inline const Camera kRight{{0, -280.0, 55.0, 90.0, 700.0, 25.0, 300.0, -35.0, 80.0, -0.03, 0.02, 0.01}};

inline std::vector<ImagePoint> Pixels(const Camera& camera, const std::vector<Point3>& world) {
    std::vector<ImagePoint> pixels;
    for (const Point3& p : world) {
        const auto [u, v] = camera.Project(p);
        pixels.push_back({std::trunc(u), std::trunc(v)});  // truncated, as the program does without exact positions
    }
    return pixels;
}

// A parameter table that holds the cameras' exact parameters.
inline DltParameterTable ExactTable(const std::vector<Camera>& cameras) {
    DltParameterTable table;
    table.viewCount = static_cast<int>(cameras.size());
    table.parameterCount = 11;
    for (const Camera& camera : cameras)
        for (int j = 1; j <= DltParameterTable::kColumns; ++j) table.values.push_back(camera.l[j]);
    table.residuals.assign(cameras.size(), 0.0);
    return table;
}

}  // namespace kadivo::test
