// Frames a second of the animation window drawing a 49-point model with 4 segments at every
// point as solid objects, beside the same window only clearing, in the same run. Runs under
// a virtual X server; with software rendering the figures compare versions, nothing more.

#include "AnimationCanvas.h"

#include <QApplication>
#include <QElapsedTimer>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

namespace {

using namespace kadivo;

constexpr int kPoints = 49, kSegmentsPerPoint = 4, kFrames = 60;

// The canvas with its drawing reachable from outside.
class MeasuredCanvas : public AnimationCanvas {
public:
    using AnimationCanvas::paintGL;
};

AnimationScene Model() {
    AnimationScene scene;
    scene.jointColour = scene.segmentColour = {0.52f, 0.52f, 0.52f};
    for (int p = 0; p < kPoints; ++p) {
        const double angle = 2.0 * 3.14159265358979323846 * p / kPoints;
        scene.joints.push_back({{std::cos(angle), 0.03 * p - 0.7, std::sin(angle)}, scene.jointColour});
    }
    for (int p = 0; p < kPoints; ++p)
        for (int k = 1; k <= kSegmentsPerPoint; ++k)
            scene.segments.push_back({scene.joints[static_cast<std::size_t>(p)].at,
                                      scene.joints[static_cast<std::size_t>((p + k * 7) % kPoints)].at});
    scene.floorHeight = -1.0;
    return scene;
}

double FramesPerSecond(MeasuredCanvas& canvas) {
    canvas.makeCurrent();
    canvas.paintGL();
    glFinish();
    QElapsedTimer timer;
    timer.start();
    for (int frame = 0; frame < kFrames; ++frame) {
        canvas.paintGL();
        glFinish();
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    canvas.doneCurrent();
    return kFrames / seconds;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    MeasuredCanvas canvas;
    canvas.resize(800, 600);
    canvas.show();
    application.processEvents();
    if (!canvas.Usable() || !canvas.isValid()) {
        std::fputs("animation_bench: no OpenGL context\n", stderr);
        return 1;
    }
    canvas.Show(Model(), {20.0, -30.0, 0.0, -6.0, 0.0f, 0.0f});
    const double model = FramesPerSecond(canvas);
    canvas.Show(std::nullopt, {});
    const double clearing = FramesPerSecond(canvas);
    std::printf("animation, 800 x 600, %d points x %d segments, solid\n", kPoints, kSegmentsPerPoint);
    std::printf("  kadivo %7.1f frames/s   clearing only %7.1f frames/s   ratio %5.2f\n", model, clearing, clearing / model);
    return 0;
}
