#include "CalibrationReport.h"

#include "CKadivoDoc.h"
#include "CalibrateViews.h"
#include "ViewPositions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kadivo {

namespace {

// Pixels in the picture between where the point was digitized and where the calibration,
// through the view's lens, shows it.
double Distance(const DltParameterTable& table, int row, const Point3& world, const ViewPositions& positions, Point2f stored) {
    const auto [u, v] = ProjectDlt(table, row, world);
    const ImagePoint shown = positions.InPicture({u, v});
    const ImagePoint seen = positions.Seen(stored);
    return std::hypot(shown.x - seen.x, shown.y - seen.y);
}

// The document's views in the order of the calibration's parameter rows.
std::vector<int> CalibratedViews(const CKadivoDoc& doc) {
    if (doc.dlt.viewCount == 1) return {doc.currentView};
    std::vector<int> views;
    for (int v = 0; v < doc.viewCount(); ++v) views.push_back(v);
    return views;
}

}  // namespace

std::vector<std::vector<ImagePoint>> CalibrationImagePoints(const CKadivoDoc& doc) {
    std::vector<std::vector<ImagePoint>> images;
    for (int v : CalibratedViews(doc)) images.push_back(CalibrationPositions(doc, v));
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
    const int documentView = CalibratedViews(doc)[static_cast<std::size_t>(view - 1)];
    const ViewPositions positions = PositionsOfView(doc, documentView);
    const FrameRecord& record = doc.views[static_cast<std::size_t>(documentView)].frameStore.calibrationRecord;
    const int n = std::min({doc.calibrationPointCount, static_cast<int>(image.size()),
                            static_cast<int>(doc.calibrationPoints.size())});
    std::vector<ControlPointError> errors;
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        ControlPointError error;
        error.point = i;
        error.reprojection = Distance(table, view, doc.calibrationPoints[at], positions, record.imagePos[at]);
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
        error.leaveOneOut = Distance(alone, 1, doc.calibrationPoints[at], positions, record.imagePos[at]);
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
