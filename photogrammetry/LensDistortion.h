#pragma once

#include "CDltCalibration.h"
#include "LensModel.h"

#include <optional>

namespace kadivo {

// A point in a picture's own pixels: origin at the top-left corner, y down.
struct PicturePoint {
    double u = 0.0, v = 0.0;
};

// Where the lens shows the point that an ideal (distortion-free) camera would show at `ideal`.
PicturePoint DistortPicturePoint(const LensModel& lens, PicturePoint ideal);

// Where an ideal camera would show what the lens shows at `seen`: the inverse of
// DistortPicturePoint, solved by Newton's method to a millionth of a pixel. Nothing where
// the model folds over (no unique inverse) or the iteration does not settle.
std::optional<PicturePoint> UndistortPicturePoint(const LensModel& lens, PicturePoint seen);

// Digitized positions count from the bottom-left corner with y up; the lens from the top.
inline PicturePoint PictureOfPosition(const LensModel& lens, ImagePoint position) {
    return {position.x, lens.height - position.y};
}
inline ImagePoint PositionOfPicture(const LensModel& lens, PicturePoint picture) {
    return {picture.u, lens.height - picture.v};
}

}  // namespace kadivo
