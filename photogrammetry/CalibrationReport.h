#pragma once

#include "CDltCalibration.h"

#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// How well one control point fits one view's calibration.
struct ControlPointError {
    int point = 0;                // 0-based
    double reprojection = 0.0;    // picture pixels between the digitized point and its projection
    double leaveOneOut = 0.0;     // the same, with the view calibrated without this point
};

// The image points of the calibration frames the last calibration used, per view: the
// current view alone for a single calibrated view, otherwise every view. Positions are
// as the calibration takes them (see ViewPositions::Taken).
std::vector<std::vector<ImagePoint>> CalibrationImagePoints(const CKadivoDoc& doc);

// Every control point's errors in view `view` (1-based) of the document's calibration,
// worst leave-one-out first. Empty without a calibration.
std::vector<ControlPointError> CalibrationReport(const CKadivoDoc& doc, int view);

inline constexpr const char* kDegenerateCalibration = "degenerate: the control points do not determine the camera";
// Whether view `view` (1-based) of the document's calibration came from a degenerate
// system (see DltSystemIsDegenerate). False without a calibration.
bool CalibrationIsDegenerate(const CKadivoDoc& doc, int view);

// "point N\treprojection X.XXX px\tleave-one-out Y.YYY px" (N 1-based).
std::string ControlPointErrorLine(const ControlPointError& error);

}  // namespace kadivo
