#pragma once

#include "FilterEvidence.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kadivo {

// What each line of an evidence plot stands for; the window gives each its pen.
enum class EvidenceLine { Raw, Filtered, Residual, Criterion, NoiseLine, Limit };

struct EvidencePlotLine {
    EvidenceLine kind;
    std::vector<std::pair<double, double>> points;  // in the plot's own coordinates
};

// One plot: its lines, the ranges that hold them and a marked parameter value.
struct EvidencePlot {
    std::string title, xLabel;
    std::vector<EvidencePlotLine> lines;
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    std::optional<double> marker;  // the chosen value, on the x axis
};

// A coordinate's row of the "Filter Evidence" window: a heading that says what was chosen,
// the trajectory raw and filtered, the residual, and the criterion against its parameter.
struct EvidenceRow {
    std::string heading;
    EvidencePlot trajectory, residual, criterion;
    bool hasCriterion = false;
};

// The rows of a point's evidence; times in seconds from `framePeriod`. A spline's smoothing
// parameter is plotted as its common logarithm.
std::vector<EvidenceRow> EvidenceRows(const std::vector<CoordinateEvidence>& evidence, int splineOrder, int cutOffMethod,
                                      float framePeriod);

}  // namespace kadivo
