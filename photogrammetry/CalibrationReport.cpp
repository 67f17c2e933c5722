#include "CalibrationReport.h"

#include "CKadivoDoc.h"
#include "CalibrateViews.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kadivo {

namespace {

double Distance(const DltParameterTable& table, int view, const Point3& world, const ImagePoint& image) {
    const auto [u, v] = ProjectDlt(table, view, world);
    return std::hypot(u - image.x, v - image.y);
}

}  // namespace

std::vector<std::vector<ImagePoint>> CalibrationImagePoints(const CKadivoDoc& doc) {
    std::vector<std::vector<ImagePoint>> images;
    if (doc.dlt.viewCount == 1) images.push_back(CalibrationPositions(doc, doc.current().frameStore));
    else
        for (const CameraView& view : doc.views) images.push_back(CalibrationPositions(doc, view.frameStore));
    return images;
}

bool CalibrationIsDegenerate(const CKadivoDoc& doc, int view) {
    if (doc.dlt.empty() || view < 1 || view > doc.dlt.viewCount) return false;
    const std::vector<std::vector<ImagePoint>> images = CalibrationImagePoints(doc);
    if (static_cast<int>(images.size()) < view) return false;
    return DltSystemIsDegenerate(images[static_cast<std::size_t>(view - 1)], doc.calibrationPoints,
                                 doc.calibrationPointCount, doc.dlt.parameterCount == 11);
}

std::vector<ControlPointError> CalibrationReport(const CKadivoDoc& doc, int view) {
    const DltParameterTable& table = doc.dlt;
    if (table.empty() || view < 1 || view > table.viewCount) return {};
    const std::vector<std::vector<ImagePoint>> images = CalibrationImagePoints(doc);
    if (static_cast<int>(images.size()) < view) return {};
    const std::vector<ImagePoint>& image = images[static_cast<std::size_t>(view - 1)];
    const int n = std::min({doc.calibrationPointCount, static_cast<int>(image.size()),
                            static_cast<int>(doc.calibrationPoints.size())});
    std::vector<ControlPointError> errors;
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        ControlPointError error;
        error.point = i;
        error.reprojection = Distance(table, view, doc.calibrationPoints[at], image[at]);
        // The view's own system without point i; its parameters alone decide the projection,
        // so the other views do not take part.
        std::vector<ImagePoint> without = image;
        std::vector<Point3> worldWithout(doc.calibrationPoints.begin(), doc.calibrationPoints.begin() + n);
        without.erase(without.begin() + i);
        worldWithout.erase(worldWithout.begin() + i);
        DltParameterTable alone;
        std::vector<std::vector<ImagePoint>> single{without};
        // A spatial calibration stays spatial: the view is solved as one of two identical views.
        if (table.parameterCount == 11) single.push_back(without);
        CDltCalibration(alone).Calibrate(single, worldWithout, n - 1, static_cast<int>(single.size()));
        error.leaveOneOut = Distance(alone, 1, doc.calibrationPoints[at], image[at]);
        errors.push_back(error);
    }
    std::stable_sort(errors.begin(), errors.end(),
                     [](const ControlPointError& a, const ControlPointError& b) { return a.leaveOneOut > b.leaveOneOut; });
    return errors;
}

std::string ControlPointErrorLine(const ControlPointError& error) {
    char text[128];
    std::snprintf(text, sizeof text, "point %d\treprojection %.3f px\tleave-one-out %.3f px", error.point + 1,
                  error.reprojection, error.leaveOneOut);
    return text;
}

}  // namespace kadivo
