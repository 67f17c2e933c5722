#include "WorldSmoothing.h"

#include "ButterworthFilter.h"
#include "CKadivoDoc.h"
#include "GcvSpline.h"
#include "LowPassFilter.h"

#include <algorithm>

namespace kadivo {

namespace {

// The frames [first, last) of one run of frames in which a world entry was solved.
struct SolvedRun {
    int first, last;
};

std::vector<SolvedRun> SolvedRuns(const WorldData& world, int entry, int frames) {
    std::vector<SolvedRun> runs;
    for (int f = 0; f < frames; ++f) {
        if (world[f][entry] == kMissingWorldPoint) continue;
        if (runs.empty() || runs.back().last != f) runs.push_back({f, f});
        runs.back().last = f + 1;
    }
    return runs;
}

// The series smoothed as the filtering option says.
std::vector<float> Smoothed(const std::vector<float>& series, const CKadivoDoc& doc) {
    const SequenceOptions& o = doc.options;
    if (o.filtering == 1) return SplineSmooth(series, o.splineOrder, o.smoothError);
    if (o.filtering == kFrequencyFiltering) return LowPassFilter(series, o.cutOffFrequency, 1.0f / doc.framePeriod);
    const std::vector<double> filtered =
        ButterworthFilter(std::vector<double>(series.begin(), series.end()), o.cutOffFrequency, 1.0 / doc.framePeriod);
    return {filtered.begin(), filtered.end()};
}

}  // namespace

void SmoothWorldData(CKadivoDoc& doc) {
    if (doc.worldRaw.empty()) return;
    const int frames = doc.worldFrameCount;
    if (doc.worldFiltered.frames() != doc.worldRaw.frames() || doc.worldFiltered.entriesPerFrame() != doc.worldRaw.entriesPerFrame())
        doc.worldFiltered = WorldData(doc.worldRaw.frames(), doc.worldRaw.entriesPerFrame());
    for (int p = 0; p <= doc.pointCount; ++p) {
        for (int f = 0; f < frames; ++f) doc.worldFiltered[f][p] = doc.worldRaw[f][p];
        const int filtering = doc.options.filtering;
        if (filtering != 1 && filtering != kFrequencyFiltering && filtering != kButterworthFiltering) continue;
        // A cut-off the Butterworth filter cannot take (the frame rate changed since) leaves
        // the data as measured.
        if (filtering == kButterworthFiltering && !ButterworthTakesCutOff(doc.options.cutOffFrequency, doc.framePeriod)) continue;
        // A filter run across an unsolved frame would smear its marker into the frames
        // beside it, so each run of solved frames is smoothed on its own.
        for (const SolvedRun& run : SolvedRuns(doc.worldRaw, p, frames)) {
            std::vector<float> series(static_cast<std::size_t>(run.last - run.first));
            for (int axis = 0; axis < 3; ++axis) {
                for (int f = run.first; f < run.last; ++f)
                    series[static_cast<std::size_t>(f - run.first)] = static_cast<float>(Axis(doc.worldRaw[f][p], axis));
                const std::vector<float> smoothed = Smoothed(series, doc);
                for (int f = run.first; f < run.last; ++f)
                    Axis(doc.worldFiltered[f][p], axis) = smoothed[static_cast<std::size_t>(f - run.first)];
            }
        }
    }
}

void ComputeWorldExtent(CKadivoDoc& doc) {
    if (doc.worldFiltered.empty()) return;
    WorldExtent extent;
    for (int f = 0; f < doc.worldFrameCount; ++f) {
        for (int p = 0; p < doc.pointCount; ++p) {
            const Point3& point = doc.worldFiltered[f][p];
            if (point == kMissingWorldPoint) continue;
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
