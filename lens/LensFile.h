#pragma once

#include "LensModel.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace kadivo {

// A lens file that cannot be read: its message names the line and what is wrong there.
struct LensFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A lens model as kadivo-cli lens writes it: the first line "kadivo-lens 1", then a line a
// value, "name value", in any order:
//   picture WIDTH HEIGHT        the pictures it belongs to
//   source checkerboard|control-points
//   fx, fy, cx, cy              focal lengths and principal point in the picture's pixels
//                               (origin top-left, y down)
//   k1, k2, k3, p1, p2          the distortion coefficients
//   rms                         the calibration's reprojection error in pixels (optional)
// Lines starting with '#' and names it does not know are passed over.
struct LensFile {
    LensModel lens;
    std::optional<double> rms;
};

std::string FormatLensFile(const LensFile& file);

// Throws LensFileError for a text that is no lens file, lacks a value or holds one that
// gives no usable model.
LensFile ParseLensFile(const std::string& text);

// The file at `path`; throws LensFileError naming the file when it cannot be read.
LensFile ReadLensFile(const std::string& path);

}  // namespace kadivo
