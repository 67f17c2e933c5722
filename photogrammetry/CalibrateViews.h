#pragma once

#include "CDltCalibration.h"

#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;
struct SequenceSteps;

// The sequence's control points as view `view`'s (0-based) calibration frame holds them, as
// calibration takes them (see ViewPositions::Taken).
std::vector<ImagePoint> CalibrationPositions(const CKadivoDoc& doc, int view);

// What stops calibration from solving the lenses from the control points, as the user is
// told: too few control points for the extended DLT's unknowns, or none. Empty when the
// option is off or nothing stops it.
std::string LensFromControlPointsObstacle(const CKadivoDoc& doc);

// Calibrates the document's views from their calibration frames: one complete view gets the
// planar calibration (with the posture rule for the posture method), two or more get the
// spatial one when every view is complete. With the option, each calibrated view without a
// checkerboard lens has its lens solved from its control points first (a lens that the option
// had solved is dropped when it is off); the residuals are distances in the picture's pixels.
// Incomplete setups, and a sequence without a calibration profile, change nothing, silently.
void CalibrateViews(CKadivoDoc& doc);

// The planar calibration of a sequence with one calibrated view, from the stored control
// points as they are; run after the sequence is opened.
void CalibrateSingleViewOnOpen(CKadivoDoc& doc);

// Whether the posture method cannot scale its points: the first and fourth lie on the same
// image row of the current view's calibration frame.
bool PosturePointsLevel(const CKadivoDoc& doc);

// Installs these as the document's calibration steps.
void InstallCalibrationSteps(SequenceSteps& steps);

}  // namespace kadivo
