#pragma once

#include "DltParameterTable.h"
#include "Geometry.h"

#include <string>
#include <utility>
#include <vector>

namespace kadivo {

// An image position as calibration and reconstruction take it, in pixels; (−1, −1) is a
// point without position.
struct ImagePoint {
    double x = 0.0;
    double y = 0.0;
};

// A stored position as calibration and reconstruction take it: as stored when the
// sequence's "Exact positions" option is on, else truncated toward zero to whole pixels, as
// sequences made before the option have always been computed. A missing or unusable
// position is (−1, −1) either way.
inline ImagePoint PhotogrammetryPosition(Point2f stored, bool exact) {
    const Point2f p = UsableOrMissing(stored);
    if (exact) return {p.x, p.y};
    return {static_cast<double>(static_cast<int>(p.x)), static_cast<double>(static_cast<int>(p.y))};
}

// DLT calibration of the camera views into a document's parameter table.
//
// Spatial (11 parameters): u = (L1·X + L2·Y + L3·Z + L4) / (L9·X + L10·Y + L11·Z + 1),
//                          v = (L5·X + L6·Y + L7·Z + L8) / (L9·X + L10·Y + L11·Z + 1).
// Planar (8 parameters):   u = (L1·X + L2·Y + L3) / (L7·X + L8·Y + 1),
//                          v = (L4·X + L5·Y + L6) / (L7·X + L8·Y + 1).
class CDltCalibration {
public:
    explicit CDltCalibration(DltParameterTable& table) : table_(table) {}

    // Solves every view's parameters by least squares from `pointCount` control points;
    // planar with fewer than two views. Returns the parameter count.
    int Calibrate(const std::vector<std::vector<ImagePoint>>& imagePoints, const std::vector<Point3>& worldPoints,
                  int pointCount, int viewCount);
    double GetParameter(int j, int view) const { return table_.GetParameter(j, view); }

private:
    DltParameterTable& table_;
};

// The image position of a world point through one view's parameters (1-based view).
std::pair<double, double> ProjectDlt(const DltParameterTable& table, int view, const Point3& world);

// Whether the control points leave one view's least-squares system rank-deficient (a
// singular value at or below the solver's threshold, or fewer equations than parameters):
// the calibration then fits the points whatever the camera, and its residual means nothing.
// Identical, collinear and, for the 11-parameter DLT, coplanar control points do this.
bool DltSystemIsDegenerate(const std::vector<ImagePoint>& view, const std::vector<Point3>& worldPoints, int pointCount,
                           bool spatial);

// The rows of the "DLT Reconstruction Parameters" list for one view (1-based): "L%d" with
// the value as "%2.3f", then the RMS residual of the control points.
std::vector<std::pair<std::string, std::string>> DltParameterRows(const DltParameterTable& table, int view);

}  // namespace kadivo
