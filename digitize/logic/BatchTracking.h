#pragma once

#include "AutomaticDigitizing.h"

#include <optional>
#include <string>

namespace kadivo {

class CKadivoDoc;

// Automatic digitizing without a window: no timer, no cursor, no scrolling.
class HeadlessTrackingHost : public TrackingHost {
public:
    bool StartTimer(int) override { return true; }
    void StopTimer() override {}
    ScrollPos Scroll() const override { return {0, 0}; }
    void RestoreView(ScrollPos, int) override {}
    void Redraw() override {}
    void PlaceCursor(Point2f) override {}
    std::optional<Point2f> Pointer() const override { return std::nullopt; }
    bool ShowsMessages() const override { return false; }
};

// How tracking one camera view went.
struct TrackingReport {
    int view = 0;
    int framesTracked = 0;  // frames that tracking completed
    // Where tracking stopped before the end: the frame and the point it could not place.
    std::optional<AutomaticDigitizing::LostMarker> stoppedAt;
    bool lost = false;  // the marker moved further than the threshold (else no position was known)
};

// Tracks camera view `view` from its first frame that is not complete (from the current frame
// on) to the end, as "Go" does once the points of the frame before have been clicked:
// templates come from that frame's points.
TrackingReport TrackView(CKadivoDoc& doc, int view);

// "view 1: 49 frames tracked", with where and why tracking stopped early.
std::string ReportLine(const CKadivoDoc& doc, const TrackingReport& report);

}  // namespace kadivo
