#include "FilterEvidence.h"

#include "CKadivoDoc.h"
#include "GcvSpline.h"
#include "LowPassFilter.h"
#include "StraightLine.h"
#include "WorldSmoothing.h"

#include <algorithm>
#include <cmath>

namespace kadivo {

namespace {

void SpectrumEvidence(CoordinateEvidence& evidence, const std::vector<double>& series, double rate) {
    evidence.criterion = "amplitude";
    evidence.parameter = "frequency (Hz)";
    evidence.curve = AmplitudeSpectrum(series, rate);
}

}  // namespace

const char* FilterName(int filtering) {
    switch (filtering) {
        case 1: return "spline";
        case kFrequencyFiltering: return "lowpass";
        case kButterworthFiltering: return "butterworth";
        default: return "none";
    }
}

std::vector<std::pair<double, double>> AmplitudeSpectrum(const std::vector<double>& series, double rate) {
    const int n = static_cast<int>(series.size());
    if (n < 2 || !(rate > 0)) return {};
    int points = 2;
    while (points < n) points *= 2;
    const std::vector<double> away = AboutStraightLine(series);
    std::vector<double> d(static_cast<std::size_t>(2 * points) + 1, 0.0);  // 1-based pairs
    for (int i = 0; i < n; ++i) d[static_cast<std::size_t>(2 * i + 1)] = away[static_cast<std::size_t>(i)];
    ComplexFft(d.data(), points, 1);
    std::vector<std::pair<double, double>> spectrum;
    for (int k = 0; k <= points / 2; ++k) {
        const double re = d[static_cast<std::size_t>(2 * k + 1)], im = d[static_cast<std::size_t>(2 * k + 2)];
        spectrum.emplace_back(k * rate / points, (k == 0 ? 1.0 : 2.0) * std::hypot(re, im) / n);
    }
    return spectrum;
}

std::vector<CoordinateEvidence> FilterEvidenceOf(const CKadivoDoc& doc, int entry) {
    if (doc.worldRaw.empty() || entry < 0 || entry > doc.pointCount) return {};
    const std::vector<SolvedRun> runs = SolvedRuns(doc.worldRaw, entry, doc.worldFrameCount);
    if (runs.empty()) return {};
    const SolvedRun longest = LongestRun(runs);
    const SequenceOptions& o = doc.options;
    const double rate = doc.HasUsableFramePeriod() ? 1.0 / doc.framePeriod : 0.0;
    // The choices are made on the values as the smoothing reads them.
    std::vector<std::vector<float>> series;
    std::vector<std::vector<double>> reads;
    for (int axis = 0; axis < 3; ++axis) {
        series.push_back(RunSeries(doc.worldRaw, entry, axis, longest));
        reads.emplace_back(series.back().begin(), series.back().end());
    }
    // The spline's three searches run together, as the smoothing ran them.
    const std::vector<GcvResult> splines =
        o.filtering == 1 ? GcvSmoothMany(reads, o.splineOrder + 1, o.smoothError) : std::vector<GcvResult>{};
    std::vector<CoordinateEvidence> all;
    for (int axis = 0; axis < 3; ++axis) {
        CoordinateEvidence evidence;
        evidence.axis = axis;
        evidence.filtering = o.filtering;
        evidence.firstFrame = longest.first;
        for (int f = longest.first; f < longest.last; ++f) {
            evidence.raw.push_back(Axis(doc.worldRaw[f][entry], axis));
            evidence.filtered.push_back(Axis(doc.worldFiltered[f][entry], axis));
        }
        const std::vector<double>& read = reads[static_cast<std::size_t>(axis)];
        if (o.filtering == 1) {
            const GcvResult& spline = splines[static_cast<std::size_t>(axis)];
            if (spline.smoothed) {
                const GcvStatistics& statistics = spline.statistics;
                evidence.smoothingParameter = statistics.p;
                evidence.criterion = o.smoothError > 0 ? "estimated mean squared error" : "GCV";
                evidence.parameter = "smoothing parameter";
                evidence.logarithmicParameter = true;
                evidence.curve = GcvCriterionCurve(read, o.splineOrder + 1, o.smoothError, statistics.p);
            }
        } else if (o.filtering == kFrequencyFiltering) {
            evidence.cutOffHz = o.cutOffFrequency;
            SpectrumEvidence(evidence, read, rate);
        } else if (o.filtering == kButterworthFiltering) {
            CutOffChoice choice;
            evidence.cutOffHz = ButterworthCutOffOf(doc, series[static_cast<std::size_t>(axis)], &choice);
            if (!choice.curve.empty()) {
                evidence.curve = std::move(choice.curve);
                evidence.parameter = "cut-off (Hz)";
                if (o.cutOffMethod == kWhitenessCutOff) {
                    evidence.criterion = "whiteness statistic";
                    evidence.limit = choice.limit;
                } else {
                    evidence.criterion = "RMS residual";
                    evidence.noiseLine = std::make_pair(choice.noiseIntercept, choice.noiseSlope);
                }
            } else {
                SpectrumEvidence(evidence, read, rate);
            }
        }
        all.push_back(std::move(evidence));
    }
    return all;
}

}  // namespace kadivo
