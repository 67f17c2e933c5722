#include "FilterEvidencePlots.h"

#include "SequenceOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kadivo {

namespace {

constexpr const char* kAxisNames[] = {"x", "y", "z"};
constexpr const char* kSplineOrders[] = {"linear", "cubic", "quintic", "heptic"};

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

// The ranges of the plot's lines (and its marker), a little wider; a flat range gets a span.
void FitRanges(EvidencePlot& plot) {
    double xMin = INFINITY, xMax = -INFINITY, yMin = INFINITY, yMax = -INFINITY;
    for (const EvidencePlotLine& line : plot.lines)
        for (const auto& [x, y] : line.points) {
            if (!std::isfinite(x) || !std::isfinite(y)) continue;
            xMin = std::min(xMin, x), xMax = std::max(xMax, x), yMin = std::min(yMin, y), yMax = std::max(yMax, y);
        }
    if (plot.marker && std::isfinite(*plot.marker)) xMin = std::min(xMin, *plot.marker), xMax = std::max(xMax, *plot.marker);
    if (!(xMin <= xMax)) xMin = 0, xMax = 1;
    if (!(yMin <= yMax)) yMin = 0, yMax = 1;
    if (xMax - xMin <= 0) xMin -= 0.5, xMax += 0.5;
    if (yMax - yMin <= std::abs(yMax) * 1e-12) yMin -= std::max(0.5, std::abs(yMin) * 0.01), yMax += std::max(0.5, std::abs(yMax) * 0.01);
    const double margin = 0.05 * (yMax - yMin);
    plot.xMin = xMin, plot.xMax = xMax, plot.yMin = yMin - margin, plot.yMax = yMax + margin;
}

std::string Heading(const CoordinateEvidence& e, int splineOrder, int cutOffMethod) {
    std::string text = std::string(kAxisNames[e.axis]) + ": ";
    switch (e.filtering) {
        case 1:
            text += std::string(kSplineOrders[std::clamp(splineOrder, 0, 3)]) + " spline";
            if (e.smoothingParameter) text += ", smoothing parameter " + Number(*e.smoothingParameter) + " by " + e.criterion;
            return text;
        case kFrequencyFiltering:
            return text + "low-pass filter, cut-off " + Number(e.cutOffHz.value_or(0)) + " Hz";
        case kButterworthFiltering:
            if (!e.cutOffHz) return text + "Butterworth filter, not applied: the cut-off is not below half the frame rate";
            text += "Butterworth filter, cut-off " + Number(*e.cutOffHz) + " Hz";
            if (e.noiseLine) return text + " by residual analysis";
            if (e.limit) return text + " by the whiteness of the residual";
            return text + (cutOffMethod == kGivenCutOff ? " as given" : " as given (too few frames to choose from)");
        default:
            return text + "not filtered";
    }
}

}  // namespace

std::vector<EvidenceRow> EvidenceRows(const std::vector<CoordinateEvidence>& evidence, int splineOrder, int cutOffMethod,
                                      float framePeriod) {
    const double period = std::isfinite(framePeriod) && framePeriod > 0 ? framePeriod : 1.0;
    std::vector<EvidenceRow> rows;
    for (const CoordinateEvidence& e : evidence) {
        EvidenceRow row;
        row.heading = Heading(e, splineOrder, cutOffMethod);
        row.trajectory.title = "raw and filtered";
        row.residual.title = "residual";
        row.residual.xLabel = "time (s)";  // the trajectory above shares its time axis
        EvidencePlotLine raw{EvidenceLine::Raw, {}}, filtered{EvidenceLine::Filtered, {}}, residual{EvidenceLine::Residual, {}};
        for (std::size_t i = 0; i < e.raw.size(); ++i) {
            const double t = (e.firstFrame + static_cast<double>(i)) * period;
            raw.points.emplace_back(t, e.raw[i]);
            filtered.points.emplace_back(t, e.filtered[i]);
            residual.points.emplace_back(t, e.raw[i] - e.filtered[i]);
        }
        row.trajectory.lines = {std::move(raw), std::move(filtered)};
        row.residual.lines = {std::move(residual)};
        row.hasCriterion = !e.curve.empty();
        if (row.hasCriterion) {
            EvidencePlot& plot = row.criterion;
            plot.title = e.criterion;
            EvidencePlotLine curve{EvidenceLine::Criterion, e.curve};
            if (e.logarithmicParameter) {
                plot.xLabel = "log10 " + e.parameter;
                // The interpolating end (p = 0) has no logarithm; it stays off the plot.
                std::erase_if(curve.points, [](const auto& point) { return !(point.first > 0); });
                for (auto& point : curve.points) point.first = std::log10(point.first);
                if (e.smoothingParameter && *e.smoothingParameter > 0) plot.marker = std::log10(*e.smoothingParameter);
            } else {
                plot.xLabel = e.parameter;
                plot.marker = e.cutOffHz;
            }
            const double first = curve.points.empty() ? 0 : curve.points.front().first;
            const double last = curve.points.empty() ? 1 : curve.points.back().first;
            plot.lines.push_back(std::move(curve));
            if (e.noiseLine) {
                const auto [intercept, slope] = *e.noiseLine;
                plot.lines.push_back({EvidenceLine::NoiseLine, {{0.0, intercept}, {last, intercept + slope * last}}});
            }
            if (e.limit) {
                // The statistic falls by decades before it meets its limit.
                plot.title += " (log10)";
                for (auto& point : plot.lines.front().points) point.second = std::log10(std::max(point.second, 1e-12));
                const double limit = std::log10(*e.limit);
                plot.lines.push_back({EvidenceLine::Limit, {{first, limit}, {last, limit}}});
            }
        }
        FitRanges(row.trajectory);
        FitRanges(row.residual);
        FitRanges(row.criterion);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace kadivo
