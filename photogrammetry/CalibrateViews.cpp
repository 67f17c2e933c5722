#include "CalibrateViews.h"

#include "CDltCalibration.h"
#include "CKadivoDoc.h"
#include "ExtendedDlt.h"
#include "ViewPositions.h"

#include <cmath>

namespace kadivo {

namespace {

std::vector<ImagePoint> ControlPointsOfView(const CKadivoDoc& doc, int view, bool corrected) {
    const ViewPositions positions = PositionsOfView(doc, view);
    const ViewFrameStore& store = doc.views[static_cast<std::size_t>(view)].frameStore;
    std::vector<ImagePoint> points;
    for (int i = 0; i < doc.calibrationPointCount && i < kModelTableSize; ++i) {
        const Point2f stored = store.calibrationRecord.imagePos[static_cast<std::size_t>(i)];
        points.push_back(corrected ? positions.Taken(stored) : positions.Seen(stored));
    }
    return points;
}

// World points of the posture method from the subject height H and the digitized image:
// (0, 0), (−H/2, h), (H/2, h), (0, H) with h = (y2 − y1)·H / (y4 − y1). False when y4 = y1
// leaves the ratio undefined.
bool ApplyPostureRule(CKadivoDoc& doc) {
    if (doc.calibrationPoints.size() < 4) return false;
    const FrameRecord& record = doc.current().frameStore.calibrationRecord;
    const double y1 = record.imagePos[0].y, y2 = record.imagePos[1].y, y4 = record.imagePos[3].y;
    if (y4 == y1) return false;
    const double height = doc.calibrationPoints[3].y;
    const double h = (y2 - y1) * height / (y4 - y1);
    doc.calibrationPoints[0] = {0.0, 0.0, 0.0};
    doc.calibrationPoints[1] = {-height / 2.0, h, 0.0};
    doc.calibrationPoints[2] = {height / 2.0, h, 0.0};
    doc.calibrationPoints[3] = {0.0, height, 0.0};
    return true;
}

// Each listed view's lens from its control points, or none where the option solved it before.
// A lens calibrated from a checkerboard is measured apart from the scene and is kept.
void SolveLenses(CKadivoDoc& doc, const std::vector<int>& views, bool spatial) {
    const int option = doc.options.lensFromControlPoints;
    for (int v : views) {
        CameraView& view = doc.views[static_cast<std::size_t>(v)];
        if (view.lens && view.lens->source == LensSource::Checkerboard) continue;
        if (option == 0) {
            if (view.lens && view.lens->source == LensSource::ControlPoints) view.lens.reset();
            continue;
        }
        const LensTerms terms = option == 2 ? LensTerms::RadialAndTangential : LensTerms::Radial;
        view.lens = SolveLensFromControlPoints(ControlPointsOfView(doc, v, false), doc.calibrationPoints,
                                               doc.calibrationPointCount, spatial, terms, view.frameSize);
    }
}

// RMS distance in the picture's pixels between where each view's control points were
// digitized and where the calibration, through the view's lens, shows them.
void PictureResiduals(CKadivoDoc& doc, const std::vector<int>& views) {
    for (std::size_t k = 0; k < views.size() && k < doc.dlt.residuals.size(); ++k) {
        const ViewPositions positions = PositionsOfView(doc, views[k]);
        if (!positions.HasLens()) continue;
        const std::vector<ImagePoint> seen = ControlPointsOfView(doc, views[k], false);
        double squares = 0.0;
        int count = 0;
        for (std::size_t i = 0; i < seen.size() && i < doc.calibrationPoints.size(); ++i) {
            const auto [u, v] = ProjectDlt(doc.dlt, static_cast<int>(k) + 1, doc.calibrationPoints[i]);
            const ImagePoint shown = positions.InPicture({u, v});
            squares += std::pow(shown.x - seen[i].x, 2) + std::pow(shown.y - seen[i].y, 2);
            ++count;
        }
        doc.dlt.residuals[k] = count > 0 ? std::sqrt(squares / count) : 0.0;
    }
}

void Calibrate(CKadivoDoc& doc, const std::vector<int>& views, bool spatial) {
    SolveLenses(doc, views, spatial);
    std::vector<std::vector<ImagePoint>> images;
    for (int v : views) images.push_back(CalibrationPositions(doc, v));
    CDltCalibration(doc.dlt).Calibrate(images, doc.calibrationPoints, doc.calibrationPointCount,
                                       static_cast<int>(images.size()));
    PictureResiduals(doc, views);
    doc.dltValid = true;
}

}  // namespace

std::vector<ImagePoint> CalibrationPositions(const CKadivoDoc& doc, int view) { return ControlPointsOfView(doc, view, true); }

std::string LensFromControlPointsObstacle(const CKadivoDoc& doc) {
    if (doc.options.lensFromControlPoints == 0) return {};
    const bool spatial = doc.viewCount() >= 2;
    const LensTerms terms = doc.options.lensFromControlPoints == 2 ? LensTerms::RadialAndTangential : LensTerms::Radial;
    const int needed = ExtendedDltPointsNeeded(spatial, terms);
    if (doc.calibrationPointCount >= needed) return {};
    return "Solving the lens from the control points needs at least " + std::to_string(needed) +
           " control points (more equations than its " + std::to_string(ExtendedDltUnknowns(spatial, terms)) +
           " unknowns); the calibration frame has " + std::to_string(doc.calibrationPointCount) + ".";
}

void CalibrateViews(CKadivoDoc& doc) {
    if (doc.calibrationPoints.empty()) return;
    int complete = 0;
    for (const CameraView& view : doc.views) complete += view.frameStore.IsCalibrated() ? 1 : 0;
    if (complete == 0) return;
    if (complete == 1) {
        CameraView& view = doc.current();
        if (!view.frameStore.IsCalibrated()) return;
        if (doc.calibrationType == static_cast<int>(CalibrationType::Posture2D) && !ApplyPostureRule(doc)) return;
        Calibrate(doc, {doc.currentView}, false);
    } else {
        if (complete != doc.viewCount()) return;
        std::vector<int> views;
        for (int v = 0; v < doc.viewCount(); ++v) views.push_back(v);
        Calibrate(doc, views, true);
    }
    doc.current().frameStore.calibrationDirty = false;
}

void CalibrateSingleViewOnOpen(CKadivoDoc& doc) {
    if (doc.viewCount() != 1 || !doc.views[0].frameStore.IsCalibrated() || doc.calibrationPoints.empty()) return;
    Calibrate(doc, {0}, false);
}

bool PosturePointsLevel(const CKadivoDoc& doc) {
    if (doc.calibrationType != static_cast<int>(CalibrationType::Posture2D)) return false;
    const FrameRecord& record = doc.current().frameStore.calibrationRecord;
    return record.imagePos[0].y == record.imagePos[3].y;
}

void InstallCalibrationSteps(SequenceSteps& steps) {
    steps.calibrateViews = CalibrateViews;
    steps.calibrateOnOpen = CalibrateSingleViewOnOpen;
    steps.lensObstacle = LensFromControlPointsObstacle;
}

}  // namespace kadivo
