#include "ViewGeometry.h"

#include <algorithm>

namespace kadivo {

Point2f ViewGeometry::ToFrame(WindowPoint window) const {
    return {static_cast<float>(window.x / zoom + scrollX),
            static_cast<float>((displayHeight - window.y) / zoom - scrollY)};
}

WindowPoint ViewGeometry::ToWindow(Point2f frame) const {
    return {(static_cast<double>(frame.x) - scrollX) * static_cast<double>(zoom),
            displayHeight - (static_cast<double>(frame.y) + scrollY) * static_cast<double>(zoom)};
}

int SneakZoomFactor(int percentage) { return percentage > 0 ? std::max(1, 100 / percentage) : 1; }

Point2f DigitizedPosition(const ViewGeometry& geometry, WindowPoint press, WindowPoint release, int sneakZoomPercentage) {
    const int k = SneakZoomFactor(sneakZoomPercentage);
    const Point2f at = geometry.ToFrame(press);
    return {static_cast<float>(at.x + (release.x - press.x) / k), static_cast<float>(at.y - (release.y - press.y) / k)};
}

}  // namespace kadivo
