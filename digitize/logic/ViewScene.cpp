#include "ViewScene.h"

#include "CKadivoDoc.h"
#include "FrameArithmetic.h"

#include <cstdio>

namespace kadivo {

namespace {

bool Seen(Point2f p) { return !(p == kNoPosition); }

bool SpatiallyCalibrated(const CKadivoDoc& doc) {
    return doc.dltValid && doc.dlt.parameterCount == 11 && doc.dlt.viewCount == doc.viewCount();
}

// The record of view `other` that holds the moment view `view` shows.
const FrameRecord* RecordAtSameMoment(const CKadivoDoc& doc, int view, int other) {
    const CameraView& shown = doc.views[static_cast<std::size_t>(view)];
    const CameraView& target = doc.views[static_cast<std::size_t>(other)];
    const std::optional<int> frame =
        OffsetFrame(shown.currentFrame, static_cast<long long>(target.syncFrame) - shown.syncFrame);
    return frame ? target.frameStore.FindRecord(*frame, kMovement) : nullptr;
}

// Where each view saw model point `point` at the moment view `view` shows.
std::vector<ViewObservation> Observations(const CKadivoDoc& doc, int view, int point) {
    std::vector<ViewObservation> seen;
    for (int other = 0; other < doc.viewCount(); ++other) {
        const FrameRecord* record = RecordAtSameMoment(doc, view, other);
        if (!record || point >= record->digitizedCount) continue;
        const Point2f at = record->imagePos[static_cast<std::size_t>(point)];
        if (Seen(at)) seen.push_back({other + 1, at});
    }
    return seen;
}

}  // namespace

std::optional<double> PointResidual(const CKadivoDoc& doc, int view, int point) {
    if (!SpatiallyCalibrated(doc) || view < 0 || view >= doc.viewCount() || point < 0 || point >= doc.pointCount)
        return std::nullopt;
    return ReconstructionResidual(doc.dlt, Observations(doc, view, point), PositionsOfViews(doc));
}

ViewScene BuildViewScene(const CKadivoDoc& doc, int view, double width, double height) {
    ViewScene scene;
    if (view < 0 || view >= doc.viewCount()) return scene;
    const CameraView& camera = doc.views[static_cast<std::size_t>(view)];
    const FrameRecord* record = camera.frameStore.ActiveRecord(doc.digitizeMode);
    const bool movement = doc.digitizeMode == kMovement;
    scene.syncFrame = camera.currentFrame == camera.syncFrame;
    if (record) {
        for (int i = 0; i < record->digitizedCount && i < kModelTableSize; ++i) {
            const Point2f at = record->imagePos[static_cast<std::size_t>(i)];
            if (!Seen(at)) continue;
            ViewScene::Cross cross{at, i, std::nullopt, false};
            if (movement) {
                cross.residual = PointResidual(doc, view, i);
                cross.suspect = cross.residual && *cross.residual > ViewScene::kSuspectResidual;
            }
            scene.crosses.push_back(cross);
            if (!movement || i >= doc.pointCount) continue;
            const ModelPoint& point = doc.modelPoints[static_cast<std::size_t>(i)];
            for (int slot = 0; slot < kMaxSegments; ++slot) {
                const int linked = point.linkedPoint[static_cast<std::size_t>(slot)];
                if (linked < 0 || linked >= record->digitizedCount || linked >= doc.pointCount) continue;
                const Point2f to = record->imagePos[static_cast<std::size_t>(linked)];
                if (Seen(to)) scene.segments.push_back({at, to});
            }
        }
    }
    const int next = camera.frameStore.NextIndex(kMovement);
    if (movement && SpatiallyCalibrated(doc) && next < doc.pointCount) {
        const std::vector<ViewPositions> positions = PositionsOfViews(doc);
        for (const ViewObservation& seen : Observations(doc, view, next)) {
            if (seen.view == view + 1) continue;
            std::vector<ImagePointD> path = EpipolarCurve(doc.dlt, seen.view, seen.position, view + 1, positions, width, height);
            if (!path.empty()) scene.guides.push_back({std::move(path), seen.view - 1});
        }
    }
    return scene;
}

std::string PositionReadout(Point2f at, std::optional<double> residual) {
    char text[96];
    if (residual)
        std::snprintf(text, sizeof text, "%2.2f/%2.2f  residual %.2f px", static_cast<double>(at.x), static_cast<double>(at.y),
                      *residual);
    else
        std::snprintf(text, sizeof text, "%2.2f/%2.2f", static_cast<double>(at.x), static_cast<double>(at.y));
    return text;
}

}  // namespace kadivo
