#include "OpenSimExports.h"

#include "AppendFormat.h"
#include "CKadivoDoc.h"
#include "ExportDialogs.h"
#include "Kinematics.h"

#include <cctype>
#include <cmath>
#include <set>

namespace kadivo {

namespace {

bool Checked(const std::vector<bool>& rows, std::size_t i) { return i < rows.size() && rows[i]; }

// Column names of a motion file: no blanks or tabs, and no two alike.
std::string ColumnName(std::string name, std::set<std::string>& taken) {
    for (char& c : name)
        if (std::isspace(static_cast<unsigned char>(c))) c = '_';
    if (name.empty()) name = "angle";
    std::string unique = name;
    for (int n = 2; !taken.insert(unique).second; ++n) unique = name + "_" + std::to_string(n);
    return unique;
}

}  // namespace

std::optional<AxisMapping> ParseAxisMapping(const std::string& text) {
    AxisMapping mapping;
    std::size_t at = 0;
    bool used[3] = {false, false, false};
    for (int out = 0; out < 3; ++out) {
        int sign = 1;
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) sign = text[at++] == '-' ? -1 : 1;
        if (at >= text.size()) return std::nullopt;
        const int axis = std::tolower(static_cast<unsigned char>(text[at++])) - 'x';
        if (axis < 0 || axis > 2 || used[axis]) return std::nullopt;
        used[axis] = true;
        mapping.axis[static_cast<std::size_t>(out)] = axis;
        mapping.sign[static_cast<std::size_t>(out)] = sign;
        if (out < 2 && (at >= text.size() || text[at++] != ',')) return std::nullopt;
    }
    if (at != text.size()) return std::nullopt;
    return mapping;
}

std::string AxisMappingText(const AxisMapping& mapping) {
    std::string text;
    for (std::size_t out = 0; out < 3; ++out) {
        if (out > 0) text += ',';
        if (mapping.sign[out] < 0) text += '-';
        text += static_cast<char>('x' + mapping.axis[out]);
    }
    return text;
}

std::string TrcExportText(const CKadivoDoc& doc, const TrcExportOptions& o, const std::string& fileName) {
    const WorldData& world = o.smoothed ? doc.worldFiltered : doc.worldRaw;
    std::vector<int> markers;
    for (int p = 0; p < doc.pointCount; ++p)
        if (Checked(o.rows, static_cast<std::size_t>(p))) markers.push_back(p);
    const int frames = world.empty() ? 0 : doc.worldFrameCount;
    const double rate = 1.0 / doc.framePeriod;
    const double scale = o.millimetres ? 1000.0 : 1.0;
    std::string text;
    AppendFormat(text, "PathFileType\t4\t(X/Y/Z)\t%s\n", fileName.c_str());
    text += "DataRate\tCameraRate\tNumFrames\tNumMarkers\tUnits\tOrigDataRate\tOrigDataStartFrame\tOrigNumFrames\n";
    AppendFormat(text, "%.4f\t%.4f\t%d\t%zu\t%s\t%.4f\t1\t%d\n", rate, rate, frames, markers.size(), o.millimetres ? "mm" : "m",
                 rate, frames);
    text += "Frame#\tTime";
    for (int p : markers) text += "\t" + doc.modelPoints[static_cast<std::size_t>(p)].name + "\t\t";
    text += "\n\t";
    for (std::size_t m = 1; m <= markers.size(); ++m) AppendFormat(text, "\tX%zu\tY%zu\tZ%zu", m, m, m);
    text += '\n';
    for (int f = 0; f < frames; ++f) {
        AppendFormat(text, "%d\t%.6f", f + 1, f * static_cast<double>(doc.framePeriod));
        for (int p : markers) {
            const Point3& w = world[f][p];
            if (w == kMissingWorldPoint) {
                text += "\t\t\t";
                continue;
            }
            for (std::size_t out = 0; out < 3; ++out)
                AppendFormat(text, "\t%.6f", o.axes.sign[out] * Axis(w, o.axes.axis[out]) * scale);
        }
        text += '\n';
    }
    return text;
}

std::string MotExportText(const CKadivoDoc& doc, const AngularExportOptions& o, const std::string& name) {
    const std::vector<ExportJoint> joints = BuildJointList(doc);
    const std::vector<ExportListRow> labels = AngularExportRows(doc);
    const WorldData& world = o.smoothed ? doc.worldFiltered : doc.worldRaw;
    const int frames = world.empty() ? 0 : doc.worldFrameCount;
    const bool axes[3] = {o.x, o.y, o.z};
    std::vector<std::vector<float>> columns;
    std::set<std::string> taken{"time"};
    std::string headings = "time";
    for (std::size_t j = 0; j < joints.size(); ++j) {
        if (!Checked(o.rows, j)) continue;
        for (int axis = 0; axis < 3; ++axis) {
            if (!axes[axis]) continue;
            columns.push_back(JointAngleSeries(world, joints[j], frames, axis, o.counterClockwise));
            headings += "\t" + ColumnName(labels[j].name + "_" + static_cast<char>('X' + axis), taken);
        }
    }
    std::string text = name + "\nversion=1\n";
    AppendFormat(text, "nRows=%d\nnColumns=%zu\ninDegrees=yes\nendheader\n", frames, columns.size() + 1);
    text += headings + '\n';
    for (int f = 0; f < frames; ++f) {
        AppendFormat(text, "%.6f", f * static_cast<double>(doc.framePeriod));
        for (const std::vector<float>& column : columns) {
            const float angle = column[static_cast<std::size_t>(f)];
            if (std::isnan(angle)) text += "\tNaN";
            else AppendFormat(text, "\t%.6f", static_cast<double>(angle));
        }
        text += '\n';
    }
    return text;
}

}  // namespace kadivo
