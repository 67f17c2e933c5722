#include "BvhExporter.h"

#include "AppendFormat.h"
#include "CKadivoDoc.h"
#include "ExportPath.h"
#include "TextExports.h"

#include <cmath>

namespace kadivo {

namespace {

struct Vector {
    double x, y, z;
};

Vector Sub(const Point3& a, const Point3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector Cross(const Vector& a, const Vector& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vector Unit(const Vector& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

float Degrees(double radians) {
    const float r = static_cast<float>(radians);
    if (std::fabs(r) < 1e-6f) return 0.0f;
    return static_cast<float>(static_cast<double>(r) * 57.29577950560105);
}

struct Joint {
    const char* name;
    int depth;
    bool endSite;
};

// The skeleton in file order.
constexpr Joint kJoints[] = {
    {"Hips", 0, false},        {"LeftHip", 1, false},      {"LeftKnee", 2, false},     {"LeftAnkle", 3, true},
    {"RightHip", 1, false},    {"RightKnee", 2, false},    {"RightAnkle", 3, true},    {"Chest", 1, false},
    {"LeftCollar", 2, false},  {"LeftSholder", 3, false},  {"LeftElbow", 4, false},    {"LeftWrist", 5, true},
    {"RightCollar", 2, false}, {"RightSholder", 3, false}, {"RightElbow", 4, false},   {"RightWrist", 5, true},
    {"Neck", 1, false},        {"Head", 2, true},
};
constexpr int kJointCount = sizeof kJoints / sizeof kJoints[0];
constexpr int kChannels = 6 + 3 * (kJointCount - 1);
// The first channel of the joints that take the six rotation groups (LeftHip .. RightAnkle).
constexpr int kGroupChannel[6] = {6, 9, 12, 15, 18, 21};

std::string Tabs(int n) { return std::string(static_cast<std::size_t>(n), '\t'); }

std::string ZeroOffset(int depth) { return Tabs(depth) + "OFFSET\t0.000000\t0.000000\t0.000000\n"; }

}  // namespace

RotationGroup SegmentRotation(const Point3& p1, const Point3& p2, const Point3& p3) {
    const Vector v = Unit(Sub(p1, p2));
    const Vector u = Unit(Sub(p3, p2));
    const Vector w = Unit(Cross(v, u));
    const Vector t = Unit(Cross(w, v));
    const double q = std::sqrt(1.0 - v.x * v.x);
    // A first segment along X leaves q = 0 and the quotients without meaning.
    if (q == 0.0) return {0.0f, 0.0f, 0.0f};
    const RotationGroup group{Degrees(std::atan2(-v.x, q)),
                              Degrees(std::atan2(static_cast<float>(v.y / q), static_cast<float>(v.z / q))),
                              Degrees(std::atan2(static_cast<float>(-w.x / q), static_cast<float>(t.x / q)))};
    // Coincident or collinear points leave a vector without direction.
    for (float angle : group)
        if (!std::isfinite(angle)) return {0.0f, 0.0f, 0.0f};
    return group;
}

std::string BvhExporter::Text() const {
    std::string text = "HIERARCHY\n";
    // Closing braces wait on a stack of depths until a joint at the same or a lower depth.
    std::vector<int> open;
    for (int j = 0; j < kJointCount; ++j) {
        const Joint& joint = kJoints[j];
        while (!open.empty() && open.back() >= joint.depth) {
            text += Tabs(open.back()) + "}\n";
            open.pop_back();
        }
        text += Tabs(joint.depth) + (j == 0 ? "ROOT " : "JOINT ") + joint.name + "\n";
        text += Tabs(joint.depth) + "{\n";
        text += ZeroOffset(joint.depth + 1);
        text += Tabs(joint.depth + 1) +
                (j == 0 ? "CHANNELS 6 Xposition Yposition Zposition Zrotation Xrotation Yrotation\n"
                        : "CHANNELS 3 Zrotation Xrotation Yrotation\n");
        if (joint.endSite) {
            text += Tabs(joint.depth + 1) + "End Site\n" + Tabs(joint.depth + 1) + "{\n" + ZeroOffset(joint.depth + 2) +
                    Tabs(joint.depth + 1) + "}\n";
        }
        open.push_back(joint.depth);
    }
    while (!open.empty()) {
        text += Tabs(open.back()) + "}\n";
        open.pop_back();
    }
    const int frames = doc_.worldFiltered.empty() ? 0 : doc_.worldFrameCount;
    AppendFormat(text, "MOTION\nFrames:\t%d\nFrame Time:\t%2.6f\n", frames, static_cast<double>(doc_.framePeriod));
    for (int f = 0; f < frames; ++f) {
        float channels[kChannels] = {};
        const Point3* p = doc_.worldFiltered[f];
        for (int group = 0; group < 6; ++group) {
            const int inner = group + 1;  // the group's vertex p1..p6
            if (inner + 1 >= doc_.pointCount) continue;
            const RotationGroup r = group < 3 ? SegmentRotation(p[inner + 1], p[inner], p[inner - 1])
                                              : SegmentRotation(p[inner - 1], p[inner], p[inner + 1]);
            for (int k = 0; k < 3; ++k) channels[kGroupChannel[group] + k] = r[static_cast<std::size_t>(k)];
        }
        for (int c = 0; c < kChannels; ++c) {
            AppendFormat(text, "%2.6f", static_cast<double>(channels[c]));
            text += c + 1 < kChannels ? '\t' : '\n';
        }
    }
    return text;
}

bool BvhExporter::Export() {
    if (!CheckFramePeriod(doc_)) return false;
    const std::optional<std::string> path = ChooseExportPath(doc_, "bvh", kBvhFilter);
    if (!path) return false;
    return WriteExportFile(doc_, *path, Text(), "The BVH File could not be created!");
}

}  // namespace kadivo
