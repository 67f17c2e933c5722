// Times the stages of "Transform Image Data" (reconstruction, smoothing with quintic GCV
// splines) on synthetic sequences, on every core, beside Eigen's JacobiSVD solve of the same
// per-point systems, and checks that doubling the frames at most doubles each stage. The smoothing is
// timed with the Butterworth filter at cut-offs chosen from the data too, beside the spline.

#include "CKadivoDoc.h"
#include "CalibrateViews.h"
#include "HeadlessPrompts.h"
#include "Reconstruction.h"
#include "WorldSmoothing.h"

#include <Eigen/Dense>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>

namespace {

using namespace kadivo;
using Clock = std::chrono::steady_clock;

constexpr int kPoints = 49;

int Cores() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Camera v looks at the unit cube from its own side.
void Camera(int v, double l[12]) {
    const double a = 0.6 * v;
    const double values[12] = {0, 300 * std::cos(a), 40.0, 300 * std::sin(a), 320.0, 15.0, -300.0, 20.0, 240.0,
                               0.01 * std::cos(a), 0.02, 0.01 * std::sin(a)};
    std::copy(values, values + 12, l);
}

Point2f Project(const double l[12], const Point3& p) {
    const double d = l[9] * p.x + l[10] * p.y + l[11] * p.z + 1.0;
    return {static_cast<float>((l[1] * p.x + l[2] * p.y + l[3] * p.z + l[4]) / d),
            static_cast<float>((l[5] * p.x + l[6] * p.y + l[7] * p.z + l[8]) / d)};
}

Point3 Motion(int point, int frame) {
    const double t = 0.02 * frame + 0.1 * point;
    return {0.5 + 0.3 * std::cos(t), 0.5 + 0.3 * std::sin(1.3 * t), 0.5 + 0.2 * std::sin(0.7 * t) + 0.001 * point};
}

void Build(CKadivoDoc& doc, int views, int frames) {
    doc.DeleteContents();
    doc.pointCount = kPoints;
    doc.calibrationType = 1;
    doc.calibrationPointCount = 8;
    for (double x : {0.0, 1.0})
        for (double y : {0.0, 1.0})
            for (double z : {0.0, 1.0}) doc.calibrationPoints.push_back({x, y, z});
    doc.calibrationPoints.push_back({});
    doc.options.filtering = 1;
    doc.options.splineOrder = 2;
    doc.options.smoothError = -1.0;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> jitter(-0.5f, 0.5f);
    for (int v = 0; v < views; ++v) {
        doc.AddViewSlot(v);
        double l[12];
        Camera(v, l);
        ViewFrameStore& store = doc.views.back().frameStore;
        store.calibrationPointCount = 8;
        for (int i = 0; i < 8; ++i) store.calibrationRecord.imagePos[static_cast<std::size_t>(i)] = Project(l, doc.calibrationPoints[static_cast<std::size_t>(i)]);
        store.calibrationRecord.digitizedCount = 8;
        store.ReserveRecords(frames);
        for (int f = 0; f < frames; ++f) {
            FrameRecord& record = store.NewRecord(f);
            record.digitizedCount = kPoints;
            for (int p = 0; p < kPoints; ++p) {
                Point2f pixel = Project(l, Motion(p, f));
                record.imagePos[static_cast<std::size_t>(p)] = {pixel.x + jitter(random), pixel.y + jitter(random)};
            }
        }
    }
    CalibrateViews(doc);
}

struct Stages {
    double reconstruction, smoothing;
    double residualAnalysis = 1e30, whiteness = 1e30;  // Butterworth with the cut-off chosen so
};

// The fastest of three runs of each stage.
Stages Run(int views, int frames) {
    HeadlessPrompts ui;
    CKadivoDoc doc(ui, NoVideoSourceFactory());
    Build(doc, views, frames);
    Stages best{1e30, 1e30};
    for (int run = 0; run < 3; ++run) {
        auto start = Clock::now();
        TransformImageData(doc);  // without completion steps installed: the reconstruction alone
        best.reconstruction = std::min(best.reconstruction, Seconds(start));
        start = Clock::now();
        SmoothWorldData(doc);
        best.smoothing = std::min(best.smoothing, Seconds(start));
    }
    doc.framePeriod = 0.01f;
    doc.options.filtering = kButterworthFiltering;
    for (int method : {kResidualAnalysisCutOff, kWhitenessCutOff}) {
        doc.options.cutOffMethod = method;
        double& stage = method == kResidualAnalysisCutOff ? best.residualAnalysis : best.whiteness;
        for (int run = 0; run < 2; ++run) {
            const auto start = Clock::now();
            SmoothWorldData(doc);
            stage = std::min(stage, Seconds(start));
        }
    }
    return best;
}

// Microseconds of one Eigen JacobiSVD least-squares solve of a (2·views)×11 system with
// three non-zero columns, as the reconstruction of one point produces.
double EigenSolveMicroseconds(int views) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> value(-300.0, 300.0);
    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(2 * views, 11);
    Eigen::VectorXd b(2 * views);
    for (int i = 0; i < 2 * views; ++i) {
        for (int j = 0; j < 3; ++j) a(i, j) = value(random);
        b(i) = value(random);
    }
    const int calls = 20000;
    double sink = 0.0;
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) {
        Eigen::JacobiSVD<Eigen::MatrixXd> svd(a, Eigen::ComputeThinU | Eigen::ComputeThinV);
        sink += svd.solve(b)(0);
    }
    const double us = Seconds(start) * 1e6 / calls;
    return sink == 12345.0 ? 0.0 : us;
}

}  // namespace

int main() {
    const struct {
        int views, frames;
    } cases[] = {{2, 10000}, {10, 2000}};
    for (const auto& c : cases) {
        const Stages full = Run(c.views, c.frames);
        const Stages half = Run(c.views, c.frames / 2);
        const double perSolve = full.reconstruction * 1e6 / (static_cast<double>(c.frames) * kPoints);
        const double eigen = EigenSolveMicroseconds(c.views);
        std::printf("%2d views x %d points x %5d frames: reconstruction %.3f s, smoothing (quintic GCV) %.3f s\n", c.views,
                    kPoints, c.frames, full.reconstruction, full.smoothing);
        const double whole = full.reconstruction + full.smoothing;
        const int coordinates = 3 * (kPoints + 1);
        std::printf("  whole transformation %.3f s (target <= 1.00 s); quintic GCV per %d-frame coordinate %.2f ms of the "
                    "cores' time (%d cores; target <= 1.00 ms)\n",
                    whole, c.frames, 1000.0 * full.smoothing * Cores() / coordinates, Cores());
        std::printf("  reconstruction per point and frame: kadivo %.2f us   Eigen JacobiSVD %.2f us   ratio %.2f (target <= 1.00)\n",
                    perSolve, eigen, perSolve / eigen);
        std::printf("  doubling %d -> %d frames: reconstruction x%.2f, smoothing x%.2f (target <= 2.20)\n", c.frames / 2,
                    c.frames, full.reconstruction / half.reconstruction, full.smoothing / half.smoothing);
        std::printf("  smoothing: Butterworth, cut-off by residual analysis %.3f s, by whiteness %.3f s; quintic GCV spline "
                    "%.3f s; ratios %.2f and %.2f\n",
                    full.residualAnalysis, full.whiteness, full.smoothing, full.residualAnalysis / full.smoothing,
                    full.whiteness / full.smoothing);
    }
    return 0;
}
