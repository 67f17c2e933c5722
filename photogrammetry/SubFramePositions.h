#pragma once

#include "CDltCalibration.h"

#include <array>

namespace kadivo {

// The weights of the cubic through frames k−1, k, k+1 and k+2 at k + t (0 ≤ t < 1).
std::array<double, 4> CubicWeights(double t);

// A position at k + t from the positions taken at frames k−1 .. k+2 (null where that frame
// has no record): missing unless frames k and k+1 both hold the point; the cubic through
// all four where the outer two hold it too, else the straight line between the two.
ImagePoint BetweenFrames(const ImagePoint* before, const ImagePoint& at, const ImagePoint& next, const ImagePoint* after,
                         double t);

}  // namespace kadivo
