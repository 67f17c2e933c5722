// Times the stages of "Transform Image Data" (reconstruction, smoothing with quintic GCV
// splines) on synthetic sequences, on every core, beside Eigen's JacobiSVD solve of the same
// per-point systems, and checks that doubling the frames at most doubles each stage. The smoothing is
// timed with the Butterworth filter at cut-offs chosen from the data too, beside the spline.

#include "CKadivoDoc.h"
#include "CalibrateViews.h"
#include "HeadlessPrompts.h"
#include "Reconstruction.h"
#include "SplineTraceMemo.h"
#include "SyntheticSequence.h"
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
using kadivo::bench::BuildSyntheticSequence;
using Clock = std::chrono::steady_clock;

constexpr int kPoints = 49;

int Cores() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

struct Stages {
    double reconstruction, smoothing;
    double residualAnalysis = 1e30, whiteness = 1e30;  // Butterworth with the cut-off chosen so
};

// The fastest of three runs of each stage.
Stages Run(int views, int frames) {
    HeadlessPrompts ui;
    CKadivoDoc doc(ui, NoVideoSourceFactory());
    BuildSyntheticSequence(doc, views, frames, kPoints);
    Stages best{1e30, 1e30};
    for (int run = 0; run < 3; ++run) {
        auto start = Clock::now();
        TransformImageData(doc);  // without completion steps installed: the reconstruction alone
        best.reconstruction = std::min(best.reconstruction, Seconds(start));
        // Every run smooths as the first smoothing of a sequence does, with no trace known.
        ForgetSplineTraces();
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
