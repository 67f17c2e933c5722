#pragma once

// A synthetic calibrated sequence of many views, points and frames for the benchmarks.

#include "CKadivoDoc.h"
#include "CalibrateViews.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace kadivo::bench {

// Camera v looks at the unit cube from its own side.
inline void Camera(int v, double l[12]) {
    const double a = 0.6 * v;
    const double values[12] = {0, 300 * std::cos(a), 40.0, 300 * std::sin(a), 320.0, 15.0, -300.0, 20.0, 240.0,
                               0.01 * std::cos(a), 0.02, 0.01 * std::sin(a)};
    std::copy(values, values + 12, l);
}

inline Point2f Project(const double l[12], const Point3& p) {
    const double d = l[9] * p.x + l[10] * p.y + l[11] * p.z + 1.0;
    return {static_cast<float>((l[1] * p.x + l[2] * p.y + l[3] * p.z + l[4]) / d),
            static_cast<float>((l[5] * p.x + l[6] * p.y + l[7] * p.z + l[8]) / d)};
}

inline Point3 Motion(int point, int frame) {
    const double t = 0.02 * frame + 0.1 * point;
    return {0.5 + 0.3 * std::cos(t), 0.5 + 0.3 * std::sin(1.3 * t), 0.5 + 0.2 * std::sin(0.7 * t) + 0.001 * point};
}

// `views` cameras of `points` markers moving smoothly over `frames` frames, digitized with
// half a pixel of noise, calibrated on a unit cube of eight control points; smoothed with the
// quintic GCV spline.
inline void BuildSyntheticSequence(CKadivoDoc& doc, int views, int frames, int points) {
    doc.DeleteContents();
    doc.pointCount = points;
    doc.calibrationType = 1;
    doc.calibrationPointCount = 8;
    for (double x : {0.0, 1.0})
        for (double y : {0.0, 1.0})
            for (double z : {0.0, 1.0}) doc.calibrationPoints.push_back({x, y, z});
    doc.calibrationPoints.push_back({});
    doc.options.filtering = 1;
    doc.options.splineOrder = 2;
    doc.options.smoothError = -1.0;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> jitter(-0.5f, 0.5f);
    for (int v = 0; v < views; ++v) {
        doc.AddViewSlot(v);
        double l[12];
        Camera(v, l);
        ViewFrameStore& store = doc.views.back().frameStore;
        store.calibrationPointCount = 8;
        for (int i = 0; i < 8; ++i) store.calibrationRecord.imagePos[static_cast<std::size_t>(i)] = Project(l, doc.calibrationPoints[static_cast<std::size_t>(i)]);
        store.calibrationRecord.digitizedCount = 8;
        store.ReserveRecords(frames);
        for (int f = 0; f < frames; ++f) {
            FrameRecord& record = store.NewRecord(f);
            record.digitizedCount = points;
            for (int p = 0; p < points; ++p) {
                Point2f pixel = Project(l, Motion(p, f));
                record.imagePos[static_cast<std::size_t>(p)] = {pixel.x + jitter(random), pixel.y + jitter(random)};
            }
        }
    }
    CalibrateViews(doc);
}

}  // namespace kadivo::bench
