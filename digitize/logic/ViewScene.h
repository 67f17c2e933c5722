#pragma once

#include "Epipolar.h"
#include "Geometry.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// What a digitizing window draws over its frame, in frame coordinates.
struct ViewScene {
    struct Cross {
        Point2f at;
        int index = 0;               // the model point (the calibration point in Calibration mode)
        std::optional<double> residual;  // its reconstruction residual, when two or more views saw it
        bool suspect = false;        // a residual above kSuspectResidual
    };
    struct Segment {
        Point2f from, to;
    };
    struct Guide {
        // The epipolar line of the next point inside the frame: its two ends, or through the
        // view's lens a curve of many points.
        std::vector<ImagePointD> path;
        int sourceView = 0;    // the view (0-based) that saw the point
    };

    static constexpr double kSuspectResidual = 3.0;

    std::vector<Cross> crosses;
    std::vector<Segment> segments;
    std::vector<Guide> guides;
    bool syncFrame = false;  // the frame shown is the view's sync frame
};

// The scene of camera view `view` of `doc` for a frame of `width` × `height` pixels: the
// points of its active record, the segments between them (Movement mode), the epipolar lines
// of the next point from the other views of the same moment, and whether the frame is the
// view's sync frame.
ViewScene BuildViewScene(const CKadivoDoc& doc, int view, double width, double height);

// The reconstruction residual of model point `point` at the moment camera view `view` shows,
// from every view that has digitized it there; nothing with fewer than two such views or
// without a spatial calibration.
std::optional<double> PointResidual(const CKadivoDoc& doc, int view, int point);

// Pane 5 while the mouse is over a frame: "%2.2f/%2.2f"; with the residual of the last
// point digitized in the frame when there is one.
std::string PositionReadout(Point2f at, std::optional<double> residual);
inline constexpr const char* kNoPositionReadout = "X:0000/Y:0000";

}  // namespace kadivo
