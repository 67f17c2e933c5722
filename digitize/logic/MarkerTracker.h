#pragma once

#include "Geometry.h"
#include "MarkerSearch.h"

#include <optional>

namespace kadivo {

class CKadivoDoc;
class VideoSource;

// The locate methods of the options ("Locate Next Point Using").
inline constexpr int kLocateByPreviousPosition = 0;
inline constexpr int kLocateByComputerVision = 1;
inline constexpr int kLocateByHand = 2;  // "None"

// Where the next point of a camera view's current frame is expected, in frame coordinates.
struct LocatedPoint {
    Point2f at;
    // The match moved further than "Threshold Movement": `at` is the point's previous position.
    bool lost = false;
};

// The search values of `view`: the document's sizes (kept in their ranges), the method and
// the marker values of the view's source.
SearchSettings TrackingSettingsOf(const CKadivoDoc& doc, const VideoSource& source);

// Takes the template of the next point of `view`'s current frame around `at`; one placed by
// hand is also kept as the point's anchor for refining later matches.
void CaptureNextTemplate(CKadivoDoc& doc, int view, Point2f at, bool byHand);

// Where a click at `at` digitizes in `view`'s current frame: with "Snap clicks to the marker
// centre", the centroid of the marker under it (bright or dark as "Bright Marker" says) when
// that lies within "Size" pixels, else `at`.
Point2f SnappedClick(CKadivoDoc& doc, int view, Point2f at);

// Where the next point of `view`'s current frame lies: nothing with "None", on a complete
// frame, or without a template from the frame before. Fills `images` when a search ran.
std::optional<LocatedPoint> LocateNextPoint(CKadivoDoc& doc, int view, SearchImages* images = nullptr);

// The frames of `view` before its current frame as if its points had just been clicked: every
// point of the previous frame's record gets its template from there.
void CaptureTemplatesFromPreviousFrame(CKadivoDoc& doc, int view);

}  // namespace kadivo
