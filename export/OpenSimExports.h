#pragma once

#include "TextExports.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// Which world axis, and with which sign, gives each of the three axes of a written file.
// OpenSim has y up; a calibration frame with z up needs (x, z, −y).
struct AxisMapping {
    std::array<int, 3> axis{0, 1, 2};  // 0 x, 1 y, 2 z
    std::array<int, 3> sign{1, 1, 1};
    friend bool operator==(const AxisMapping&, const AxisMapping&) = default;
};
inline constexpr AxisMapping kZUpToYUp{{0, 2, 1}, {1, 1, -1}};
inline constexpr AxisMapping kAsCalibrated{};
// "x,z,-y" and the like: each axis once, a sign where wanted. Nothing for anything else.
std::optional<AxisMapping> ParseAxisMapping(const std::string& text);
std::string AxisMappingText(const AxisMapping& mapping);

// What "Export TRC" writes: the model points chosen (rows), smoothed or raw positions, in
// metres or millimetres, turned by `axes`.
struct TrcExportOptions {
    std::vector<bool> rows;
    bool smoothed = true;
    bool millimetres = false;
    AxisMapping axes = kZUpToYUp;
};

// The marker file OpenSim reads: five header lines, then a row per frame of the frame
// number, its time and X, Y, Z of every marker, tab-separated; a missing marker's cells are
// empty. `fileName` is what the first line names.
std::string TrcExportText(const CKadivoDoc& doc, const TrcExportOptions& options, const std::string& fileName);

// The joint angles chosen in `options` (rows, the axes, the rotation sense, smoothed or raw)
// as an OpenSim motion file: the header down to "endheader", then "time" and one column a
// joint and axis, in degrees; a frame without an angle holds NaN, which OpenSim reads.
std::string MotExportText(const CKadivoDoc& doc, const AngularExportOptions& options, const std::string& name);

}  // namespace kadivo
