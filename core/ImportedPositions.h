#pragma once

#include "Geometry.h"

#include <utility>
#include <vector>

namespace kadivo {

// Positions another program found in one frame of a camera view: model point index and
// image position (kNoPosition for a point to mark missing). Points not listed keep theirs.
struct ImportedFrame {
    int frame = 0;
    std::vector<std::pair<int, Point2f>> points;
};

// How another program's 2D tracks go into a camera view: the model point each of their
// points becomes (−1: left out), and the likelihood under which a sample counts as not found.
struct TrackImportPlan {
    std::vector<int> modelPointOf;
    float minimumLikelihood = 0.6f;
};

}  // namespace kadivo
