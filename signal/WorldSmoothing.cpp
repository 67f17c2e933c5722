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

SolvedRun LongestRun(const std::vector<SolvedRun>& runs) {
    return *std::max_element(runs.begin(), runs.end(), [](SolvedRun a, SolvedRun b) { return a.last - a.first < b.last - b.first; });
}

CoordinateSmoothing::CoordinateSmoothing(const CKadivoDoc& doc, int entry, int axis, int filtering)
    : doc_(doc), runs_(SolvedRuns(doc.worldRaw, entry, doc.worldFrameCount)), filtering_(filtering) {
    if (filtering_ != 1 && filtering_ != kFrequencyFiltering && filtering_ != kButterworthFiltering) filtering_ = 0;
    if (runs_.empty()) filtering_ = 0;
    if (filtering_ == kButterworthFiltering) {
        // A cut-off the filter cannot take (the frame rate changed since) leaves the data
        // as measured.
        const std::optional<double> usable = ButterworthCutOffOf(doc, RunSeries(doc.worldRaw, entry, axis, LongestRun(runs_)));
        if (usable) cutOff_ = *usable;
        else filtering_ = 0;
    }
    if (filtering_ == 0) return;
    const SequenceOptions& o = doc.options;
    for (const SolvedRun& run : runs_) {
        const std::vector<float> raw = RunSeries(doc.worldRaw, entry, axis, run);
        double parameter = -1.0;
        if (filtering_ == 1) {
            GcvStatistics statistics;
            smoothed_.push_back(SplineSmooth(raw, o.splineOrder, o.smoothError, &statistics));
            if (statistics.fits > 0) parameter = statistics.p;
        } else if (filtering_ == kFrequencyFiltering) {
            smoothed_.push_back(LowPassFilter(raw, o.cutOffFrequency, 1.0f / doc.framePeriod));
        } else {
            const std::vector<double> filtered = ButterworthFilter(std::vector<double>(raw.begin(), raw.end()), cutOff_, 1.0 / doc.framePeriod);
            smoothed_.emplace_back(filtered.begin(), filtered.end());
        }
        splineParameters_.push_back(parameter);
    }
}

std::vector<double> CoordinateSmoothing::Apply(const std::vector<double>& series) const {
    if (filtering_ == 0) return series;
    std::vector<double> out(series.size(), 0.0);
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        const SolvedRun run = runs_[r];
        const std::vector<double> part =
            ApplyToRun(std::vector<double>(series.begin() + run.first, series.begin() + run.last), splineParameters_[r]);
        std::copy(part.begin(), part.end(), out.begin() + run.first);
    }
    return out;
}

std::vector<double> CoordinateSmoothing::ApplyToRun(std::vector<double> run, double splineParameter) const {
    const SequenceOptions& o = doc_.options;
    if (filtering_ == 1) {
        std::vector<double> out;
        if (splineParameter >= 0 && SplineSmoothAt(run, o.splineOrder + 1, splineParameter, out)) return out;
        return run;
    }
    if (filtering_ == kFrequencyFiltering) {
        const std::vector<float> out = LowPassFilter({run.begin(), run.end()}, o.cutOffFrequency, 1.0f / doc_.framePeriod);
        return {out.begin(), out.end()};
    }
    return ButterworthFilter(run, cutOff_, 1.0 / doc_.framePeriod);
}

void SmoothWorldData(CKadivoDoc& doc) {
    if (doc.worldRaw.empty()) return;
    const int frames = doc.worldFrameCount;
    if (doc.worldFiltered.frames() != doc.worldRaw.frames() || doc.worldFiltered.entriesPerFrame() != doc.worldRaw.entriesPerFrame())
        doc.worldFiltered = WorldData(doc.worldRaw.frames(), doc.worldRaw.entriesPerFrame());
    for (int p = 0; p <= doc.pointCount; ++p) {
        for (int f = 0; f < frames; ++f) doc.worldFiltered[f][p] = doc.worldRaw[f][p];
        // A filter run across an unsolved frame would smear its marker into the frames
        // beside it, so each run of solved frames is smoothed on its own.
        for (int axis = 0; axis < 3; ++axis) {
            const CoordinateSmoothing smoothing(doc, p, axis, doc.options.filtering);
            if (!smoothing.Smooths()) continue;
            for (std::size_t r = 0; r < smoothing.Runs().size(); ++r) {
                const SolvedRun run = smoothing.Runs()[r];
                const std::vector<float>& smoothed = smoothing.SmoothedRuns()[r];
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
