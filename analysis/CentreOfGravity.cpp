#include "CentreOfGravity.h"

#include "CKadivoDoc.h"

#include <algorithm>
#include <cctype>

namespace kadivo {

namespace {

struct SegmentRow {
    const char* name;
    float ratio;
    float massFraction;
    bool sided;
};

constexpr SegmentRow kSegmentTable[] = {
    {"foot wrist", 0.449f, 0.015f, true}, {"calf", 0.418f, 0.043f, true},    {"thigh", 0.4f, 0.103f, true},
    {"trunk", 0.438f, 0.253f, true},      {"upper arm", 0.509f, 0.026f, true}, {"forearm", 0.582f, 0.016f, true},
    {"hand", 0.18f, 0.007f, true},        {"head", 0.464f, 0.073f, false},
};

bool SameIgnoringCase(const std::string& a, const char* b) {
    const std::string other(b);
    return a.size() == other.size() && std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

void AssignSegmentParameters(CKadivoDoc& doc) {
    bool right = false, left = false;
    for (int p = 0; p < doc.pointCount; ++p) {
        right = right || doc.modelPoints[static_cast<std::size_t>(p)].side == kSideRight;
        left = left || doc.modelPoints[static_cast<std::size_t>(p)].side == kSideLeft;
    }
    const float multiplier = right != left ? 2.0f : 1.0f;
    for (int p = 0; p < doc.pointCount; ++p) {
        ModelPoint& point = doc.modelPoints[static_cast<std::size_t>(p)];
        for (const SegmentRow& row : kSegmentTable) {
            if (!SameIgnoringCase(point.segmentName[0], row.name)) continue;
            point.segmentParamA[0] = row.ratio;
            point.segmentParamB[0] = row.sided ? row.massFraction * multiplier : row.massFraction;
            break;
        }
    }
}

namespace {

// Every segment of the model with its ends p and q, the centre-of-mass ratio from p and
// the mass fraction, in the order the centre of gravity sums them.
template <typename Visit>
void ForEachSegment(const CKadivoDoc& doc, Visit visit) {
    for (int p = 0; p < doc.pointCount; ++p) {
        const ModelPoint& point = doc.modelPoints[static_cast<std::size_t>(p)];
        for (int slot = 0; slot < kMaxSegments; ++slot) {
            const int q = point.linkedPoint[static_cast<std::size_t>(slot)];
            if (q >= 0 && q < doc.pointCount)
                visit(p, q, static_cast<double>(point.segmentParamA[static_cast<std::size_t>(slot)]),
                      point.segmentParamB[static_cast<std::size_t>(slot)]);
            if (slot + 1 < kMaxSegments && point.linkedPoint[static_cast<std::size_t>(slot + 1)] == -1) break;
        }
    }
}

}  // namespace

std::vector<double> CentreOfGravityWeights(const CKadivoDoc& doc) {
    std::vector<double> weights(static_cast<std::size_t>(std::max(doc.pointCount, 0)), 0.0);
    ForEachSegment(doc, [&](int p, int q, double ratio, float mass) {
        // The segment's centre of mass lies `ratio` of the way from p to q.
        weights[static_cast<std::size_t>(p)] += mass * (1.0 - ratio);
        weights[static_cast<std::size_t>(q)] += mass * ratio;
    });
    return weights;
}

void ComputeCentreOfGravity(CKadivoDoc& doc) {
    if (doc.worldRaw.empty()) return;
    for (int f = 0; f < doc.worldFrameCount; ++f) {
        Point3* world = doc.worldRaw[f];
        float g[3] = {0.0f, 0.0f, 0.0f};
        bool weighed = false, incomplete = false;
        ForEachSegment(doc, [&](int p, int q, double ratio, float mass) {
            if (mass != 0.0f) {
                weighed = true;
                incomplete = incomplete || world[p] == kMissingWorldPoint || world[q] == kMissingWorldPoint;
            }
            for (int axis = 0; axis < 3; ++axis) {
                const double s = Axis(world[p], axis) + (Axis(world[q], axis) - Axis(world[p], axis)) * ratio;
                g[axis] += mass * static_cast<float>(s);
            }
        });
        // Without a segment that has mass, or with one of its ends unsolved, the sum is no
        // centre of gravity at all.
        world[doc.pointCount] = weighed && !incomplete ? Point3{g[0], g[1], g[2]} : kMissingWorldPoint;
    }
}

}  // namespace kadivo
