#pragma once

#include <array>
#include <cmath>
#include <string>

namespace kadivo::samples {

// The demo: a figure of seven bright markers walking past two cameras, and a calibration
// frame of twelve control points that stands in the scene for the first frame only. World
// coordinates are metres: x along the walkway, y up, z towards the cameras. Image
// coordinates are those of a digitized point: origin at the bottom-left corner, y up, and a
// click on pixel (column c, row r counted from the bottom) gives (c, r + 1).
struct DemoScene {
    static constexpr int kWidth = 512;
    static constexpr int kHeight = 400;  // taller Motion-JPEG video counts as interlaced
    static constexpr int kFramesPerSecond = 50;
    static constexpr int kFrames = 75;
    static constexpr int kMarkers = 7;
    static constexpr int kControlPoints = 12;
    static constexpr double kPi = 3.14159265358979323846;

    struct Point {
        double x = 0.0, y = 0.0, z = 0.0;
    };
    struct Image {
        double u = 0.0, v = 0.0;
    };
    // The eleven DLT parameters of a camera: u = (L1 x + L2 y + L3 z + L4) / (L9 x + L10 y + L11 z + 1)
    // and v likewise with L5 … L8.
    using Camera = std::array<double, 11>;

    static constexpr std::array<const char*, kMarkers> kMarkerNames{"Head", "Shoulder", "Elbow", "Wrist", "Hip", "Knee", "Ankle"};
    // The segments of the stick figure, as pairs of marker indices.
    static constexpr std::array<std::array<int, 2>, 6> kSegments{{{0, 1}, {1, 2}, {2, 3}, {1, 4}, {4, 5}, {5, 6}}};

    // The corners of a 2.4 × 1.8 × 1.2 m box and the middle points of its four upright edges.
    static std::array<Point, kControlPoints> ControlPoints() {
        std::array<Point, kControlPoints> points{};
        int n = 0;
        for (double y : {0.0, 1.8})
            for (double z : {0.6, -0.6})
                for (double x : {0.8, 3.2}) points[static_cast<std::size_t>(n++)] = {x, y, z};
        for (double z : {0.6, -0.6})
            for (double x : {0.8, 3.2}) points[static_cast<std::size_t>(n++)] = {x, 0.9, z};
        return points;
    }

    // The markers on the figure's right side at frame `f`: a walk at 1.3 m/s with a stride of
    // 1.1 s, the legs and the bent arm swinging in the walking plane.
    static std::array<Point, kMarkers> Markers(int f) {
        const double t = static_cast<double>(f) / kFramesPerSecond;
        const double phase = 2.0 * kPi * t / 1.1;
        const double side = 0.15;  // the right side faces the cameras
        const Point hip{1.0 + 1.3 * t, 0.95 + 0.02 * std::cos(2.0 * phase), side};
        const double thigh = 0.35 * std::sin(phase);                   // forward from the vertical
        const double shank = thigh - (0.35 + 0.3 * std::sin(phase - 1.2));
        const Point knee = Along(hip, thigh, 0.45);
        const Point ankle = Along(knee, shank, 0.43);
        const Point shoulder{hip.x + 0.04, hip.y + 0.5, side};
        const Point head{shoulder.x + 0.05, shoulder.y + 0.27, side - 0.05};
        const double upperArm = -0.3 * std::sin(phase);
        const Point elbow = Along(shoulder, upperArm, 0.3);
        const Point wrist = Along(elbow, upperArm + 1.6, 0.27);
        return {head, shoulder, elbow, wrist, hip, knee, ankle};
    }

    // The figure's height from the floor to the head marker at its tallest, for judging errors.
    static constexpr double kFigureHeight = 1.74;

    // A camera at `centre` looking at `target`, `focal` pixels from its principal point.
    static Camera LookAt(Point centre, Point target, double focal) {
        const Point forward = Normal({target.x - centre.x, target.y - centre.y, target.z - centre.z});
        const Point right = Normal(Cross(forward, {0.0, 1.0, 0.0}));
        const Point up = Cross(right, forward);
        const double cu = kWidth / 2.0, cv = kHeight / 2.0;
        const Point rowU{focal * right.x + cu * forward.x, focal * right.y + cu * forward.y, focal * right.z + cu * forward.z};
        const Point rowV{focal * up.x + cv * forward.x, focal * up.y + cv * forward.y, focal * up.z + cv * forward.z};
        const double scale = -Dot(forward, centre);
        return {rowU.x / scale,    rowU.y / scale,    rowU.z / scale,    -Dot(rowU, centre) / scale,
                rowV.x / scale,    rowV.y / scale,    rowV.z / scale,    -Dot(rowV, centre) / scale,
                forward.x / scale, forward.y / scale, forward.z / scale};
    }

    static std::array<Camera, 2> Cameras() {
        return {LookAt({-1.0, 1.4, 5.2}, {2.0, 0.9, 0.0}, 850.0), LookAt({5.0, 1.4, 5.2}, {2.0, 0.9, 0.0}, 850.0)};
    }

    static Image Project(const Camera& L, Point p) {
        const double w = L[8] * p.x + L[9] * p.y + L[10] * p.z + 1.0;
        return {(L[0] * p.x + L[1] * p.y + L[2] * p.z + L[3]) / w, (L[4] * p.x + L[5] * p.y + L[6] * p.z + L[7]) / w};
    }

    static std::string VideoName(int camera) { return camera == 0 ? "demo-left.avi" : "demo-right.avi"; }

private:
    static Point Along(Point from, double angle, double length) {
        return {from.x + length * std::sin(angle), from.y - length * std::cos(angle), from.z};
    }
    static Point Cross(Point a, Point b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
    static double Dot(Point a, Point b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
    static Point Normal(Point a) {
        const double n = std::sqrt(Dot(a, a));
        return {a.x / n, a.y / n, a.z / n};
    }
};

}  // namespace kadivo::samples
