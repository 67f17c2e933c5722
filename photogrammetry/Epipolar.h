#pragma once

#include "DltParameterTable.h"
#include "Geometry.h"
#include "ViewPositions.h"

#include <optional>
#include <utility>
#include <vector>

namespace kadivo {

// A line a·x + b·y + c = 0 in image pixels.
struct ImageLine {
    double a = 0.0, b = 0.0, c = 0.0;
    // Distance of (x, y) from the line.
    double Distance(double x, double y) const;
};

struct ImagePointD {
    double x = 0.0, y = 0.0;
};

// The epipolar line in view `to` of the image point (u, v) of view `from`: where every world
// point that `from` sees at (u, v) appears in `to`. Both views need spatial (11-parameter)
// calibrations; nothing otherwise or when the geometry gives no line.
std::optional<ImageLine> EpipolarLine(const DltParameterTable& table, int from, double u, double v, int to);

// The part of `line` inside the frame [0, width] × [0, height]; nothing when it misses it.
std::optional<std::pair<ImagePointD, ImagePointD>> ClipToFrame(const ImageLine& line, double width, double height);

// The epipolar line in view `to` of the point that view `from` saw at `seen`, as the picture
// of `to` shows it: through `to`'s lens a curve, given as points a few pixels apart inside
// the frame [0, width] × [0, height] (the two ends of the line without a lens). Each view's
// positions are taken as `positions` (indexed by 0-based view) says. Empty when there is no
// line or it misses the frame.
std::vector<ImagePointD> EpipolarCurve(const DltParameterTable& table, int from, Point2f seen, int to,
                                       const std::vector<ViewPositions>& positions, double width, double height);

// The image position of one point in one view (1-based) with a spatial calibration.
struct ViewObservation {
    int view = 1;
    Point2f position;
};

// The point reconstructed by least squares from two or more views, and the largest distance
// in the pictures' pixels between where the views saw it and where the reconstruction, through
// each view's lens, shows it. Positions are taken as `positions` (indexed by 0-based view)
// says. Nothing with fewer than two views or without a spatial calibration.
std::optional<double> ReconstructionResidual(const DltParameterTable& table, const std::vector<ViewObservation>& seen,
                                             const std::vector<ViewPositions>& positions);

}  // namespace kadivo
