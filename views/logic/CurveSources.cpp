#include "CurveSources.h"

#include "CKadivoDoc.h"
#include "ExportDialogs.h"
#include "GraphModel.h"
#include "Kinematics.h"
#include "Uncertainty.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace kadivo {

namespace {

bool Checked(const std::vector<bool>& rows, int i) { return i >= 0 && i < static_cast<int>(rows.size()) && rows[static_cast<std::size_t>(i)]; }

}  // namespace

std::vector<CurveData> LinearCurves(const CKadivoDoc& doc, const LinearExportOptions& o) {
    // The names the analysis window gives, one table a kind: X, Y, Z, 3D.
    static const char* const kNames[3][4] = {{"%s - X pos", "%s - Y pos", "%s - Z pos", "%s - Abs pos"},
                                             {"%s - X vel", "%s - Y vel", "%s - Z vel", "%s 3D vel"},
                                             {"%s - X accel", "%s - Y accel", "%s - Z accel", "%s - 3D accel"}};
    const bool kinds[3] = {o.position, o.velocity, o.acceleration};
    const bool directions[4] = {o.x, o.y, o.z, o.distance};
    const std::optional<WorldUncertainty> uncertainty = o.halfWidths ? std::optional<WorldUncertainty>(std::in_place, doc) : std::nullopt;
    std::vector<CurveData> curves;
    for (int entry = 0; entry <= doc.pointCount; ++entry) {
        if (!Checked(o.rows, entry)) continue;
        const std::string& name = doc.modelPoints[static_cast<std::size_t>(entry)].name;
        for (int kind = 0; kind < 3; ++kind) {
            if (!kinds[kind]) continue;
            for (int direction = 0; direction < 4; ++direction) {
                if (!directions[direction]) continue;
                CurveData curve;
                curve.samples = LinearSeries(doc, entry, o.smoothed, static_cast<Quantity>(kind), static_cast<Component>(direction));
                curve.source = CurveSource{0, entry, kind, direction, o.smoothed ? 1 : 0, 0};
                if (uncertainty)
                    curve.halfWidths =
                        uncertainty->LinearHalfWidths(entry, o.smoothed, static_cast<Quantity>(kind), static_cast<Component>(direction));
                std::string label = kNames[kind][direction];
                label.replace(label.find("%s"), 2, name);
                curve.name = label;
                curve.unit = kind;
                curves.push_back(std::move(curve));
            }
        }
    }
    return curves;
}

std::vector<CurveData> AngularCurves(const CKadivoDoc& doc, const AngularExportOptions& o) {
    static const char* const kRates[2][3] = {{" - X vel", " - Y vel", " - Z vel"}, {" - X accel", " - Y accel", " - Z accel"}};
    const std::vector<ExportJoint> joints = BuildJointList(doc);
    const std::vector<ExportListRow> labels = AngularExportRows(doc);
    const bool axes[3] = {o.x, o.y, o.z};
    const std::optional<WorldUncertainty> uncertainty = o.halfWidths ? std::optional<WorldUncertainty>(std::in_place, doc) : std::nullopt;
    std::vector<CurveData> curves;
    for (std::size_t j = 0; j < joints.size(); ++j) {
        if (!Checked(o.rows, static_cast<int>(j))) continue;
        const std::string& name = labels[j].name;
        for (int axis = 0; axis < 3; ++axis) {
            if (!axes[axis]) continue;
            const auto add = [&](Quantity quantity, std::string label, int unit) {
                CurveData curve{AngularSeries(doc, joints[j], o.smoothed, quantity, axis, o.counterClockwise), std::move(label), unit, {},
                                CurveSource{1, static_cast<int>(j), static_cast<int>(quantity), axis, o.smoothed ? 1 : 0,
                                            o.counterClockwise ? 1 : 0}};
                if (uncertainty) curve.halfWidths = uncertainty->AngularHalfWidths(joints[j], o.smoothed, quantity, axis, o.counterClockwise);
                curves.push_back(std::move(curve));
            };
            if (o.angle) add(Quantity::Position, name, 3);
            if (o.angularVelocity) add(Quantity::Velocity, name + kRates[0][axis], 4);
            if (o.angularAcceleration) add(Quantity::Acceleration, name + kRates[1][axis], 5);
        }
    }
    return curves;
}

bool RemakeCurves(const CKadivoDoc& doc, GraphWindowState& graphs) {
    std::optional<WorldUncertainty> uncertainty;  // made once, for the first band
    std::optional<std::vector<ExportJoint>> joints;
    bool changed = false;
    for (DataGraphState& graph : graphs.graphs)
        for (DataCurveState& curve : graph.curves) {
            if (!curve.source) continue;
            const CurveSource& from = *curve.source;
            const auto quantity = static_cast<Quantity>(from.quantity);
            const bool band = !curve.halfWidths.empty();
            std::vector<float> samples, halfWidths;
            const ExportJoint* joint = nullptr;
            if (from.angular == 0) {
                if (from.entry > doc.pointCount) continue;
                samples = LinearSeries(doc, from.entry, from.smoothed != 0, quantity, static_cast<Component>(from.component));
            } else {
                if (!joints) joints = BuildJointList(doc);
                if (from.entry >= static_cast<int>(joints->size())) continue;
                joint = &(*joints)[static_cast<std::size_t>(from.entry)];
                samples = AngularSeries(doc, *joint, from.smoothed != 0, quantity, from.component, from.counterClockwise != 0);
            }
            // NaN marks frames without a value, so the samples compare by their bits. A curve
            // whose values stayed keeps its band too: the band follows the same data.
            if (samples.size() == curve.samples.size() &&
                std::memcmp(samples.data(), curve.samples.data(), samples.size() * sizeof(float)) == 0)
                continue;
            if (band) {
                if (!uncertainty) uncertainty.emplace(doc);
                halfWidths = joint ? uncertainty->AngularHalfWidths(*joint, from.smoothed != 0, quantity, from.component,
                                                                    from.counterClockwise != 0)
                                   : uncertainty->LinearHalfWidths(from.entry, from.smoothed != 0, quantity,
                                                                   static_cast<Component>(from.component));
            }
            curve.samples = std::move(samples);
            if (band) curve.halfWidths = halfWidths.size() == curve.samples.size() ? std::move(halfWidths) : std::vector<float>{};
            graph.sampleCount = static_cast<std::int32_t>(curve.samples.size());
            SetValueRange(curve);
            changed = true;
        }
    return changed;
}

}  // namespace kadivo
