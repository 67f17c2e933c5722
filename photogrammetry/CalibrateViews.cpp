#include "CalibrateViews.h"

#include "CDltCalibration.h"
#include "CKadivoDoc.h"

namespace kadivo {

std::vector<ImagePoint> CalibrationPositions(const CKadivoDoc& doc, const ViewFrameStore& store) {
    std::vector<ImagePoint> points;
    for (int i = 0; i < doc.calibrationPointCount && i < kModelTableSize; ++i)
        points.push_back(PhotogrammetryPosition(store.calibrationRecord.imagePos[static_cast<std::size_t>(i)], doc.options.exactPositions != 0));
    return points;
}

namespace {

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

void Calibrate(CKadivoDoc& doc, const std::vector<std::vector<ImagePoint>>& images) {
    CDltCalibration(doc.dlt).Calibrate(images, doc.calibrationPoints, doc.calibrationPointCount,
                                       static_cast<int>(images.size()));
    doc.dltValid = true;
}

}  // namespace

void CalibrateViews(CKadivoDoc& doc) {
    if (doc.calibrationPoints.empty()) return;
    int complete = 0;
    for (const CameraView& view : doc.views) complete += view.frameStore.IsCalibrated() ? 1 : 0;
    if (complete == 0) return;
    if (complete == 1) {
        CameraView& view = doc.current();
        if (!view.frameStore.IsCalibrated()) return;
        if (doc.calibrationType == static_cast<int>(CalibrationType::Posture2D) && !ApplyPostureRule(doc)) return;
        Calibrate(doc, {CalibrationPositions(doc, view.frameStore)});
    } else {
        if (complete != doc.viewCount()) return;
        std::vector<std::vector<ImagePoint>> images;
        for (const CameraView& view : doc.views) images.push_back(CalibrationPositions(doc, view.frameStore));
        Calibrate(doc, images);
    }
    doc.current().frameStore.calibrationDirty = false;
}

void CalibrateSingleViewOnOpen(CKadivoDoc& doc) {
    if (doc.viewCount() != 1 || !doc.views[0].frameStore.IsCalibrated() || doc.calibrationPoints.empty()) return;
    Calibrate(doc, {CalibrationPositions(doc, doc.views[0].frameStore)});
}

bool PosturePointsLevel(const CKadivoDoc& doc) {
    if (doc.calibrationType != static_cast<int>(CalibrationType::Posture2D)) return false;
    const FrameRecord& record = doc.current().frameStore.calibrationRecord;
    return record.imagePos[0].y == record.imagePos[3].y;
}

void InstallCalibrationSteps(SequenceSteps& steps) {
    steps.calibrateViews = CalibrateViews;
    steps.calibrateOnOpen = CalibrateSingleViewOnOpen;
}

}  // namespace kadivo
