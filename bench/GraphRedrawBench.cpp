// Redrawing an analysis window of six graphs with eight curves of 10 000 samples each, beside
// drawing the same polylines with one QPainter::drawPolyline each into an image of the same
// size, in the same run.

#include "GraphPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

using namespace kadivo;
using Clock = std::chrono::steady_clock;

constexpr int kGraphs = 6, kCurves = 8, kSamples = 10000, kRounds = 10;
const QSize kWindow(1600, 1200);

double BestSeconds(const std::function<void()>& work) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    GraphWindowState state;
    state.graphs.clear();
    for (int g = 0; g < kGraphs; ++g) {
        DataGraphState graph = NewGraph(0xC8C8C8, 0xC8C8C8);
        for (int c = 0; c < kCurves; ++c) {
            std::vector<float> samples(kSamples);
            for (int i = 0; i < kSamples; ++i)
                samples[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(0.002 * i * (c + 1) + g) + 0.05 * std::sin(0.9 * i));
            AddCurve(graph, std::move(samples), "curve", 0);
        }
        state.graphs.push_back(graph);
    }
    GraphWindowModel model(state);
    QImage window(kWindow, QImage::Format_RGB32);
    const double ours = BestSeconds([&] {
        QPainter painter(&window);
        PaintGraphs(painter, model, kWindow, 0.01f);
    });

    // The same curves as plain polylines over the same plot areas.
    std::vector<QPolygonF> lines;
    const std::vector<GraphRect> rects = model.Rects();
    for (int g = 0; g < kGraphs; ++g) {
        const DataGraphState& graph = model.state().graphs[static_cast<std::size_t>(g)];
        const PlotArea area = PlotAreaOf(rects[static_cast<std::size_t>(g)]);
        for (const DataCurveState& curve : graph.curves) {
            QPolygonF line;
            for (int i = 0; i < kSamples; ++i)
                line << QPointF(area.SampleX(i, kSamples), area.Y(curve.samples[static_cast<std::size_t>(i)], graph.leftMin, graph.leftMax));
            lines.push_back(line);
        }
    }
    QImage plain(kWindow, QImage::Format_RGB32);
    const double peer = BestSeconds([&] {
        QPainter painter(&plain);
        painter.fillRect(plain.rect(), Qt::black);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(200, 200, 200), 2));
        for (const QPolygonF& line : lines) painter.drawPolyline(line);
    });
    std::printf("redraw of %d graphs x %d curves x %d samples, %d x %d\n", kGraphs, kCurves, kSamples, kWindow.width(),
                kWindow.height());
    std::printf("  kadivo %7.2f ms   drawPolyline %7.2f ms   ratio %5.2f (target <= 1.50)\n", ours * 1000.0, peer * 1000.0,
                ours / peer);
    return 0;
}
