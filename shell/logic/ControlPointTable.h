#pragma once

#include "Geometry.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

// The known world positions of a calibration frame as the wizard's frame page and the options
// sheet's calibration page list them: one row a point, cells "%2.3f".
class ControlPointTable {
public:
    ControlPointTable() = default;
    explicit ControlPointTable(std::vector<Point3> points) : points_(std::move(points)) {}

    const std::vector<Point3>& points() const { return points_; }
    int rowCount() const { return static_cast<int>(points_.size()); }
    // A row at the origin after the last, whose coordinates are then typed in.
    void Add() { points_.emplace_back(); }
    // Every listed row, from the highest index down, so that the others keep their place.
    void RemoveRows(std::vector<int> rows);
    // Coordinate `axis` (0 x, 1 y, 2 z) of `row` as the list shows it.
    std::string Cell(int row, int axis) const;
    // Takes a typed coordinate; the message to show when the text is not a number.
    std::optional<std::string> SetCell(int row, int axis, const std::string& text);

private:
    std::vector<Point3> points_;
};

// Whether a calibration of `type` (0 posture, 1 3D frame, 2 2D frame) can be computed from
// `count` points: the message to show when it cannot.
std::optional<std::string> CheckControlPointCount(int type, int count);

}  // namespace kadivo
