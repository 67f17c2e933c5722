#pragma once

#include "Geometry.h"
#include "LensModel.h"

#include <optional>

namespace kadivo {

// A point in window pixels, y growing downwards.
struct WindowPoint {
    double x = 0.0, y = 0.0;
    friend bool operator==(const WindowPoint&, const WindowPoint&) = default;
};

// How a digitizing window shows its frame: the zoom factor, the scroll offsets in frame
// pixels from the top-left corner, and the height of the zoomed frame in window pixels. With
// `undistorted` the window shows the frame as an ideal camera behind that lens would: frame
// points are shown where the lens correction puts them, and window points taken back to where
// the picture has them.
struct ViewGeometry {
    float zoom = 1.0f;
    int scrollX = 0, scrollY = 0;
    int displayHeight = 0;
    std::optional<LensModel> undistorted;

    // Frame coordinates (origin at the bottom-left corner of the picture) of a window point:
    // x = wx / z + sx, y = (H − wy) / z − sy.
    Point2f ToFrame(WindowPoint window) const;
    // Where a frame point appears in the window.
    WindowPoint ToWindow(Point2f frame) const;
};

// The magnifier's enlargement and the drag divisor: floor(100 / percentage).
int SneakZoomFactor(int percentage);

// The point digitized at release: the press point in frame coordinates, moved by the drag
// divided by the SneakZoom factor (so a drag of 8 window pixels moves 2 frame pixels by default).
Point2f DigitizedPosition(const ViewGeometry& geometry, WindowPoint press, WindowPoint release, int sneakZoomPercentage);

}  // namespace kadivo
