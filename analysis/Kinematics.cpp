#include "Kinematics.h"

#include "CKadivoDoc.h"
#include "Differentiation.h"

#include <cmath>
#include <limits>

namespace kadivo {

namespace {

constexpr double kDegrees = 57.29577951308239;
constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();

std::vector<float> Differentiate(std::vector<float> series, const CKadivoDoc& doc, Quantity quantity) {
    if (quantity == Quantity::Position) return series;
    std::vector<float> rates = DifferentiateSeries(series, doc.framePeriod, quantity == Quantity::Velocity ? 1 : 2);
    // A central difference skips its own frame, which may be the one without a value.
    for (std::size_t f = 0; f < rates.size(); ++f)
        if (std::isnan(series[f])) rates[f] = kNoValue;
    return rates;
}

// The two in-plane coordinates of a world point for a rotation axis, in the plane's order.
bool PlaneCoordinates(const Point3& p, int axis, double& a, double& b) {
    switch (axis) {
    case 0: a = p.y; b = p.z; return true;
    case 1: a = p.x; b = p.z; return true;
    case 2: a = p.x; b = p.y; return true;
    default: a = b = 0.0; return false;
    }
}

}  // namespace

std::vector<float> LinearSeries(const CKadivoDoc& doc, int entry, bool smoothed, Quantity quantity, Component component) {
    const WorldData& world = smoothed ? doc.worldFiltered : doc.worldRaw;
    std::vector<float> series;
    if (world.empty() || entry < 0 || entry > doc.pointCount) return series;
    series.reserve(static_cast<std::size_t>(doc.worldFrameCount));
    for (int f = 0; f < doc.worldFrameCount; ++f) {
        const Point3& p = world[f][entry];
        if (p == kMissingWorldPoint)
            series.push_back(kNoValue);
        else if (component == Component::Distance)
            series.push_back(static_cast<float>(std::sqrt(std::pow(p.x, 2) + std::pow(p.y, 2) + std::pow(p.z, 2))));
        else
            series.push_back(static_cast<float>(Axis(p, static_cast<int>(component))));
    }
    return Differentiate(std::move(series), doc, quantity);
}

std::vector<ExportJoint> BuildJointList(const CKadivoDoc& doc) {
    std::vector<ExportJoint> joints;
    const auto& model = doc.modelPoints;
    for (int i = 0; i < doc.pointCount; ++i) {
        const ModelPoint& vertex = model[static_cast<std::size_t>(i)];
        for (int j = 0; j < doc.pointCount; ++j) {
            if (j == i) continue;
            const ModelPoint& first = model[static_cast<std::size_t>(j)];
            for (int sj = 0; sj < first.segmentCount; ++sj) {
                if (first.linkedPoint[static_cast<std::size_t>(sj)] != i) continue;
                for (int si = 0; si < vertex.segmentCount; ++si) {
                    const int a = vertex.linkedPoint[static_cast<std::size_t>(si)];
                    if (a == i || a < 0 || a >= doc.pointCount) continue;
                    joints.push_back({i, j, a, vertex.side, vertex.name});
                }
            }
        }
    }
    return joints;
}

std::vector<float> JointAngleSeries(const WorldData& world, const ExportJoint& joint, int frames, int axis,
                                    bool counterClockwise) {
    std::vector<float> angles;
    if (world.empty()) return angles;
    double previousU[2] = {0, 0}, previousW[2] = {0, 0};
    double directionU = 0.0, directionW = 0.0;
    bool started = false;
    for (int f = 0; f < frames; ++f) {
        const Point3* row = world[f];
        if (row[joint.vertex] == kMissingWorldPoint || row[joint.secondPoint] == kMissingWorldPoint ||
            row[joint.firstPoint] == kMissingWorldPoint) {
            // The angle after the gap turns on from the last frame that had one.
            angles.push_back(kNoValue);
            continue;
        }
        double vertex[2], second[2], first[2];
        PlaneCoordinates(world[f][joint.vertex], axis, vertex[0], vertex[1]);
        PlaneCoordinates(world[f][joint.secondPoint], axis, second[0], second[1]);
        PlaneCoordinates(world[f][joint.firstPoint], axis, first[0], first[1]);
        const double u[2] = {second[0] - vertex[0], second[1] - vertex[1]};
        const double w[2] = {first[0] - vertex[0], first[1] - vertex[1]};
        if (!started) {
            started = true;
            // Each direction from (1, 0), by the cross and dot products, in [0, 360).
            directionU = std::atan2(u[1], u[0]) * kDegrees;
            directionW = std::atan2(w[1], w[0]) * kDegrees;
            if (directionU < 0.0) directionU += 360.0;
            if (directionW < 0.0) directionW += 360.0;
        } else {
            directionU += std::atan2(previousU[0] * u[1] - previousU[1] * u[0], previousU[0] * u[0] + previousU[1] * u[1]) * kDegrees;
            directionW += std::atan2(previousW[0] * w[1] - previousW[1] * w[0], previousW[0] * w[0] + previousW[1] * w[1]) * kDegrees;
        }
        previousU[0] = u[0];
        previousU[1] = u[1];
        previousW[0] = w[0];
        previousW[1] = w[1];
        angles.push_back(static_cast<float>(counterClockwise ? directionU - directionW : directionW - directionU));
    }
    return angles;
}

std::vector<float> AngularSeries(const CKadivoDoc& doc, const ExportJoint& joint, bool smoothed, Quantity quantity,
                                 int axis, bool counterClockwise) {
    const WorldData& world = smoothed ? doc.worldFiltered : doc.worldRaw;
    return Differentiate(JointAngleSeries(world, joint, doc.worldFrameCount, axis, counterClockwise), doc, quantity);
}

}  // namespace kadivo
