#pragma once

#include "GraphWindowModel.h"

#include <QColor>
#include <QPolygonF>
#include <QString>
#include <QSize>

#include <vector>

class QPainter;

namespace kadivo {

// The graphs' text is in the face "ARIEL" where a font of that name is installed, else in
// Liberation Sans (the same widths as the face meant), else in the painter's font.
inline constexpr const char* kGraphFontFace = "ARIEL";
inline constexpr const char* kGraphFontFallback = "Liberation Sans";
// The family to draw in; empty for the painter's own.
QString GraphFontFamily();

// A colour as the graph records keep it: 0x00BBGGRR.
QColor FromColorRef(std::int32_t value);
std::int32_t ToColorRef(const QColor& colour);

// The line types and tag marks the curve properties offer, in their index order.
inline constexpr const char* kLineTypes[] = {"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"};
inline constexpr const char* kTagMarks[] = {"None", "Circle", "Square", "Triangle", "Cross", "Plus"};

// The runs of a curve's polyline in window pixels: samples outside the axis limits break the
// line. Where several samples fall on one pixel column only the first, lowest, highest and
// last are kept, which draws the same line.
std::vector<QPolygonF> CurvePolylines(const DataCurveState& curve, const PlotArea& area, double min, double max);

// Draws the window's graphs over `size`: background, plot frames, grid, axis labels, the
// curves with their legends, the titles and the selection. Automatic limits are brought up
// to date first.
void PaintGraphs(QPainter& painter, GraphWindowModel& model, QSize size, float framePeriod);

}  // namespace kadivo
