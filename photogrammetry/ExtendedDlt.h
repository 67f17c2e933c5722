#pragma once

#include "CDltCalibration.h"
#include "LensModel.h"

#include <optional>
#include <vector>

namespace kadivo {

// Which distortion terms the extended DLT solves beside the camera's parameters.
enum class LensTerms : int { Radial = 1, RadialAndTangential = 2 };

// The unknowns of one view's extended DLT: the 11 (spatial) or 8 (planar) DLT parameters
// and k1, k2, with p1, p2 for tangential terms.
int ExtendedDltUnknowns(bool spatial, LensTerms terms);
// The fewest control points whose equations outnumber the unknowns.
int ExtendedDltPointsNeeded(bool spatial, LensTerms terms);

// One view's lens solved together with its DLT from its control points, seen at `seen`
// (digitized positions, as calibration takes them before any lens correction) with world
// coordinates `world`: the reprojection error through the distorting lens is minimised by
// Levenberg–Marquardt from the plain DLT. A spatial lens takes its principal point and focal
// lengths from the DLT; a planar one is centred on the picture, with half its diagonal as the
// focal length (the coefficients scale with that choice). Nothing with too few points, a
// picture without a size, or a fit that does not give a camera.
std::optional<LensModel> SolveLensFromControlPoints(const std::vector<ImagePoint>& seen, const std::vector<Point3>& world,
                                                    int pointCount, bool spatial, LensTerms terms, FrameSize picture);

}  // namespace kadivo
