#pragma once

#include "Kinematics.h"

#include <string>
#include <vector>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

// What `kadivo-cli series` prints: a point's (or the centre of gravity's) linear series, or
// a joint's angular one.
struct SeriesRequest {
    std::string point;   // a model point name or "CG"; empty for a joint
    int joint = -1;      // 0-based index into the joint list
    Quantity quantity = Quantity::Position;
    int axis = -1;       // 0 x, 1 y, 2 z, 3 "3d"
    bool smoothed = true;
    bool counterClockwise = false;
    bool halfWidths = false;  // --ci: each value's 95 % half-width beside it
};

// Throws std::invalid_argument for options that do not fit together.
SeriesRequest ParseSeriesRequest(const std::vector<std::string>& options);
// The 95 % half-width of each value ComputeSeries gives.
std::vector<float> ComputeHalfWidths(const CKadivoDoc& doc, const SeriesRequest& request);

// The world entry of a model point by name, or of the centre of gravity for "CG"; throws
// std::runtime_error when the model has no such point.
int WorldEntryNamed(const CKadivoDoc& doc, const std::string& name);

// Throws std::runtime_error when the sequence has no world data or no such point or joint.
std::vector<float> ComputeSeries(const CKadivoDoc& doc, const SeriesRequest& request);

}  // namespace kadivo::cli
