#pragma once

#include "Geometry.h"

#include <array>
#include <string>

namespace kadivo {

class CKadivoDoc;

// Rotation of the segment pair P1–P2–P3 at P2 as Z, X, Y angles in degrees.
using RotationGroup = std::array<float, 3>;
RotationGroup SegmentRotation(const Point3& p1, const Point3& p2, const Point3& p3);

// Writes the smoothed motion of the chain of model points p0–p1–…–p7 as a BVH file with a
// fixed skeleton.
//
// The hierarchy declares 57 channels (six for Hips, three for each other joint); every
// motion line carries all 57. The six rotation groups, measured at the chain's inner points
// p1..p6, fill the channels of LeftHip, LeftKnee, LeftAnkle, RightHip, RightKnee and
// RightAnkle, in this order; every other channel holds 0.000000. A group whose points are
// missing (fewer than eight model points) or degenerate (coincident or collinear points, or
// a first segment along X) is written as zeros.
class BvhExporter {
public:
    explicit BvhExporter(CKadivoDoc& doc) : doc_(doc) {}
    // The save box with its overwrite question, then the file; false when nothing was written.
    bool Export();
    std::string Text() const;

private:
    CKadivoDoc& doc_;
};

}  // namespace kadivo
