#pragma once

#include <functional>
#include <string>

namespace kadivo {

class CKadivoDoc;

// Called once per frame by long numerical work.
using FrameProgress = std::function<void()>;

// The numerical steps the document starts but does not implement itself. The libraries
// that provide them install them here; a step that is not installed is skipped.
struct SequenceSteps {
    using Step = std::function<void(CKadivoDoc&)>;
    Step prepareNewModel;     // segment parameters of a model just copied from a profile
    Step calibrateViews;      // DLT parameters of the views with a complete calibration frame
    Step calibrateOnOpen;     // the planar calibration of a single calibrated view, after opening
    // Why the lenses cannot be solved from the control points, for the user; empty when they can.
    std::function<std::string(const CKadivoDoc&)> lensObstacle;
    // World coordinates of every digitized frame, with their completion.
    std::function<void(CKadivoDoc&, const FrameProgress&)> transformImageData;
    Step refreshWorldData;    // interpolation, smoothing and derived data after their options changed
    // The world data brought up to date after an edit of the image data; false when they
    // did not change.
    std::function<bool(CKadivoDoc&)> updateWorldData;
};

}  // namespace kadivo
