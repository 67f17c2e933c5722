#include "ViewGeometry.h"

#include "LensDistortion.h"

#include <algorithm>

namespace kadivo {

Point2f ViewGeometry::ToFrame(WindowPoint window) const {
    const double x = window.x / zoom + scrollX, y = (displayHeight - window.y) / zoom - scrollY;
    if (!undistorted) return {static_cast<float>(x), static_cast<float>(y)};
    const ImagePoint seen = PositionOfPicture(*undistorted, DistortPicturePoint(*undistorted, PictureOfPosition(*undistorted, {x, y})));
    return {static_cast<float>(seen.x), static_cast<float>(seen.y)};
}

WindowPoint ViewGeometry::ToWindow(Point2f frame) const {
    double x = frame.x, y = frame.y;
    if (undistorted)
        if (const std::optional<PicturePoint> ideal = UndistortPicturePoint(*undistorted, PictureOfPosition(*undistorted, {x, y}))) {
            const ImagePoint shown = PositionOfPicture(*undistorted, *ideal);
            x = shown.x;
            y = shown.y;
        }
    return {(x - scrollX) * static_cast<double>(zoom), displayHeight - (y + scrollY) * static_cast<double>(zoom)};
}

int SneakZoomFactor(int percentage) { return percentage > 0 ? std::max(1, 100 / percentage) : 1; }

Point2f DigitizedPosition(const ViewGeometry& geometry, WindowPoint press, WindowPoint release, int sneakZoomPercentage) {
    const int k = SneakZoomFactor(sneakZoomPercentage);
    const Point2f at = geometry.ToFrame(press);
    return {static_cast<float>(at.x + (release.x - press.x) / k), static_cast<float>(at.y - (release.y - press.y) / k)};
}

}  // namespace kadivo
