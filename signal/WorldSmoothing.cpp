#include "WorldSmoothing.h"

#include "CKadivoDoc.h"
#include "GcvSpline.h"
#include "LowPassFilter.h"

#include <algorithm>

namespace kadivo {

void SmoothWorldData(CKadivoDoc& doc) {
    if (doc.worldRaw.empty()) return;
    const int frames = doc.worldFrameCount;
    if (doc.worldFiltered.frames() != doc.worldRaw.frames() || doc.worldFiltered.entriesPerFrame() != doc.worldRaw.entriesPerFrame())
        doc.worldFiltered = WorldData(doc.worldRaw.frames(), doc.worldRaw.entriesPerFrame());
    std::vector<float> series(static_cast<std::size_t>(frames));
    for (int p = 0; p <= doc.pointCount; ++p) {
        for (int axis = 0; axis < 3; ++axis) {
            for (int f = 0; f < frames; ++f)
                series[static_cast<std::size_t>(f)] = static_cast<float>(Axis(doc.worldRaw[f][p], axis));
            std::vector<float> smoothed;
            switch (doc.options.filtering) {
            case 1: smoothed = SplineSmooth(series, doc.options.splineOrder, doc.options.smoothError); break;
            case 2: smoothed = LowPassFilter(series, doc.options.cutOffFrequency, 1.0f / doc.framePeriod); break;
            default:
                for (int f = 0; f < frames; ++f) doc.worldFiltered[f][p] = doc.worldRaw[f][p];
                continue;
            }
            for (int f = 0; f < frames; ++f) Axis(doc.worldFiltered[f][p], axis) = smoothed[static_cast<std::size_t>(f)];
        }
    }
}

void ComputeWorldExtent(CKadivoDoc& doc) {
    if (doc.worldFiltered.empty()) return;
    WorldExtent extent;
    for (int f = 0; f < doc.worldFrameCount; ++f) {
        for (int p = 0; p < doc.pointCount; ++p) {
            Point3& point = doc.worldFiltered[f][p];
            for (int axis = 0; axis < 3; ++axis) {
                const double value = Axis(point, axis);
                Axis(extent.maximum, axis) = std::max(Axis(extent.maximum, axis), value);
                Axis(extent.minimum, axis) = std::min(Axis(extent.minimum, axis), value);
            }
        }
    }
    doc.worldExtent = extent;
}

}  // namespace kadivo
