#include "BatchTracking.h"

#include "CKadivoDoc.h"
#include "MarkerTracker.h"

#include <algorithm>

namespace kadivo {
namespace {

int CompleteFramesFrom(const ViewFrameStore& store, int firstFrame) {
    return static_cast<int>(std::count_if(store.records().begin(), store.records().end(), [&](const FrameRecord& record) {
        return record.frame >= firstFrame && record.digitizedCount >= store.pointCount;
    }));
}

}  // namespace

TrackingReport TrackView(CKadivoDoc& doc, int view) {
    TrackingReport report;
    report.view = view;
    doc.SetCurrentView(view);
    // An opened sequence shows frame 0: tracking starts where the user would go on.
    if (doc.current().frameStore.IsComplete(kMovement)) doc.OnNextUnfinishedImage();
    const CameraView& camera = doc.views[static_cast<std::size_t>(view)];
    const int firstFrame = camera.currentFrame;
    const int before = CompleteFramesFrom(camera.frameStore, firstFrame);
    CaptureTemplatesFromPreviousFrame(doc, view);

    HeadlessTrackingHost host;
    AutomaticDigitizing tracking(doc, host);
    tracking.SetCamera(view);
    tracking.Go();
    while (tracking.Running()) tracking.Tick();

    report.framesTracked = CompleteFramesFrom(camera.frameStore, firstFrame) - before;
    const AutomaticDigitizing::Stop stop = tracking.LastStop();
    if (stop == AutomaticDigitizing::Stop::Lost) {
        report.stoppedAt = tracking.Lost();
        report.lost = true;
    } else if (stop == AutomaticDigitizing::Stop::NoPosition) {
        report.stoppedAt = AutomaticDigitizing::LostMarker{camera.currentFrame, camera.frameStore.NextIndex(kMovement)};
    }
    return report;
}

std::string ReportLine(const CKadivoDoc& doc, const TrackingReport& report) {
    std::string line = "view " + std::to_string(report.view + 1) + ": " + std::to_string(report.framesTracked) +
                       (report.framesTracked == 1 ? " frame" : " frames") + " tracked";
    if (!report.stoppedAt) return line;
    const int point = report.stoppedAt->point;
    const std::string name =
        point >= 0 && point < kModelTableSize ? doc.modelPoints[static_cast<std::size_t>(point)].name : std::string();
    line += report.lost ? "; marker lost at frame " : "; no position to track from at frame ";
    line += std::to_string(report.stoppedAt->frame) + ", point " + std::to_string(point + 1);
    if (!name.empty()) line += " (" + name + ")";
    return line;
}

}  // namespace kadivo
