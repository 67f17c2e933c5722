#pragma once

#include "Geometry.h"

#include <cstddef>
#include <vector>

namespace kadivo {

// World coordinates of every model point (and the centre of gravity) per frame,
// stored frame-major in one block.
class WorldData {
public:
    WorldData() = default;
    WorldData(int frames, int entriesPerFrame)
        : frames_(frames), entries_(entriesPerFrame),
          values_(static_cast<std::size_t>(frames) * static_cast<std::size_t>(entriesPerFrame)) {}

    bool empty() const { return values_.empty(); }
    int frames() const { return frames_; }
    int entriesPerFrame() const { return entries_; }

    Point3* operator[](int frame) { return values_.data() + Offset(frame); }
    const Point3* operator[](int frame) const { return values_.data() + Offset(frame); }
    const std::vector<Point3>& values() const { return values_; }
    std::vector<Point3>& values() { return values_; }

    friend bool operator==(const WorldData&, const WorldData&) = default;

private:
    std::size_t Offset(int frame) const {
        return static_cast<std::size_t>(frame) * static_cast<std::size_t>(entries_);
    }

    int frames_ = 0;
    int entries_ = 0;
    std::vector<Point3> values_;
};

// Per axis the largest and smallest smoothed coordinate of the model points.
struct WorldExtent {
    Point3 maximum{-100000.0, -100000.0, -100000.0};
    Point3 minimum{100000.0, 100000.0, 100000.0};
    friend bool operator==(const WorldExtent&, const WorldExtent&) = default;
};

}  // namespace kadivo
