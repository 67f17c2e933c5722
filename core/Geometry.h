#pragma once

#include <cmath>

namespace kadivo {

// Image position of a digitized point in pixels of the full-size frame, origin bottom-left.
// (-1, -1) marks a point without position.
struct Point2f {
    float x = -1.0f;
    float y = -1.0f;
    friend bool operator==(const Point2f&, const Point2f&) = default;
};

// An image position as the computations take it: a stored position that is not a finite
// number, or lies more than a million pixels out, is a missing point (−1, −1). The stored
// value itself is kept, so a sequence is written back as it was read.
inline Point2f UsableOrMissing(Point2f p) {
    constexpr float kFarOut = 1.0e6f;
    const bool usable = std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) <= kFarOut && std::fabs(p.y) <= kFarOut;
    return usable ? p : Point2f{};
}

inline constexpr Point2f kNoPosition{-1.0f, -1.0f};

// World coordinate in the units of the calibration frame.
struct Point3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    friend bool operator==(const Point3&, const Point3&) = default;
};

// The world coordinates of a point that could not be reconstructed.
inline constexpr double kMissingWorldCoordinate = 343434.0;
inline constexpr Point3 kMissingWorldPoint{kMissingWorldCoordinate, kMissingWorldCoordinate, kMissingWorldCoordinate};

// Coordinate `axis` (0 x, 1 y, 2 z) of a world point.
inline double& Axis(Point3& p, int axis) { return axis == 0 ? p.x : (axis == 1 ? p.y : p.z); }
inline double Axis(const Point3& p, int axis) { return axis == 0 ? p.x : (axis == 1 ? p.y : p.z); }

// Scroll position of a digitizing view; (-1, -1) when none was recorded.
struct ScrollPos {
    int x = -1;
    int y = -1;
    friend bool operator==(const ScrollPos&, const ScrollPos&) = default;
};

inline constexpr ScrollPos kNoScroll{-1, -1};

struct FrameSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const FrameSize&, const FrameSize&) = default;
};

}  // namespace kadivo
