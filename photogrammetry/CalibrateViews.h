#pragma once

#include "CDltCalibration.h"

#include <vector>

namespace kadivo {

class CKadivoDoc;
struct SequenceSteps;
class ViewFrameStore;

// The sequence's control points as a view's calibration frame holds them, as calibration
// takes them (see PhotogrammetryPosition).
std::vector<ImagePoint> CalibrationPositions(const CKadivoDoc& doc, const ViewFrameStore& store);

// Calibrates the document's views from their calibration frames: one complete view gets the
// planar calibration (with the posture rule for the posture method), two or more get the
// spatial one when every view is complete. Incomplete setups, and a sequence without a
// calibration profile, change nothing, silently.
void CalibrateViews(CKadivoDoc& doc);

// The planar calibration of a sequence with one calibrated view, from the stored control
// points as they are; run after the sequence is opened.
void CalibrateSingleViewOnOpen(CKadivoDoc& doc);

// Whether the posture method cannot scale its points: the first and fourth lie on the same
// image row of the current view's calibration frame.
bool PosturePointsLevel(const CKadivoDoc& doc);

// Installs both as the document's calibration steps.
void InstallCalibrationSteps(SequenceSteps& steps);

}  // namespace kadivo
