#pragma once

#include <cmath>
#include <initializer_list>

namespace kadivo {

// Where a view's lens model came from.
enum class LensSource : int { Checkerboard = 1, ControlPoints = 2 };

// A camera's lens as the Brown–Conrady model describes it, in the picture's own pixels
// (origin at the top-left corner, y down, as the camera and other calibration tools count
// them): an ideal point at normalized (x, y) = ((u − cx) / fx, (v − cy) / fy) appears at
//   x·(1 + k1 r² + k2 r⁴ + k3 r⁶) + 2 p1 x y + p2 (r² + 2 x²),
//   y·(1 + k1 r² + k2 r⁴ + k3 r⁶) + p1 (r² + 2 y²) + 2 p2 x y,   r² = x² + y².
// The model belongs to pictures of width × height.
struct LensModel {
    double fx = 0.0, fy = 0.0, cx = 0.0, cy = 0.0;
    double k1 = 0.0, k2 = 0.0, k3 = 0.0, p1 = 0.0, p2 = 0.0;
    int width = 0, height = 0;
    LensSource source = LensSource::Checkerboard;

    friend bool operator==(const LensModel&, const LensModel&) = default;
};

// The largest picture side a lens is taken for: its correction is tabulated over the picture.
inline constexpr int kLargestLensPicture = 16384;

// Whether the model is usable: positive focal lengths, finite coefficients and a picture size.
inline bool LensModelIsUsable(const LensModel& l) {
    for (double value : {l.fx, l.fy, l.cx, l.cy, l.k1, l.k2, l.k3, l.p1, l.p2})
        if (!std::isfinite(value)) return false;
    return l.fx > 0.0 && l.fy > 0.0 && l.width > 0 && l.height > 0 && l.width <= kLargestLensPicture &&
           l.height <= kLargestLensPicture;
}

}  // namespace kadivo
