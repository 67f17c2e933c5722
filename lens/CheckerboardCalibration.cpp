#include "CheckerboardCalibration.h"

#include "LoadableModule.h"
#include "opencv/OpenCvLensModule.h"

#include <cmath>
#include <cstdio>

namespace kadivo {

namespace {

struct LensModule {
    static constexpr const char* kName = "libkadivo_lens_solver.so";
    KadivoCalibrateLensFunction calibrate = nullptr;
    std::string error;

    bool Take(void* handle) {
        calibrate = ModuleEntry<KadivoCalibrateLensFunction>(handle, "KadivoCalibrateLens");
        return calibrate != nullptr;
    }
};

}  // namespace

std::vector<int> BoardFramesToSearch(int frameCount, int wanted) {
    std::vector<int> frames;
    if (frameCount <= 0) return frames;
    if (frameCount <= wanted) {
        for (int f = 0; f < frameCount; ++f) frames.push_back(f);
        return frames;
    }
    for (int i = 0; i < wanted; ++i) frames.push_back(static_cast<int>(static_cast<long long>(i) * (frameCount - 1) / (wanted - 1)));
    return frames;
}

std::optional<LensCalibration> CalibrateLensFromCheckerboard(const BoardFrameSource& fetch, int frameCount,
                                                             const CheckerboardSpec& board,
                                                             const LensCalibrationProgress& progress) {
    if (board.columns < 3 || board.rows < 3 || board.columns > 100 || board.rows > 100)
        throw LensCalibrationError("A checkerboard needs between 3 and 100 squares each way");
    if (!(board.square > 0.0) || !std::isfinite(board.square)) throw LensCalibrationError("The square size must be positive");
    const LensModule& module = LoadedModule<LensModule>();
    if (!module.calibrate) throw LensCalibrationError("The lens cannot be calibrated: " + module.error);
    const std::vector<int> frames = BoardFramesToSearch(frameCount);
    std::optional<LensCalibration> result;
    std::string error;
    if (!module.calibrate(&fetch, &frames, &board, &progress, &result, &error)) throw LensCalibrationError(error);
    return result;
}

std::string CoverageWarning(const LensCalibration& calibration) {
    if (calibration.coverage >= kEnoughCoverage) return {};
    char text[200];
    std::snprintf(text, sizeof text,
                  "The board covered only %.0f %% of the picture; film it also near the edges and corners, where the lens "
                  "distorts most.",
                  100.0 * calibration.coverage);
    return text;
}

}  // namespace kadivo
