#pragma once

#include "ButterworthCutOff.h"

#include <optional>
#include <vector>

namespace kadivo {

class CKadivoDoc;
class WorldData;

// Fills the smoothed world data from the raw world data, series by series (every axis of
// every point and of the centre of gravity) in single precision, by the filtering option:
// a copy, the GCV smoothing spline, the low-pass filter or the zero-lag Butterworth filter
// at the video's rate (a copy where the Butterworth cut-off reaches half the rate). Frames in
// which an entry is missing stay missing, and the runs of frames between them are smoothed
// apart. A Butterworth cut-off chosen from the data is chosen once per coordinate, from its
// longest run.
void SmoothWorldData(CKadivoDoc& doc);
// The same for the listed entries (0-based points, pointCount the centre of gravity) alone,
// the smoothed world data already sized.
void SmoothWorldEntries(CKadivoDoc& doc, const std::vector<int>& entries);

// The frames [first, last) of one run of frames in which a world entry was solved.
struct SolvedRun {
    int first, last;
};
std::vector<SolvedRun> SolvedRuns(const WorldData& world, int entry, int frames);
// The run with the most frames (the first of equals); `runs` must not be empty.
SolvedRun LongestRun(const std::vector<SolvedRun>& runs);

// One axis (0 x, 1 y, 2 z) of world entry `entry` over a run, as the smoothing reads it.
std::vector<float> RunSeries(const WorldData& world, int entry, int axis, SolvedRun run);

// The Butterworth cut-off in Hz of a coordinate whose longest run is `longest`: the given one,
// or the one chosen from the run (its evidence in `choice`) when the sequence says so and the
// run is long enough. Nothing when the cut-off cannot be used at the frame rate.
std::optional<double> ButterworthCutOffOf(const CKadivoDoc& doc, const std::vector<float>& longest,
                                          CutOffChoice* choice = nullptr);

// How one coordinate of a world entry is smoothed with filter `filtering` (a filtering
// option; 0 leaves it as measured): each run of solved frames on its own, with what the
// filter chose from the raw data — the Butterworth cut-off from the longest run, the
// spline's parameter run by run. With those choices made, the smoothing is linear.
struct WorldCoordinate {
    int entry, axis;
};

class CoordinateSmoothing {
public:
    CoordinateSmoothing(const CKadivoDoc& doc, int entry, int axis, int filtering);
    // The smoothings of many coordinates at once, on every core (the same as one by one).
    static std::vector<CoordinateSmoothing> Of(const CKadivoDoc& doc, const std::vector<WorldCoordinate>& coordinates,
                                               int filtering);

    const std::vector<SolvedRun>& Runs() const { return runs_; }
    // False without filtering, and with a Butterworth cut-off the frame rate cannot take.
    bool Smooths() const { return filtering_ != 0; }
    // The raw coordinate smoothed, a series a run, in single precision.
    const std::vector<std::vector<float>>& SmoothedRuns() const { return smoothed_; }
    // Any series over every frame through the same smoothing with the same choices; frames
    // outside the runs are 0.
    std::vector<double> Apply(const std::vector<double>& series) const;

private:
    // With `splineLater` the spline's runs are left for Of to smooth.
    CoordinateSmoothing(const CKadivoDoc& doc, int entry, int axis, int filtering, bool splineLater);
    std::vector<double> ApplyToRun(std::vector<double> run, double splineParameter) const;

    const CKadivoDoc& doc_;
    std::vector<SolvedRun> runs_;
    int filtering_ = 0;
    double cutOff_ = 0.0;
    std::vector<double> splineParameters_;  // a run; below 0 where the run was too short
    std::vector<std::vector<float>> smoothed_;
};

// The largest and smallest smoothed coordinates of the model points over all frames,
// missing points aside.
void ComputeWorldExtent(CKadivoDoc& doc);

}  // namespace kadivo
