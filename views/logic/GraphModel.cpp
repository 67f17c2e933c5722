#include "GraphModel.h"

#include "AppendFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kadivo {

namespace {

constexpr const char* kAxisLabels[kUnitCount] = {"meter", "meter/s", "meter/s^2", "deg",  "deg/s",  "deg/s^2",
                                                  "cm",    "cm/s",    "cm/s^2",    "inch", "inch/s", "inch/s^2",
                                                  "mm",    "mm/s",    "mm/s^2",    "rad",  "rad/s",  "rad/s^2"};
constexpr const char* kReadOuts[kUnitCount] = {"m",  "m/s",  "m/s^2",  "d",  "d/s",  "d/s^2",  "cm", "cm/s", "cm/s^2",
                                               "i",  "i/s",  "i/s^2",  "mm", "mm/s", "mm/s^2", "r",  "r/s",  "r/s^2"};

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0.0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(ax + t * dx - px, ay + t * dy - py);
}

}  // namespace

const char* UnitAxisLabel(int unit) { return ValidUnit(unit) ? kAxisLabels[unit] : ""; }
const char* UnitReadOut(int unit) { return ValidUnit(unit) ? kReadOuts[unit] : ""; }

DataGraphState NewGraph(int graphColor, int curveColor) {
    DataGraphState graph;
    graph.graphColor = graphColor;
    graph.curveColor = curveColor;
    return graph;
}

void SetValueRange(DataCurveState& curve) {
    // Frames without a value (NaN) leave the range alone.
    float low = std::numeric_limits<float>::infinity(), high = -low;
    // A band that is drawn widens the range to hold it.
    const bool band = curve.showBand != 0 && curve.halfWidths.size() == curve.samples.size();
    for (std::size_t i = 0; i < curve.samples.size(); ++i) {
        const float sample = curve.samples[i];
        if (std::isnan(sample)) continue;
        const float half = band && std::isfinite(curve.halfWidths[i]) ? curve.halfWidths[i] : 0.0f;
        low = std::min(low, sample - half);
        high = std::max(high, sample + half);
    }
    if (low > high) low = high = 0.0f;
    curve.valueMin = low;
    curve.valueMax = high == low ? low + 1.0f : high;
}

bool AddCurve(DataGraphState& graph, std::vector<float> samples, const std::string& name, int unit) {
    const bool known = unit == graph.leftUnit || unit == graph.rightUnit;
    if (graph.unitCount >= 2 && !known) return false;
    DataCurveState curve;
    curve.color = graph.curveColor;
    curve.unit = unit;
    curve.name = name;
    curve.samples = std::move(samples);
    curve.hasSamples = 1;
    curve.showLegend = 1;
    SetValueRange(curve);
    graph.sampleCount = static_cast<std::int32_t>(curve.samples.size());
    graph.curves.push_back(std::move(curve));
    if (!known) {
        if (graph.unitCount == 0) {
            graph.leftUnit = unit;
        } else {
            graph.rightUnit = unit;
            graph.rightAxisUsed = 1;
        }
        ++graph.unitCount;
    }
    return true;
}

void ClearGraph(DataGraphState& graph) {
    DataGraphState fresh = NewGraph(graph.graphColor, graph.curveColor);
    fresh.gridOn = graph.gridOn;
    fresh.rectLeft = graph.rectLeft;
    fresh.rectTop = graph.rectTop;
    fresh.rectRight = graph.rectRight;
    fresh.rectBottom = graph.rectBottom;
    graph = std::move(fresh);
}

void RemoveCurve(DataGraphState& graph, int index) {
    if (index < 0 || index >= static_cast<int>(graph.curves.size())) return;
    graph.curves.erase(graph.curves.begin() + index);
    if (graph.selectedCurve >= static_cast<int>(graph.curves.size()) || graph.selectedCurve == index) graph.selectedCurve = -1;
    else if (graph.selectedCurve > index) --graph.selectedCurve;
}

void UpdateAutomaticLimits(DataGraphState& graph, float framePeriod) {
    auto range = [&](int unit, float& max, float& min) {
        bool any = false;
        for (const DataCurveState& curve : graph.curves) {
            if (curve.unit != unit) continue;
            max = any ? std::max(max, curve.valueMax) : curve.valueMax;
            min = any ? std::min(min, curve.valueMin) : curve.valueMin;
            any = true;
        }
        if (!any) {
            max = 1.0f;
            min = 0.0f;
        }
    };
    if (!graph.leftManual) range(graph.leftUnit, graph.leftMax, graph.leftMin);
    if (!graph.rightManual) range(graph.rightUnit, graph.rightMax, graph.rightMin);
    if (!graph.xManual) {
        graph.xMin = 0.0f;
        const float span = static_cast<float>(std::max(graph.sampleCount - 1, 0)) * framePeriod;
        // A single sample still needs an axis to stand on.
        graph.xMax = span > 0.0f ? span : 1.0f;
    }
}

std::vector<GraphRect> LayOutGraphs(int count, int width, int height) {
    std::vector<GraphRect> rects;
    if (count <= 0) return rects;
    const int rows = (count + 1) / 2;
    for (int i = 0; i < count; ++i) {
        const int row = i / 2, column = i % 2;
        const int top = row * height / rows, bottom = (row + 1) * height / rows;
        const bool alone = count % 2 == 1 && i == count - 1;
        const int left = alone ? 0 : column * width / 2;
        const int right = alone ? width : (column + 1) * width / 2;
        rects.push_back({left, top, right, bottom});
    }
    return rects;
}

PlotArea PlotAreaOf(const GraphRect& rect) {
    const double w = rect.width(), h = rect.height();
    return {rect.left + 0.15 * w, rect.top + 0.10 * h, 0.7 * w, 0.7 * h};
}

std::optional<double> MarkerX(const GraphRect& rect, int frame, int frames) {
    if (frames < 2 || frame < 0 || frame > frames - 1) return std::nullopt;
    return PlotAreaOf(rect).SampleX(frame, frames);
}

std::optional<std::string> ReadOut(const DataGraphState& graph, const GraphRect& rect, double x, double y) {
    if (graph.curves.empty()) return std::nullopt;
    const PlotArea area = PlotAreaOf(rect);
    const double t = (x - area.left) / area.width * (graph.xMax - graph.xMin) + graph.xMin;
    const double a = (area.bottom() - y) / area.height;
    const double left = a * (graph.leftMax - graph.leftMin) + graph.leftMin;
    const double right = a * (graph.rightMax - graph.rightMin) + graph.rightMin;
    if (t < graph.xMin || t > graph.xMax || left < graph.leftMin || left > graph.leftMax) return std::nullopt;
    std::string text;
    if (graph.rightAxisUsed && ValidUnit(graph.leftUnit) && ValidUnit(graph.rightUnit))
        AppendFormat(text, "%2.2fs %2.2f%s %2.2f%s", t, left, UnitReadOut(graph.leftUnit), right, UnitReadOut(graph.rightUnit));
    else if (ValidUnit(graph.leftUnit))
        AppendFormat(text, "%2.2fs %2.2f%s", t, left, UnitReadOut(graph.leftUnit));
    else
        return std::nullopt;
    return text;
}

std::string ClipboardText(const DataGraphState& graph) {
    std::string text;
    for (const DataCurveState& curve : graph.curves) {
        for (float sample : curve.samples) {
            if (!std::isnan(sample)) AppendFormat(text, "%2.4f", static_cast<double>(sample));
            text += '\t';
        }
        text += '\n';
    }
    return text;
}

int CurveAt(const DataGraphState& graph, const GraphRect& rect, double x, double y, double tolerance) {
    const PlotArea area = PlotAreaOf(rect);
    int best = -1;
    double nearest = tolerance;
    for (int c = 0; c < static_cast<int>(graph.curves.size()); ++c) {
        const DataCurveState& curve = graph.curves[static_cast<std::size_t>(c)];
        const int n = static_cast<int>(curve.samples.size());
        if (n < 1) continue;
        const bool left = OnLeftAxis(graph, curve);
        const double max = left ? graph.leftMax : graph.rightMax, min = left ? graph.leftMin : graph.rightMin;
        if (!(max > min)) continue;
        // The samples whose segments can come within the tolerance of x.
        const double perSample = n > 1 ? area.width / (n - 1) : area.width;
        const int centre = static_cast<int>(std::lround((x - area.left) / std::max(perSample, 1e-9)));
        const int reach = static_cast<int>(std::ceil(tolerance / std::max(perSample, 1e-9))) + 1;
        for (int i = std::max(0, centre - reach); i <= std::min(n - 1, centre + reach); ++i) {
            const double ax = area.SampleX(i, n), ay = area.Y(curve.samples[static_cast<std::size_t>(i)], min, max);
            const int j = std::min(i + 1, n - 1);
            const double bx = area.SampleX(j, n), by = area.Y(curve.samples[static_cast<std::size_t>(j)], min, max);
            if (const double distance = DistanceToSegment(x, y, ax, ay, bx, by); distance <= nearest) {
                nearest = distance;
                best = c;
            }
        }
    }
    return best;
}

}  // namespace kadivo
