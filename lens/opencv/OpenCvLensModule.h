#pragma once

#include "CheckerboardCalibration.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo::opencv {

// The lens module's service, which CalibrateLensFromCheckerboard reaches through
// LensModuleEntryPoints: searches `frames` for the board's inner corners and solves the lens
// from them. The board is checked before it comes here.
std::optional<LensCalibration> CalibrateFromCheckerboard(const BoardFrameSource& fetch, const std::vector<int>& frames,
                                                         const CheckerboardSpec& board, const LensCalibrationProgress& progress);

}  // namespace kadivo::opencv

// The entry point CalibrateLensFromCheckerboard looks up after loading the module: 1 with
// `result` set (empty when cancelled), else 0 with the reason in `error`.
extern "C" {
using KadivoCalibrateLensFunction = int (*)(const kadivo::BoardFrameSource* fetch, const std::vector<int>* frames,
                                            const kadivo::CheckerboardSpec* board,
                                            const kadivo::LensCalibrationProgress* progress,
                                            std::optional<kadivo::LensCalibration>* result, std::string* error);
}
