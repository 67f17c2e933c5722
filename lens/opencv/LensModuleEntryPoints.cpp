// The function CalibrateLensFromCheckerboard finds by name in the loaded lens module.

#include "ModuleExport.h"
#include "OpenCvLensModule.h"

#include <type_traits>

KADIVO_MODULE_EXPORT int KadivoCalibrateLens(const kadivo::BoardFrameSource* fetch, const std::vector<int>* frames,
                                             const kadivo::CheckerboardSpec* board,
                                             const kadivo::LensCalibrationProgress* progress,
                                             std::optional<kadivo::LensCalibration>* result, std::string* error) {
    return kadivo::AtModuleEdge(
        *error, [&] { *result = kadivo::opencv::CalibrateFromCheckerboard(*fetch, *frames, *board, *progress); });
}

// The type the caller looks the entry point up as.
static_assert(std::is_same_v<decltype(&KadivoCalibrateLens), KadivoCalibrateLensFunction>);
