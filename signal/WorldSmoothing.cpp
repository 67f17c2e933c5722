#include "WorldSmoothing.h"

#include "ButterworthFilter.h"
#include "CKadivoDoc.h"
#include "GcvSpline.h"
#include "LowPassFilter.h"
#include "ParallelFor.h"

#include <algorithm>
#include <memory>
#include <numeric>

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
    : CoordinateSmoothing(doc, entry, axis, filtering, false) {}

CoordinateSmoothing::CoordinateSmoothing(const CKadivoDoc& doc, int entry, int axis, int filtering, bool splineLater)
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
    if (filtering_ == 0 || (filtering_ == 1 && splineLater)) return;
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

std::vector<CoordinateSmoothing> CoordinateSmoothing::Of(const CKadivoDoc& doc, const std::vector<WorldCoordinate>& coordinates,
                                                         int filtering) {
    std::vector<std::unique_ptr<CoordinateSmoothing>> made(coordinates.size());
    ParallelFor(static_cast<int>(coordinates.size()), [&](int i) {
        const WorldCoordinate c = coordinates[static_cast<std::size_t>(i)];
        made[static_cast<std::size_t>(i)].reset(new CoordinateSmoothing(doc, c.entry, c.axis, filtering, true));
    });
    // The spline's runs, every coordinate's together: the same results as one at a time.
    std::vector<std::vector<double>> runs;
    for (std::size_t i = 0; i < made.size(); ++i) {
        if (made[i]->filtering_ != 1) continue;
        for (const SolvedRun& run : made[i]->runs_) {
            const std::vector<float> raw = RunSeries(doc.worldRaw, coordinates[i].entry, coordinates[i].axis, run);
            runs.emplace_back(raw.begin(), raw.end());
        }
    }
    const std::vector<GcvResult> results = GcvSmoothMany(runs, doc.options.splineOrder + 1, doc.options.smoothError);
    std::vector<CoordinateSmoothing> smoothings;
    smoothings.reserve(made.size());
    std::size_t next = 0;
    for (std::unique_ptr<CoordinateSmoothing>& smoothing : made) {
        if (smoothing->filtering_ == 1) {
            for (std::size_t r = 0; r < smoothing->runs_.size(); ++r, ++next) {
                const GcvResult& result = results[next];
                const std::vector<double>& raw = runs[next];
                const std::vector<double>& values = result.smoothed ? result.values : raw;
                smoothing->smoothed_.emplace_back(values.begin(), values.end());
                smoothing->splineParameters_.push_back(result.smoothed ? result.statistics.p : -1.0);
            }
        }
        smoothings.push_back(std::move(*smoothing));
    }
    return smoothings;
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
    if (doc.worldFiltered.frames() != doc.worldRaw.frames() || doc.worldFiltered.entriesPerFrame() != doc.worldRaw.entriesPerFrame())
        doc.worldFiltered = WorldData(doc.worldRaw.frames(), doc.worldRaw.entriesPerFrame());
    std::vector<int> entries(static_cast<std::size_t>(doc.pointCount) + 1);
    std::iota(entries.begin(), entries.end(), 0);
    SmoothWorldEntries(doc, entries);
}

void SmoothWorldEntries(CKadivoDoc& doc, const std::vector<int>& entries) {
    const int frames = doc.worldFrameCount;
    std::vector<WorldCoordinate> coordinates;
    for (int p : entries) {
        for (int f = 0; f < frames; ++f) doc.worldFiltered[f][p] = doc.worldRaw[f][p];
        for (int axis = 0; axis < 3; ++axis) coordinates.push_back({p, axis});
    }
    // A filter run across an unsolved frame would smear its marker into the frames beside it,
    // so each run of solved frames is smoothed on its own.
    const std::vector<CoordinateSmoothing> smoothings = CoordinateSmoothing::Of(doc, coordinates, doc.options.filtering);
    for (std::size_t i = 0; i < coordinates.size(); ++i) {
        const CoordinateSmoothing& smoothing = smoothings[i];
        if (!smoothing.Smooths()) continue;
        const auto [p, axis] = coordinates[i];
        for (std::size_t r = 0; r < smoothing.Runs().size(); ++r) {
            const SolvedRun run = smoothing.Runs()[r];
            const std::vector<float>& smoothed = smoothing.SmoothedRuns()[r];
            for (int f = run.first; f < run.last; ++f)
                Axis(doc.worldFiltered[f][p], axis) = smoothed[static_cast<std::size_t>(f - run.first)];
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
