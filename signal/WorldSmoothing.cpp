#include "WorldSmoothing.h"

#include "ButterworthFilter.h"
#include "CKadivoDoc.h"
#include "GcvSpline.h"
#include "LowPassFilter.h"

#include <algorithm>

namespace kadivo {

std::vector<SolvedRun> SolvedRuns(const WorldData& world, int entry, int frames) {
    std::vector<SolvedRun> runs;
    for (int f = 0; f < frames; ++f) {
        if (world[f][entry] == kMissingWorldPoint) continue;
        if (runs.empty() || runs.back().last != f) runs.push_back({f, f});
        runs.back().last = f + 1;
    }
    return runs;
}

std::vector<float> RunSeries(const WorldData& world, int entry, int axis, SolvedRun run) {
    std::vector<float> series;
    series.reserve(static_cast<std::size_t>(run.last - run.first));
    for (int f = run.first; f < run.last; ++f) series.push_back(static_cast<float>(Axis(world[f][entry], axis)));
    return series;
}

std::optional<double> ButterworthCutOffOf(const CKadivoDoc& doc, const std::vector<float>& longest, CutOffChoice* choice) {
    const SequenceOptions& o = doc.options;
    if (o.cutOffMethod != kGivenCutOff && doc.HasUsableFramePeriod() &&
        static_cast<int>(longest.size()) >= kFewestValuesForACutOff) {
        CutOffChoice chosen = ChooseCutOff(o.cutOffMethod, std::vector<double>(longest.begin(), longest.end()), 1.0 / doc.framePeriod);
        const double cutOff = chosen.cutOff;
        if (choice) *choice = std::move(chosen);
        return cutOff;
    }
    if (!ButterworthTakesCutOff(o.cutOffFrequency, doc.framePeriod)) return std::nullopt;
    return o.cutOffFrequency;
}

namespace {

std::vector<float> Smoothed(const std::vector<float>& series, const CKadivoDoc& doc, double butterworthCutOff) {
    const SequenceOptions& o = doc.options;
    if (o.filtering == 1) return SplineSmooth(series, o.splineOrder, o.smoothError);
    if (o.filtering == kFrequencyFiltering) return LowPassFilter(series, o.cutOffFrequency, 1.0f / doc.framePeriod);
    const std::vector<double> filtered =
        ButterworthFilter(std::vector<double>(series.begin(), series.end()), butterworthCutOff, 1.0 / doc.framePeriod);
    return {filtered.begin(), filtered.end()};
}

}  // namespace

void SmoothWorldData(CKadivoDoc& doc) {
    if (doc.worldRaw.empty()) return;
    const int frames = doc.worldFrameCount;
    if (doc.worldFiltered.frames() != doc.worldRaw.frames() || doc.worldFiltered.entriesPerFrame() != doc.worldRaw.entriesPerFrame())
        doc.worldFiltered = WorldData(doc.worldRaw.frames(), doc.worldRaw.entriesPerFrame());
    const int filtering = doc.options.filtering;
    for (int p = 0; p <= doc.pointCount; ++p) {
        for (int f = 0; f < frames; ++f) doc.worldFiltered[f][p] = doc.worldRaw[f][p];
        if (filtering != 1 && filtering != kFrequencyFiltering && filtering != kButterworthFiltering) continue;
        // A filter run across an unsolved frame would smear its marker into the frames
        // beside it, so each run of solved frames is smoothed on its own.
        const std::vector<SolvedRun> runs = SolvedRuns(doc.worldRaw, p, frames);
        if (runs.empty()) continue;
        const SolvedRun longest = *std::max_element(runs.begin(), runs.end(), [](SolvedRun a, SolvedRun b) {
            return a.last - a.first < b.last - b.first;
        });
        for (int axis = 0; axis < 3; ++axis) {
            double cutOff = 0;
            if (filtering == kButterworthFiltering) {
                // A cut-off the filter cannot take (the frame rate changed since) leaves the
                // data as measured.
                const std::optional<double> usable = ButterworthCutOffOf(doc, RunSeries(doc.worldRaw, p, axis, longest));
                if (!usable) continue;
                cutOff = *usable;
            }
            for (const SolvedRun& run : runs) {
                const std::vector<float> smoothed = Smoothed(RunSeries(doc.worldRaw, p, axis, run), doc, cutOff);
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
