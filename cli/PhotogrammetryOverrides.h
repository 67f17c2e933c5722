#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

// What calibrate and transform take over the sequence's own photogrammetry settings:
// --exact-positions, --lens-from-control-points[=tangential] and --lens VIEW=FILE (repeatable).
struct PhotogrammetryOverrides {
    bool exactPositions = false;
    int lensFromControlPoints = 0;  // as the sequence option: 1 radial, 2 with tangential terms
    std::vector<std::pair<int, std::string>> lensFiles;  // 1-based view, lens file
};

// Takes these options out of `args`; the other arguments come back in order.
std::vector<std::string> TakePhotogrammetryOverrides(const std::vector<std::string>& args, PhotogrammetryOverrides& overrides);

// Applies them to an opened sequence. Every lens file is read and checked against its view
// before anything changes; a damaged file, a view the sequence does not have, a lens of
// another picture size or too few control points throw with the reason.
void ApplyPhotogrammetryOverrides(const PhotogrammetryOverrides& overrides, CKadivoDoc& doc);

// One line of a view's lens for the calibration report; empty without a lens.
std::string LensLine(const CKadivoDoc& doc, int view);

}  // namespace kadivo::cli
