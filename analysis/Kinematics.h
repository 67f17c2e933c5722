#pragma once

#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;
class WorldData;

enum class Quantity { Position, Velocity, Acceleration };
// X, Y, Z, or "3D": the distance from the world origin.
enum class Component { X = 0, Y = 1, Z = 2, Distance = 3 };

// Position, velocity or acceleration of world entry `entry` (a model point, or `pointCount`
// for the centre of gravity) over every frame, from the smoothed or the raw world data.
// Frames in which the entry is missing, and the derivatives that would need them, are NaN.
std::vector<float> LinearSeries(const CKadivoDoc& doc, int entry, bool smoothed, Quantity quantity, Component component);

// A planar angle at `vertex` between the segment from `firstPoint` and the segment to
// `secondPoint`.
struct ExportJoint {
    int vertex = 0;
    int firstPoint = 0;
    int secondPoint = 0;
    int side = 2;
    std::string name;
};

// One joint for every segment ending at a point combined with every segment of that point.
std::vector<ExportJoint> BuildJointList(const CKadivoDoc& doc);

// The joint's angle in degrees in every frame, in the plane perpendicular to `axis`
// (0 X, 1 Y, 2 Z), tracked continuously from frame to frame; NaN in a frame where one of
// its three points is missing.
std::vector<float> JointAngleSeries(const WorldData& world, const ExportJoint& joint, int frames, int axis,
                                    bool counterClockwise);

// The angle, angular velocity or angular acceleration of a joint.
std::vector<float> AngularSeries(const CKadivoDoc& doc, const ExportJoint& joint, bool smoothed, Quantity quantity,
                                 int axis, bool counterClockwise);

}  // namespace kadivo
