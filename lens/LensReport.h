#pragma once

#include "CheckerboardCalibration.h"

#include <string>
#include <vector>

namespace kadivo {

// What a checkerboard calibration found, a line each: the picture size, every coefficient
// with its standard deviation ("k1: -0.280875121 ± 0.00412"), the frames used with their
// RMS errors, the overall RMS and the share of the picture the boards covered.
std::vector<std::string> LensCalibrationReport(const LensCalibration& calibration);

// `picture` as an ideal camera of the same focal lengths would have taken it: each pixel
// taken from where the lens shows it (bilinearly), grey outside the picture.
GreyPicture UndistortPicture(const LensModel& lens, const GreyPicture& picture);

}  // namespace kadivo
