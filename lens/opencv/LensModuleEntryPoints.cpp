// The function CalibrateLensFromCheckerboard finds by name in the loaded lens module.

#include "ModuleExport.h"
#include "OpenCvLensModule.h"

#include <exception>
#include <type_traits>

// Nothing may be thrown across the module's edge: every failure becomes its message.
KADIVO_MODULE_EXPORT int KadivoCalibrateLens(const kadivo::BoardFrameSource* fetch, const std::vector<int>* frames,
                                             const kadivo::CheckerboardSpec* board,
                                             const kadivo::LensCalibrationProgress* progress,
                                             std::optional<kadivo::LensCalibration>* result, std::string* error) {
    try {
        *result = kadivo::opencv::CalibrateFromCheckerboard(*fetch, *frames, *board, *progress);
        return 1;
    } catch (const std::exception& failure) {
        *error = failure.what();
        return 0;
    }
}

// The type the caller looks the entry point up as.
static_assert(std::is_same_v<decltype(&KadivoCalibrateLens), KadivoCalibrateLensFunction>);
