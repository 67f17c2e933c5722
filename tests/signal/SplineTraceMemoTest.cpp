#include "GcvSpline.h"
#include "SplineFit.h"
#include "SplineTraceMemo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kadivo::test {
namespace {

std::vector<double> Wave(int n, int seed) {
    std::vector<double> y;
    for (int i = 0; i < n; ++i) y.push_back(std::sin(0.05 * i * (1 + seed % 3)) + 0.03 * std::cos(2.3 * i * i + seed));
    return y;
}

// The memo is keyed by length, half-order and parameter: a fit at a parameter whose trace is
// kept takes that trace (here a planted one, to see it is used), and with the memo emptied
// finds its own again.
TEST(SplineTraces, AFitTakesTheTraceKeptForItsLengthOrderAndParameter) {
    const int n = 60, m = 3;
    const SplineBasis basis(n, m);
    SplineWorkspace work(n, m, 1);
    const std::vector<double> y = Wave(n, 1);
    const double* ys[1] = {y.data()};
    double p = 1.0 / basis.el;
    ForgetSplineTraces();
    SplineFit computed;
    FitLanes(basis, ys, &p, -1.0, work, &computed);
    double kept = 0.0;
    ASSERT_TRUE(RecallSplineTraces(n, m, &p, 1, &kept));
    EXPECT_EQ(kept, computed.statistics.trace);
    EXPECT_FALSE(RecallSplineTraces(n + 1, m, &p, 1, &kept));
    EXPECT_FALSE(RecallSplineTraces(n, m + 1, &p, 1, &kept));

    const double planted = 2.0 * computed.statistics.trace;
    RememberSplineTraces(n, m, &p, 1, &planted);
    SplineFit fit;
    FitLanes(basis, ys, &p, -1.0, work, &fit);
    EXPECT_EQ(fit.statistics.trace, planted);
    EXPECT_EQ(fit.statistics.meanSquaredResidual, computed.statistics.meanSquaredResidual);

    ForgetSplineTraces();
    FitLanes(basis, ys, &p, -1.0, work, &fit);
    EXPECT_EQ(fit.statistics.trace, computed.statistics.trace);
    ForgetSplineTraces();
}

// Smoothing one to three long series together leaves lanes to fit ahead of the searches, and
// traces kept from earlier smoothings spare the inverse: neither may change a bit of what
// each series gets alone, with nothing kept.
TEST(SplineTraces, FittingAheadAndKeptTracesGiveWhatEachSeriesGetsAlone) {
    std::vector<std::vector<double>> all;
    for (int s = 0; s < 3; ++s) all.push_back(Wave(700, s));
    for (const double error : {-1.0, 1e-4}) {
        std::vector<std::vector<double>> alone(all.size());
        std::vector<GcvStatistics> statistics(all.size());
        for (std::size_t s = 0; s < all.size(); ++s) {
            ForgetSplineTraces();
            ASSERT_TRUE(GcvSmooth(all[s], 3, error, alone[s], &statistics[s]));
        }
        for (std::size_t count = 1; count <= all.size(); ++count) {
            const std::vector<std::vector<double>> some(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count));
            for (const bool forget : {true, false}) {
                if (forget) ForgetSplineTraces();
                const std::vector<GcvResult> together = GcvSmoothMany(some, 3, error);
                for (std::size_t s = 0; s < count; ++s) {
                    const std::string what = std::to_string(s) + " of " + std::to_string(count) + (forget ? ", nothing kept" : ", traces kept");
                    EXPECT_EQ(together[s].values, alone[s]) << what;
                    EXPECT_EQ(together[s].statistics.trace, statistics[s].trace) << what;
                    EXPECT_EQ(together[s].statistics.gcv, statistics[s].gcv) << what;
                    EXPECT_EQ(together[s].statistics.p, statistics[s].p) << what;
                    EXPECT_EQ(together[s].statistics.fits, statistics[s].fits) << what;
                }
            }
        }
    }
    ForgetSplineTraces();
}

}  // namespace
}  // namespace kadivo::test
