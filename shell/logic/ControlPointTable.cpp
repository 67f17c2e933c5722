#include "ControlPointTable.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kadivo {

void ControlPointTable::RemoveRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows)
        if (row >= 0 && row < rowCount()) points_.erase(points_.begin() + row);
}

std::string ControlPointTable::Cell(int row, int axis) const {
    if (row < 0 || row >= rowCount()) return {};
    char text[64];
    std::snprintf(text, sizeof text, "%2.3f", Axis(points_[static_cast<std::size_t>(row)], axis));
    return text;
}

std::optional<std::string> ControlPointTable::SetCell(int row, int axis, const std::string& text) {
    if (row < 0 || row >= rowCount() || axis < 0 || axis > 2) return std::nullopt;
    const char* begin = text.c_str();
    while (*begin == ' ') ++begin;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    while (end && *end == ' ') ++end;
    if (end == begin || !end || *end != '\0' || errno == ERANGE || !std::isfinite(value))
        return "\"" + text + "\" is not a number. Please type the coordinate in the units of the frame, such as 1.25.";
    Axis(points_[static_cast<std::size_t>(row)], axis) = value;
    return std::nullopt;
}

std::optional<std::string> CheckControlPointCount(int type, int count) {
    if (type == 1 && count < 6)
        return "A 3D frame calibration needs at least 6 control points, not all in one plane.\nThis frame has " +
               std::to_string(count) + ".";
    if (type == 2 && count < 4)
        return "A 2D frame calibration needs at least 4 control points.\nThis frame has " + std::to_string(count) + ".";
    if (count > 49) return "A sequence takes at most 49 control points.\nThis frame has " + std::to_string(count) + ".";
    return std::nullopt;
}

}  // namespace kadivo
