// Stepping a digitizing window to the next frame of a 720 × 576 MJPEG video and drawing it —
// fetch, enhancement, zoom and drawing — beside fetching the frame alone, in the same run;
// then automatic digitizing of the video's disc with the timer at 0 ms, step by step (fetch,
// enhancement, search, adding the point, drawing); and scrolling a zoomed view that shows
// part of the frame. Runs on Qt's offscreen platform.

#include "CKadivoView.h"
#include "DigitizingWindowKind.h"
#include "FrameCanvas.h"
#include "HeadlessPrompts.h"
#include "OffscreenShell.h"
#include "VideoSource.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace kadivo;
using Clock = std::chrono::steady_clock;

constexpr int kFrames = 99;
constexpr int kRounds = 5;
const std::string kFile = std::string(KADIVO_SHARED_DIR) + "/testdata/video/mjpeg_720x576_25fps_100f.avi";

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A sequence of one point on the video, shown whole (not as fields), with one digitizing window.
std::string WriteSequence(const QTemporaryDir& folder) {
    HeadlessPrompts prompts;
    CKadivoDoc doc(prompts, MakeVideoSourceFactory(prompts));
    doc.pointCount = 1;
    doc.views.clear();
    doc.AddViewSlot(0);
    if (!doc.OpenVideoFile(kFile, false)) throw std::runtime_error("cannot open " + kFile);
    doc.options.firstField = 0;
    doc.windowHost().OpenWindow(DigitizingWindowState{});
    const std::string path = folder.filePath("bench.kdv").toStdString();
    if (!doc.OnSaveDocument(path)) throw std::runtime_error("cannot write " + path);
    return path;
}

// Seconds per frame to fetch every frame in order through the view's source, alone.
double FetchAlone(VideoSource& source) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        source.FetchFrame(kFrames, true);
        const auto start = Clock::now();
        for (int frame = 0; frame < kFrames; ++frame) source.FetchFrame(frame, false);
        best = std::min(best, Since(start) / kFrames);
    }
    return best;
}

// Seconds per frame to step the sequence and draw the window, at the view's zoom.
double StepAndRepaint(CKadivoDoc& doc, CKadivoView& window) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        doc.GoToFrame(0, true);
        window.Canvas()->viewport()->repaint();
        const auto start = Clock::now();
        for (int frame = 1; frame < kFrames; ++frame) {
            doc.NextImage(true);
            window.Canvas()->viewport()->repaint();
        }
        best = std::min(best, Since(start) / (kFrames - 1));
    }
    return best;
}

// Seconds per repaint while the scroll bar moves the view a frame pixel to the right each
// time, on one frame.
double ScrollAndRepaint(CKadivoView& window) {
    QScrollBar& bar = *window.Canvas()->horizontalScrollBar();
    const int steps = std::min(64, bar.maximum());
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        bar.setValue(0);
        window.Canvas()->viewport()->repaint();
        const auto start = Clock::now();
        for (int step = 1; step <= steps; ++step) {
            bar.setValue(step);
            window.Canvas()->viewport()->repaint();
        }
        best = std::min(best, Since(start) / steps);
    }
    bar.setValue(0);
    return best;
}

// Where a click on the disc's centre puts the point in frame 0.
Point2f DiscCentreOfFirstFrame() {
    QFile sidecar(QString::fromStdString(kFile.substr(0, kFile.size() - 4) + ".json"));
    if (!sidecar.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read the video's sidecar");
    const QJsonObject first = QJsonDocument::fromJson(sidecar.readAll()).object()["centres"].toArray().at(0).toObject();
    return {static_cast<float>(first["x"].toInt()), static_cast<float>(first["y_click"].toInt())};
}

// Seconds per automatic step, the timer's period at 0: the disc of frame 0 clicked, then one
// tick and one repaint per frame to the end.
double AutomaticStep(CKadivoDoc& doc, CKadivoView& window) {
    double best = 1e9;
    AutomaticDigitizing& tracking = window.Canvas()->Tracking();
    doc.options.autoDigitizeInterval = 0;
    for (int round = 0; round < kRounds; ++round) {
        doc.GoToFrame(0, true);
        for (int frame = 0; frame < kFrames; ++frame) {
            doc.OnClearAllPoints();
            doc.NextImage(false);
        }
        doc.GoToFrame(0, true);
        tracking.Digitize(DiscCentreOfFirstFrame());
        tracking.Go();
        int steps = 0;
        const auto start = Clock::now();
        while (tracking.Running()) {
            tracking.Tick();
            window.Canvas()->viewport()->repaint();
            ++steps;
        }
        if (doc.current().currentFrame < kFrames - 1) throw std::runtime_error("tracking stopped before the end");
        best = std::min(best, Since(start) / steps);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    bench::OffscreenShell shell(argc, argv, RegisterDigitizingWindow, QSize(1600, 1300));
    MainFrame& frame = shell.frame();
    QTemporaryDir folder;
    DocumentSession* session = frame.OpenSequence(WriteSequence(folder));
    if (!session || session->Windows().empty()) {
        std::fputs("digitize_repaint_bench: the sequence did not open\n", stderr);
        return 1;
    }
    CKadivoDoc& doc = session->doc();
    auto& window = *static_cast<CKadivoView*>(session->Windows().front()->widget());
    auto& source = *static_cast<VideoSource*>(doc.current().videoSource.get());
    source.SetImageOptions(0, 0);
    std::printf("%s: 720 x 576 MJPEG, %d frames, best of %d rounds\n", kFile.c_str(), kFrames, kRounds);
    // Zoom 1, 2 and 4 (codes 3, 4, 6); "--zoom 1", "--zoom 2" or "--zoom 4" measures one only.
    std::vector<int> zoomCodes{3, 4, 6};
    if (argc == 3 && std::string(argv[1]) == "--zoom") {
        const std::string zoom = argv[2];
        zoomCodes = {zoom == "4" ? 6 : zoom == "2" ? 4 : 3};
    }
    for (int zoomCode : zoomCodes) {
        doc.SetZoom(zoomCode);
        session->Windows().front()->resize(window.Canvas()->FrameDisplaySize().boundedTo({1500, 1200}) + QSize(40, 60));
        QApplication::processEvents();
        const double fetch = FetchAlone(source);
        const double step = StepAndRepaint(doc, window);
        std::printf("step and repaint, zoom %-3g  kadivo %6.3f ms   fetch alone %6.3f ms   ratio %5.2f (target <= 1.50)\n",
                    static_cast<double>(CKadivoDoc::ZoomFactor(zoomCode)), 1000.0 * step, 1000.0 * fetch, step / fetch);
        if (window.Canvas()->horizontalScrollBar()->maximum() > 0)
            std::printf("scroll and repaint, zoom %-3g  kadivo %6.3f ms a frame pixel\n",
                        static_cast<double>(CKadivoDoc::ZoomFactor(zoomCode)), 1000.0 * ScrollAndRepaint(window));
    }
    doc.SetZoom(3);
    QApplication::processEvents();
    const double fetch = FetchAlone(source);
    const double step = AutomaticStep(doc, window);
    std::printf("automatic step, zoom 1    kadivo %6.3f ms   fetch alone %6.3f ms   ratio %5.2f\n", 1000.0 * step,
                1000.0 * fetch, step / fetch);
    return 0;
}
