#pragma once

#include "Kinematics.h"
#include "WorldData.h"

#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace kadivo {

class CKadivoDoc;
class CoordinateSmoothing;

// How sure the world data are. Each digitized coordinate is taken to err by the sequence's
// digitizing error and its view's calibration residual (independently, frame by frame); that
// spread goes through the reconstruction's least squares (its normal equations), then
// through the smoothing and the differences, which are linear in the data once their
// parameters are chosen, and for distances and angles through their first-order terms.

// The variance of every raw world coordinate (x, y, z of entry p in frame f at [f][p]), the
// centre of gravity's from its points' by its weights; the missing point where an entry was
// not solved.
WorldData RawWorldVariances(const CKadivoDoc& doc);

// The 95 % bands of a sequence's world data: the raw variances found once, each
// coordinate's smoothing kept for the bands that need it again.
class WorldUncertainty {
public:
    explicit WorldUncertainty(const CKadivoDoc& doc);
    ~WorldUncertainty();

    // Half the width of the 95 % band around LinearSeries with the same arguments; NaN where
    // the series has no value, or where the world data have no images behind them.
    std::vector<float> LinearHalfWidths(int entry, bool smoothed, Quantity quantity, Component component) const;

    // Half the width of the 95 % band around AngularSeries with the same arguments, in
    // degrees (a second, a second squared).
    std::vector<float> AngularHalfWidths(const ExportJoint& joint, bool smoothed, Quantity quantity, int axis,
                                         bool counterClockwise) const;

private:
    const CoordinateSmoothing& SmoothingOf(int entry, int axis, bool smoothed) const;

    const CKadivoDoc& doc_;
    WorldData variances_;
    mutable std::map<std::tuple<int, int, bool>, std::unique_ptr<CoordinateSmoothing>> smoothings_;
};

}  // namespace kadivo
