#include "GraphPainter.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kadivo {

namespace {

const QColor kGridColour(0x78, 0x78, 0x78);
const QColor kSelectionColour(255, 220, 0);

Qt::PenStyle PenStyleOf(int lineType) {
    switch (lineType) {
        case 1: return Qt::DashLine;
        case 2: return Qt::DotLine;
        case 3: return Qt::DashDotLine;
        case 4: return Qt::DashDotDotLine;
        default: return Qt::SolidLine;
    }
}

QString Number(double value) { return QString::asprintf("%2.2f", value); }

void DrawTagMark(QPainter& painter, QPointF at, int mark) {
    const double r = 3.5;
    switch (mark) {
        case 1: painter.drawEllipse(at, r, r); break;
        case 2: painter.drawRect(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r)); break;
        case 3: painter.drawPolygon(QPolygonF({at + QPointF(0, -r), at + QPointF(r, r), at + QPointF(-r, r)})); break;
        case 4:
            painter.drawLine(at + QPointF(-r, -r), at + QPointF(r, r));
            painter.drawLine(at + QPointF(-r, r), at + QPointF(r, -r));
            break;
        case 5:
            painter.drawLine(at + QPointF(-r, 0), at + QPointF(r, 0));
            painter.drawLine(at + QPointF(0, -r), at + QPointF(0, r));
            break;
        default: break;
    }
}

// Axis labels and the grid at every division.
void DrawAxes(QPainter& painter, const DataGraphState& graph, const GraphRect& rect, const PlotArea& area, const QColor& ink) {
    const int divisions = std::max(1, static_cast<int>(graph.divisions));
    const QFontMetricsF metrics(painter.font());
    double leftWidth = 0.0, rightWidth = 0.0;  // the widest value label of each side
    for (int k = 0; k <= divisions; ++k) {
        const double f = static_cast<double>(k) / divisions;
        const double x = area.left + f * area.width, y = area.bottom() - f * area.height;
        if (graph.gridOn && k > 0 && k < divisions) {
            painter.setPen(QPen(kGridColour, 1, Qt::DotLine));
            painter.drawLine(QPointF(x, area.top), QPointF(x, area.bottom()));
            painter.drawLine(QPointF(area.left, y), QPointF(area.right(), y));
        }
        painter.setPen(ink);
        const QString time = Number(graph.xMin + f * (graph.xMax - graph.xMin));
        painter.drawText(QPointF(x - metrics.horizontalAdvance(time) / 2, area.bottom() + metrics.height()), time);
        const QString left = Number(graph.leftMin + f * (graph.leftMax - graph.leftMin));
        leftWidth = std::max(leftWidth, metrics.horizontalAdvance(left));
        painter.drawText(QPointF(area.left - metrics.horizontalAdvance(left) - 4, y + metrics.ascent() / 2 - 1), left);
        if (graph.rightAxisUsed) {
            const QString right = Number(graph.rightMin + f * (graph.rightMax - graph.rightMin));
            rightWidth = std::max(rightWidth, metrics.horizontalAdvance(right));
            painter.drawText(QPointF(area.right() + 4, y + metrics.ascent() / 2 - 1), right);
        }
    }
    painter.setPen(ink);
    const QString seconds = "s";
    painter.drawText(QPointF(area.left + area.width / 2 - metrics.horizontalAdvance(seconds) / 2,
                             area.bottom() + 2.2 * metrics.height()),
                     seconds);
    // The unit names run up the sides, beyond the value labels and inside the graph.
    auto vertical = [&](const QString& text, double baseline) {
        painter.save();
        painter.translate(baseline, area.top + area.height / 2 + metrics.horizontalAdvance(text) / 2);
        painter.rotate(-90);
        painter.drawText(QPointF(0, 0), text);
        painter.restore();
    };
    if (ValidUnit(graph.leftUnit))
        vertical(UnitAxisLabel(graph.leftUnit), std::max(area.left - leftWidth - 8, rect.left + metrics.ascent() + 1));
    if (graph.rightAxisUsed && ValidUnit(graph.rightUnit))
        vertical(UnitAxisLabel(graph.rightUnit),
                 std::min(area.right() + rightWidth + 8 + metrics.ascent(), rect.right - metrics.descent() - 2));
}

// A line `width` pixels wide as width × width one-pixel lines side by side: Qt's stroker for
// wide lines takes seconds on dense curves, its one-pixel lines milliseconds.
void StrokeWide(QPainter& painter, const std::vector<QPolygonF>& runs, const QColor& colour, int width, Qt::PenStyle style) {
    QPen pen(colour, 0, style, Qt::FlatCap, Qt::RoundJoin);
    painter.setPen(pen);
    const double centre = (width - 1) / 2.0;
    for (int dx = 0; dx < width; ++dx)
        for (int dy = 0; dy < width; ++dy) {
            const QPointF offset(dx - centre, dy - centre);
            for (const QPolygonF& run : runs) painter.drawPolyline(run.translated(offset));
        }
}

// The 95 % band as a pale fill behind the curve, one piece for each run of samples that
// have a value and a half-width.
void DrawBand(QPainter& painter, const DataCurveState& curve, const PlotArea& area, double min, double max, QColor colour) {
    colour.setAlpha(70);
    painter.save();
    painter.setClipRect(QRectF(area.left, area.top, area.width, area.height));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const int n = static_cast<int>(curve.samples.size());
    for (int first = 0; first < n;) {
        const auto usable = [&](int i) {
            return std::isfinite(curve.samples[static_cast<std::size_t>(i)]) && std::isfinite(curve.halfWidths[static_cast<std::size_t>(i)]);
        };
        if (!usable(first)) {
            ++first;
            continue;
        }
        int last = first;
        while (last + 1 < n && usable(last + 1)) ++last;
        QPolygonF band;
        for (int i = first; i <= last; ++i) {
            const double value = curve.samples[static_cast<std::size_t>(i)], half = curve.halfWidths[static_cast<std::size_t>(i)];
            band << QPointF(area.SampleX(i, n), area.Y(value + half, min, max));
        }
        for (int i = last; i >= first; --i) {
            const double value = curve.samples[static_cast<std::size_t>(i)], half = curve.halfWidths[static_cast<std::size_t>(i)];
            band << QPointF(area.SampleX(i, n), area.Y(value - half, min, max));
        }
        painter.drawPolygon(band);
        first = last + 1;
    }
    painter.restore();
}

void DrawCurve(QPainter& painter, const DataGraphState& graph, const DataCurveState& curve, const PlotArea& area,
               bool selected) {
    const bool left = OnLeftAxis(graph, curve);
    const double max = left ? graph.leftMax : graph.rightMax, min = left ? graph.leftMin : graph.rightMin;
    if (!(max > min) || curve.samples.empty()) return;
    const std::vector<QPolygonF> runs = CurvePolylines(curve, area, min, max);
    const QColor colour = FromColorRef(curve.color);
    if (curve.showBand && curve.halfWidths.size() == curve.samples.size()) DrawBand(painter, curve, area, min, max, colour);
    const int width = std::clamp(static_cast<int>(curve.lineWidth), 1, 4);
    if (selected) StrokeWide(painter, runs, kSelectionColour, width + 4, Qt::SolidLine);
    StrokeWide(painter, runs, colour, width, PenStyleOf(curve.lineType));
    if (curve.tagMark > 0) {
        painter.setPen(QPen(colour, 1.2));
        painter.setBrush(Qt::NoBrush);
        const int n = static_cast<int>(curve.samples.size());
        const int step = std::max(1, n / 12);
        for (int i = 0; i < n; i += step) {
            const double value = curve.samples[static_cast<std::size_t>(i)];
            if (value < min || value > max) continue;
            DrawTagMark(painter, QPointF(area.SampleX(i, n), area.Y(value, min, max)), curve.tagMark);
        }
    }
}

void DrawLegend(QPainter& painter, const DataGraphState& graph, const PlotArea& area, const QColor& ink,
                const QColor& background) {
    const QFontMetricsF metrics(painter.font());
    // A box under the names keeps them readable over the curves.
    double widest = 0.0;
    int shown = 0;
    for (const DataCurveState& curve : graph.curves)
        if (curve.showLegend) {
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(curve.name)));
            ++shown;
        }
    if (shown == 0) return;
    const double rows = std::min<double>(shown, std::floor((area.height - 8) / metrics.height()));
    QColor shade = background;
    shade.setAlpha(190);
    painter.fillRect(QRectF(area.left + 2, area.top + 2, widest + 32, rows * metrics.height() + 4), shade);
    double y = area.top + 4;
    for (const DataCurveState& curve : graph.curves) {
        if (!curve.showLegend) continue;
        if (y + metrics.height() > area.bottom()) break;
        const double x = area.left + 6;
        painter.setPen(QPen(FromColorRef(curve.color), std::clamp(static_cast<int>(curve.lineWidth), 1, 4),
                            PenStyleOf(curve.lineType)));
        painter.drawLine(QPointF(x, y + metrics.height() / 2), QPointF(x + 18, y + metrics.height() / 2));
        painter.setPen(ink);
        painter.drawText(QPointF(x + 22, y + metrics.ascent()), QString::fromStdString(curve.name));
        y += metrics.height();
    }
}

void DrawGraph(QPainter& painter, const DataGraphState& graph, const GraphRect& rect, bool selected, const QColor& background) {
    const PlotArea area = PlotAreaOf(rect);
    const QColor ink = FromColorRef(graph.graphColor);
    QFont font = painter.font();
    if (const QString family = GraphFontFamily(); !family.isEmpty()) font.setFamily(family);
    font.setBold(false);
    font.setPixelSize(std::clamp(rect.height() / 22, 9, 14));
    painter.setFont(font);
    const QRectF plot(area.left, area.top, area.width, area.height);
    if (selected) {
        painter.setPen(QPen(kSelectionColour, 1, Qt::DashLine));
        painter.drawRect(QRectF(rect.left + 2, rect.top + 2, rect.width() - 5, rect.height() - 5));
    }
    DrawAxes(painter, graph, rect, area, ink);
    painter.save();
    painter.setClipRect(plot.adjusted(-2, -2, 2, 2));
    painter.setRenderHint(QPainter::Antialiasing);
    for (int c = 0; c < static_cast<int>(graph.curves.size()); ++c)
        DrawCurve(painter, graph, graph.curves[static_cast<std::size_t>(c)], area, c == graph.selectedCurve);
    painter.restore();
    painter.setPen(QPen(ink, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    DrawLegend(painter, graph, area, ink, background);
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(ink);
    painter.drawText(QRectF(rect.left, rect.top, rect.width(), area.top - rect.top), Qt::AlignCenter,
                     QString::fromStdString(graph.title));
}

}  // namespace

QString GraphFontFamily() {
    // Looked up once: the font database does not change while the program runs.
    static const QString family = [] {
        for (const char* wanted : {kGraphFontFace, kGraphFontFallback})
            if (QFontDatabase::hasFamily(wanted)) return QString(wanted);
        return QString();
    }();
    return family;
}

QColor FromColorRef(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

std::int32_t ToColorRef(const QColor& colour) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
                                     static_cast<std::uint32_t>(colour.blue()) << 16);
}

std::vector<QPolygonF> CurvePolylines(const DataCurveState& curve, const PlotArea& area, double min, double max) {
    std::vector<QPolygonF> runs;
    const int n = static_cast<int>(curve.samples.size());
    QPolygonF run;
    // The pixel column being gathered: its first, lowest, highest and last points.
    int column = std::numeric_limits<int>::min();
    int gathered = 0;
    QPointF first, low, high, last;
    auto add = [&](const QPointF& point) {
        if (run.isEmpty() || run.back() != point) run << point;
    };
    auto flush = [&] {
        if (gathered == 0) return;
        add(first);
        if (gathered > 1) {
            // Low and high in the order the line passes them.
            add(low.x() <= high.x() ? low : high);
            add(low.x() <= high.x() ? high : low);
            add(last);
        }
        gathered = 0;
    };
    auto endRun = [&] {
        flush();
        if (run.size() > 1) runs.push_back(run);
        run.clear();
        column = std::numeric_limits<int>::min();
    };
    for (int i = 0; i < n; ++i) {
        const double value = curve.samples[static_cast<std::size_t>(i)];
        if (!(value >= min && value <= max)) {
            endRun();
            continue;
        }
        const QPointF point(area.SampleX(i, n), area.Y(value, min, max));
        const int pixel = static_cast<int>(std::floor(point.x()));
        if (pixel != column) {
            flush();
            column = pixel;
            first = low = high = last = point;
            gathered = 1;
            continue;
        }
        ++gathered;
        last = point;
        if (point.y() > low.y()) low = point;
        if (point.y() < high.y()) high = point;
    }
    endRun();
    return runs;
}

void PaintGraphs(QPainter& painter, GraphWindowModel& model, QSize size, float framePeriod) {
    painter.fillRect(QRect(QPoint(0, 0), size), FromColorRef(model.state().backgroundColor));
    const std::vector<GraphRect> rects = model.LayOut(size.width(), size.height());
    for (int g = 0; g < model.graphCount(); ++g) {
        DataGraphState& graph = model.state().graphs[static_cast<std::size_t>(g)];
        UpdateAutomaticLimits(graph, framePeriod);
        DrawGraph(painter, graph, rects[static_cast<std::size_t>(g)], g == model.state().selectedGraph,
                  FromColorRef(model.state().backgroundColor));
    }
}

}  // namespace kadivo
