#pragma once

#include "LensModel.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kadivo {

// An 8-bit grey picture, top row first.
struct GreyPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
};

// A printed checkerboard: its squares across and down, and a square's side in the unit the
// user measures in (the lens does not depend on it).
struct CheckerboardSpec {
    int columns = 0, rows = 0;
    double square = 1.0;
};

// A frame in which the board was found, with the RMS reprojection error of its corners.
struct BoardFrame {
    int frame = 0;
    double rms = 0.0;
};

struct LensCalibration {
    LensModel lens;
    double rms = 0.0;                  // over every corner of every frame used, in pixels
    std::vector<BoardFrame> frames;    // the frames used, in order
    int framesSearched = 0;
    double coverage = 0.0;             // the share of the picture the boards covered, 0 to 1
    // One standard deviation of fx, fy, cx, cy, k1, k2, k3, p1, p2 as the solver estimates it.
    std::array<double, 9> deviations{};
};

// Why a lens could not be calibrated, as the user is told.
struct LensCalibrationError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline constexpr int kFewestBoardFrames = 8;
inline constexpr double kEnoughCoverage = 0.5;

// Fetches frame `index` of `count` as a grey picture; false when it cannot be decoded.
using BoardFrameSource = std::function<bool(int index, GreyPicture& picture)>;
// Told after each frame searched; returning false cancels.
using LensCalibrationProgress = std::function<bool(int searched, int total)>;

// The frames searched for the board: every frame of a short video, else `wanted` spread
// evenly over it.
std::vector<int> BoardFramesToSearch(int frameCount, int wanted = 60);

// Finds the board's inner corners to a fraction of a pixel in each frame searched and solves
// the camera's focal lengths, principal point and k1, k2, k3, p1, p2 from them. Nothing when
// cancelled; LensCalibrationError when the board is found in fewer than kFewestBoardFrames
// frames (saying in how many) or the board or frames are unusable.
std::optional<LensCalibration> CalibrateLensFromCheckerboard(const BoardFrameSource& fetch, int frameCount,
                                                             const CheckerboardSpec& board,
                                                             const LensCalibrationProgress& progress = {});

// The warning for a calibration whose boards covered too little of the picture; empty otherwise.
std::string CoverageWarning(const LensCalibration& calibration);

}  // namespace kadivo
