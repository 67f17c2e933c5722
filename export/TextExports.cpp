#include "TextExports.h"

#include "AppendFormat.h"
#include "CKadivoDoc.h"
#include "FileIo.h"
#include "Kinematics.h"
#include "Uncertainty.h"

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <unordered_map>

namespace kadivo {

namespace {

void HeaderBlock(std::string& text, const char* title, const std::tm& now) {
    AppendFormat(text, "%s\n\n", title);
    AppendFormat(text, "Create Date %d/%d/%d\n", now.tm_mon + 1, now.tm_mday, now.tm_year + 1900);
    AppendFormat(text, "Time %d:%d:%d\n\n", now.tm_hour, now.tm_min, now.tm_sec);
}

bool Checked(const std::vector<bool>& rows, int i) { return i >= 0 && i < static_cast<int>(rows.size()) && rows[static_cast<std::size_t>(i)]; }

bool AnyChecked(const std::vector<bool>& rows) {
    for (bool row : rows)
        if (row) return true;
    return false;
}

std::string Missing(std::initializer_list<std::pair<bool, const char*>> parts) {
    std::string text;
    for (const auto& [present, name] : parts)
        if (!present) text += name;
    return text.empty() ? text : text + "has not been selected!\n\nContinue ?";
}

void WriteRows(std::string& text, const std::vector<std::vector<float>>& columns, int frames) {
    for (int f = 0; f < frames; ++f) {
        // A frame without a value leaves its field empty.
        for (const std::vector<float>& column : columns) {
            const float value = column[static_cast<std::size_t>(f)];
            if (!std::isnan(value)) AppendFormat(text, "%2.3f", static_cast<double>(value));
            text += '\t';
        }
        text += '\n';
    }
}

}  // namespace

std::string ValidateLinearExport(const LinearExportOptions& o) {
    return Missing({{o.x || o.y || o.z || o.distance, "Orientation, "},
                    {o.position || o.velocity || o.acceleration, "Type, "},
                    {AnyChecked(o.rows), "Points, "}});
}

std::string ValidateAngularExport(const AngularExportOptions& o) {
    return Missing({{o.x || o.y || o.z || o.threeD, "Rotation axis, "},
                    {o.angle || o.angularVelocity || o.angularAcceleration, "Angle, "},
                    {AnyChecked(o.rows), "Joint, "}});
}

std::string LinearExportText(const CKadivoDoc& doc, const LinearExportOptions& o, const std::tm& now) {
    std::string text;
    const int frames = doc.worldFrameCount;
    const struct {
        bool on;
        Quantity quantity;
        const char* suffix;
    } kinds[] = {{o.position, Quantity::Position, "pos"}, {o.velocity, Quantity::Velocity, "vel"}, {o.acceleration, Quantity::Acceleration, "acl"}};
    const struct {
        bool on;
        Component component;
        const char* name;
    } directions[] = {{o.x, Component::X, "X"}, {o.y, Component::Y, "Y"}, {o.z, Component::Z, "Z"}, {o.distance, Component::Distance, "3D"}};
    std::string headings;
    std::vector<std::vector<float>> columns;
    const std::optional<WorldUncertainty> uncertainty = o.halfWidths ? std::optional<WorldUncertainty>(std::in_place, doc) : std::nullopt;
    for (int entry = 0; entry <= doc.pointCount; ++entry) {
        if (!Checked(o.rows, entry)) continue;
        const std::string& name = doc.modelPoints[static_cast<std::size_t>(entry)].name;
        for (const auto& kind : kinds) {
            if (!kind.on) continue;
            for (const auto& direction : directions) {
                if (!direction.on) continue;
                AppendFormat(headings, "%s - %s %s\t", name.c_str(), direction.name, kind.suffix);
                columns.push_back(LinearSeries(doc, entry, o.smoothed, kind.quantity, direction.component));
                if (!o.halfWidths) continue;
                AppendFormat(headings, "%s - %s %s +-95%%\t", name.c_str(), direction.name, kind.suffix);
                columns.push_back(uncertainty->LinearHalfWidths(entry, o.smoothed, kind.quantity, direction.component));
            }
        }
    }
    if (o.header) {
        HeaderBlock(text, "Kadivo v1.0 Linear Data.", now);
        text += headings + "\n";
    }
    WriteRows(text, columns, frames);
    return text;
}

std::string AngularExportText(const CKadivoDoc& doc, const AngularExportOptions& o, const std::tm& now) {
    std::string text;
    if (o.header) HeaderBlock(text, "Kadivo v1.0 Angular Data.", now);
    const std::vector<ExportJoint> joints = BuildJointList(doc);
    const WorldData& world = o.smoothed ? doc.worldFiltered : doc.worldRaw;
    std::vector<std::vector<float>> columns;
    const std::optional<WorldUncertainty> uncertainty = o.halfWidths ? std::optional<WorldUncertainty>(std::in_place, doc) : std::nullopt;
    const struct {
        bool on;
        const char* name;
    } axes[] = {{o.x, "X"}, {o.y, "Y"}, {o.z, "Z"}};
    for (std::size_t j = 0; j < joints.size() && o.angle; ++j) {
        if (!Checked(o.rows, static_cast<int>(j))) continue;
        for (int axis = 0; axis < 3; ++axis) {
            if (!axes[axis].on) continue;
            columns.push_back(JointAngleSeries(world, joints[j], doc.worldFrameCount, axis, o.counterClockwise));
            if (o.header) AppendFormat(text, "%s Angle %s\t", joints[j].name.c_str(), axes[axis].name);
            if (!o.halfWidths) continue;
            columns.push_back(uncertainty->AngularHalfWidths(joints[j], o.smoothed, Quantity::Position, axis, o.counterClockwise));
            if (o.header) AppendFormat(text, "%s Angle %s +-95%%\t", joints[j].name.c_str(), axes[axis].name);
        }
    }
    text += '\n';
    WriteRows(text, columns, doc.worldFrameCount);
    return text;
}

std::string PointsExportText(const CKadivoDoc& doc, const PointsExportOptions& o, const std::tm& now) {
    std::string text;
    std::vector<int> points;
    for (int p = 0; p < doc.pointCount && p < PointsExportOptions::kMaxRows; ++p)
        if (Checked(o.rows, p)) points.push_back(p);
    if (o.header) {
        HeaderBlock(text, "Kadivo v1.0 Raw Image coordinates.", now);
        for (int p : points) {
            const char* name = doc.modelPoints[static_cast<std::size_t>(p)].name.c_str();
            AppendFormat(text, "%s.X\t%s.Y\t", name, name);
        }
        text += "\n\n";
    }
    const ViewFrameStore& store = doc.current().frameStore;
    const std::unordered_map<int, int> byFrame = store.RecordIndexByFrame();
    for (int frame = 0;; frame += store.frameStep) {
        const auto found = byFrame.find(frame);
        if (found == byFrame.end()) break;
        const FrameRecord& record = store.records()[static_cast<std::size_t>(found->second)];
        for (int p : points) {
            const Point2f pos = UsableOrMissing(record.imagePos[static_cast<std::size_t>(p)]);
            AppendFormat(text, "%3.6f\t%3.6f\t", static_cast<double>(pos.x), static_cast<double>(pos.y));
        }
        text += '\n';
        if (store.frameStep < 1 || frame > std::numeric_limits<int>::max() - store.frameStep) break;
    }
    return text;
}

bool WriteExportFile(CKadivoDoc& doc, const std::string& path, const std::string& text, const char* failureMessage) {
    return WriteExportFile(doc, path, std::vector<std::uint8_t>(text.begin(), text.end()), failureMessage);
}

bool WriteExportFile(CKadivoDoc& doc, const std::string& path, const std::vector<std::uint8_t>& bytes,
                     const char* failureMessage) {
    try {
        WriteFileAtomically(path, bytes);
        return true;
    } catch (const FileIoError& error) {
        doc.prompts().ShowMessage(std::string(failureMessage) + "\n" + error.what());
        return false;
    }
}

bool CheckFramePeriod(CKadivoDoc& doc) {
    if (doc.HasUsableFramePeriod()) return true;
    doc.prompts().ShowMessage(kFramePeriodInvalid);
    return false;
}

std::tm LocalTimeNow() {
    std::time_t now = std::time(nullptr);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        char* end = nullptr;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (*end == '\0' && seconds >= 0) now = static_cast<std::time_t>(seconds);
    }
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace kadivo
