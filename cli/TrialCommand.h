#pragma once

#include "TrialExports.h"

#include <string>
#include <vector>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

extern const char* const kTrialUsage;

// kadivo-cli trial SEQUENCE.kdv [--track none|current|all] [--exports c3d;trc;...] [--out DIR]
TrialRequest ParseTrialRequest(const std::vector<std::string>& args);

// Why "Transform Image Data" cannot run on the sequence without asking for a calibration
// profile; null when it can (imported DLT coefficients need no profile and no frames).
const char* TransformObstacle(const CKadivoDoc& doc);

// Tracks, transforms when the sequence is calibrated and the exports need world data, and
// writes the exports with their default options, replacing earlier ones. The sequence file
// itself is left as it is. Prints one line saying what was done.
int RunTrial(const TrialRequest& request, CKadivoDoc& doc);

}  // namespace kadivo::cli
