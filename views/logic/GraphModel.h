#pragma once

#include "WindowState.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

// Graphs and curves are the records the sequence file keeps (`DataGraphState`,
// `DataCurveState`); these are the rules of the analysis window on them.

inline constexpr int kUnitCount = 18;
inline constexpr int kNoUnit = -1;

// The long unit name of an axis label ("meter/s") and the short one of the read-out ("m/s");
// empty for codes outside 0..17.
const char* UnitAxisLabel(int unit);
const char* UnitReadOut(int unit);
inline bool ValidUnit(int unit) { return unit >= 0 && unit < kUnitCount; }

// A new graph with the window's colours.
DataGraphState NewGraph(int graphColor, int curveColor);

// Appends a curve of `samples` unless it would be a third unit on the graph; false when it
// was dropped.
bool AddCurve(DataGraphState& graph, std::vector<float> samples, const std::string& name, int unit);
// The largest and smallest sample (with its half-width when the curve's band is drawn);
// equal samples give a span of one.
void SetValueRange(DataCurveState& curve);
// "Clear Graph": no curves, and the values of a new graph except colours and grid.
void ClearGraph(DataGraphState& graph);
void RemoveCurve(DataGraphState& graph, int index);

// The Y axes in "Auto" take the range of their unit's curves (1 and 0 without curves); the
// time axis in "Auto" runs from 0 to (samples − 1) × `framePeriod` seconds.
void UpdateAutomaticLimits(DataGraphState& graph, float framePeriod);

struct GraphRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool Contains(double x, double y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const GraphRect&, const GraphRect&) = default;
};

// Rows of two: ceil(n/2) rows of equal height, an odd last graph across the whole width.
std::vector<GraphRect> LayOutGraphs(int count, int width, int height);

// The plot area: 15 % to 85 % of the width, 10 % to 80 % of the height.
struct PlotArea {
    double left, top, width, height;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
    // Where a value lies between an axis's limits.
    double X(double value, double min, double max) const { return left + (value - min) / (max - min) * width; }
    double Y(double value, double min, double max) const { return bottom() - (value - min) / (max - min) * height; }
    // Sample i of n across the whole width.
    double SampleX(int i, int n) const { return n > 1 ? left + static_cast<double>(i) / (n - 1) * width : left; }
};
PlotArea PlotAreaOf(const GraphRect& rect);

// Where the current-frame marker stands: `frame` of `frames`; nothing outside 0..frames − 1.
std::optional<double> MarkerX(const GraphRect& rect, int frame, int frames);

// The status-bar read-out at window point (x, y), or nothing where the Part shows none.
std::optional<std::string> ReadOut(const DataGraphState& graph, const GraphRect& rect, double x, double y);

// "Copy Data to Clipboard": a line a curve, "%2.4f\t" a sample.
std::string ClipboardText(const DataGraphState& graph);

// The curve drawn nearest to (x, y), within `tolerance` window pixels; −1 for none.
int CurveAt(const DataGraphState& graph, const GraphRect& rect, double x, double y, double tolerance = 4.0);

// Whether a curve is drawn against the left axis.
inline bool OnLeftAxis(const DataGraphState& graph, const DataCurveState& curve) { return curve.unit == graph.leftUnit; }

}  // namespace kadivo
