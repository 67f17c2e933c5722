#pragma once

#include "CDltCalibration.h"
#include "LensModel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

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

// The correction of one lens made fast for many positions: the inverse is tabulated on a grid
// over the picture once; a position's correction is the grid's bilinear guess with one Newton
// step through the grid's own slope. Each cell is tried when the grid is made: where that
// step leaves more than a ten-thousandth of a pixel (near a strong lens's fold), and off the
// grid, positions are solved in full.
class LensCorrection {
public:
    explicit LensCorrection(const LensModel& lens);
    const LensModel& lens() const { return lens_; }
    // As UndistortPicturePoint, to within a ten-thousandth of a pixel.
    std::optional<PicturePoint> Undistort(PicturePoint seen) const;

private:
    static constexpr int kSpacing = 8;  // pixels between grid nodes
    std::optional<PicturePoint> FromGrid(PicturePoint seen, int column, int row) const;

    LensModel lens_;
    int columns_ = 0, rows_ = 0;
    std::vector<PicturePoint> ideal_;  // per node
    std::vector<std::uint8_t> fast_;   // per cell: the grid's step is exact enough there
};

// The correction of `lens`, shared by everything that corrects positions for it; the last few
// lenses asked for are kept.
std::shared_ptr<const LensCorrection> CorrectionFor(const LensModel& lens);

// Digitized positions count from the bottom-left corner with y up; the lens from the top.
inline PicturePoint PictureOfPosition(const LensModel& lens, ImagePoint position) {
    return {position.x, lens.height - position.y};
}
inline ImagePoint PositionOfPicture(const LensModel& lens, PicturePoint picture) {
    return {picture.u, lens.height - picture.v};
}

}  // namespace kadivo
