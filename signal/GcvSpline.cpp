#include "GcvSpline.h"

#include "ParallelFor.h"
#include "SplineFit.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <thread>

namespace kadivo {

namespace {

constexpr double kTau = 1.618033983;  // the method's truncated golden ratio
constexpr double kTolerance = 1e-6;
constexpr double kRatio = 2.0;
constexpr int kMaxLanes = 4;
// At most this many series of one length are smoothed together on one core; fewer when
// there are too few to keep every core busy.
constexpr std::size_t kSeriesPerTask = 16;

// The choice of the smoothing parameter for one series, a fit at a time: the caller fits
// the series at Next() and gives the fit to Take() until Done(). Brackets the first minimum
// of the criterion downhill from p = 1/EL, then narrows it by golden section; the last fit
// taken is the one the smoothing returns.
class GcvSearch {
public:
    GcvSearch(double el, double smoothError) {
        if (smoothError == 0.0) {
            Finish(0.0);
            return;
        }
        r1_ = 1.0 / el;
        r2_ = kRatio * r1_;
        Ask(Phase::FirstAbove, r2_);
    }

    bool Done() const { return phase_ == Phase::Done; }
    double Next() const { return next_; }
    int Fits() const { return fits_; }
    const SplineFit& Last() const { return last_; }

    void Take(const SplineFit& fit) {
        ++fits_;
        last_ = fit;
        switch (phase_) {
        case Phase::FirstAbove:
            f2_ = fit.criterion;
            Ask(Phase::Down, r1_);
            break;
        case Phase::Down:
            if (fit.criterion <= f2_) {
                if (fit.clampedLow) return Stop();  // the interpolating limit
                r2_ = r1_;
                f2_ = fit.criterion;
                r1_ /= kRatio;
                Ask(Phase::Down, r1_);
            } else {
                r3_ = kRatio * r2_;
                Ask(Phase::Up, r3_);
            }
            break;
        case Phase::Up:
            if (fit.criterion <= f2_) {
                if (fit.clampedHigh) return Stop();  // the least-squares polynomial limit
                r2_ = r3_;
                f2_ = fit.criterion;
                r3_ *= kRatio;
                Ask(Phase::Up, r3_);
            } else {
                // Golden section on [r1, r3]; the step is divided by τ each time, not recomputed.
                r2_ = r3_;
                alpha_ = (r2_ - r1_) / kTau;
                r4_ = r1_ + alpha_;
                r3_ = r2_ - alpha_;
                Ask(Phase::FirstInner, r3_);
            }
            break;
        case Phase::FirstInner:
            c3_ = fit.criterion;
            Ask(Phase::SecondInner, r4_);
            break;
        case Phase::SecondInner:
        case Phase::Upper:
            c4_ = fit.criterion;
            Narrow();
            break;
        case Phase::Lower:
            c3_ = fit.criterion;
            Narrow();
            break;
        case Phase::Final: Stop(); break;
        case Phase::Done: break;
        }
    }

private:
    enum class Phase { FirstAbove, Down, Up, FirstInner, SecondInner, Lower, Upper, Final, Done };

    void Ask(Phase phase, double p) {
        phase_ = phase;
        next_ = p;
    }
    void Finish(double p) { Ask(Phase::Final, p); }
    void Stop() { phase_ = Phase::Done; }
    bool Narrowed() const {
        const double err = (r2_ - r1_) / (r1_ + r2_);
        return err <= kTolerance || err * err + 1.0 == 1.0;
    }
    // One golden-section step with both inner criteria known.
    void Narrow() {
        if (c3_ <= c4_) {
            r2_ = r4_;
            if (Narrowed()) return Finish((r1_ + r2_) / 2.0);
            r4_ = r3_;
            c4_ = c3_;
            alpha_ /= kTau;
            r3_ = r2_ - alpha_;
            Ask(Phase::Lower, r3_);
        } else {
            r1_ = r3_;
            if (Narrowed()) return Finish((r1_ + r2_) / 2.0);
            r3_ = r4_;
            c3_ = c4_;
            alpha_ /= kTau;
            r4_ = r1_ + alpha_;
            Ask(Phase::Upper, r4_);
        }
    }

    Phase phase_ = Phase::Final;
    double next_ = 0.0;
    double r1_ = 0.0, r2_ = 0.0, r3_ = 0.0, r4_ = 0.0, alpha_ = 0.0;
    double f2_ = 0.0, c3_ = 0.0, c4_ = 0.0;
    int fits_ = 0;
    SplineFit last_;
};

// A series of GcvSmoothMany and where its result goes.
struct Job {
    const std::vector<double>* y;
    GcvResult* result;
};

// Smooths series of one length (the basis's), as many at a time as the workspace has
// lanes: a lane whose search ends takes the next series waiting.
void SmoothTogether(const SplineBasis& basis, double smoothError, const std::vector<Job>& jobs) {
    const int n = basis.B.n();
    const int lanes = jobs.size() >= 4 ? 4 : jobs.size() >= 2 ? 2 : 1;
    SplineWorkspace work(n, basis.m, lanes);
    std::vector<GcvSearch> searches;
    int lane[kMaxLanes];
    std::size_t waiting = 0;
    auto start = [&](int k) {
        if (waiting == jobs.size()) return false;
        lane[k] = static_cast<int>(waiting++);
        searches.emplace_back(basis.el, smoothError);
        return true;
    };
    int running = 0;
    for (int k = 0; k < lanes; ++k) {
        lane[k] = -1;
        if (start(k)) ++running;
    }
    const double* ys[kMaxLanes];
    double ps[kMaxLanes];
    SplineFit fits[kMaxLanes];
    while (running > 0) {
        // A lane without a series repeats a running one's fit and is not read.
        int busy = 0;
        while (lane[busy] < 0) ++busy;
        for (int k = 0; k < lanes; ++k) {
            const int job = lane[k] >= 0 ? lane[k] : lane[busy];
            ys[k] = jobs[static_cast<std::size_t>(job)].y->data();
            ps[k] = searches[static_cast<std::size_t>(job)].Next();
        }
        FitLanes(basis, ys, ps, smoothError, work, fits);
        for (int k = 0; k < lanes; ++k) {
            if (lane[k] < 0) continue;
            GcvSearch& search = searches[static_cast<std::size_t>(lane[k])];
            search.Take(fits[k]);
            if (!search.Done()) continue;
            GcvResult& result = *jobs[static_cast<std::size_t>(lane[k])].result;
            result.smoothed = true;
            result.values.resize(static_cast<std::size_t>(n));
            for (int l = 0; l < n; ++l) result.values[static_cast<std::size_t>(l)] = work.values.data()[static_cast<std::size_t>(l) * lanes + k];
            result.statistics = search.Last().statistics;
            result.statistics.fits = search.Fits();
            lane[k] = -1;
            if (!start(k)) --running;
        }
    }
}

// One series alone, in a lane of its own.
SplineFit FitAt(const SplineBasis& basis, const std::vector<double>& y, double p, double smoothError, SplineWorkspace& work) {
    const double* ys[1] = {y.data()};
    SplineFit fit;
    FitLanes(basis, ys, &p, smoothError, work, &fit);
    return fit;
}

}  // namespace

bool GcvSmooth(const std::vector<double>& y, int halfOrder, double smoothError, std::vector<double>& out,
               GcvStatistics* statistics) {
    const int n = static_cast<int>(y.size());
    if (!SplineTakes(halfOrder, n)) return false;
    const SplineBasis basis(n, halfOrder);
    SplineWorkspace work(n, halfOrder, 1);
    GcvSearch search(basis.el, smoothError);
    while (!search.Done()) search.Take(FitAt(basis, y, search.Next(), smoothError, work));
    out.assign(work.values.data(), work.values.data() + n);
    if (statistics) {
        *statistics = search.Last().statistics;
        statistics->fits = search.Fits();
    }
    return true;
}

std::vector<GcvResult> GcvSmoothMany(const std::vector<std::vector<double>>& ys, int halfOrder, double smoothError) {
    std::vector<GcvResult> results(ys.size());
    if (!SplineTakes(halfOrder, 2 * halfOrder)) return results;
    // Series of equal length share a basis and lanes; a task is a slice of one length.
    std::vector<std::size_t> order(ys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return ys[a].size() < ys[b].size(); });
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t perTask = std::clamp<std::size_t>((ys.size() + cores - 1) / cores, 1, kSeriesPerTask);
    std::vector<std::vector<Job>> tasks;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::vector<double>& y = ys[order[i]];
        if (!SplineTakes(halfOrder, static_cast<int>(y.size()))) continue;
        const bool sameLength = !tasks.empty() && tasks.back().front().y->size() == y.size();
        if (!sameLength || tasks.back().size() == perTask) tasks.emplace_back();
        tasks.back().push_back({&y, &results[order[i]]});
    }
    ParallelFor(static_cast<int>(tasks.size()), [&](int t) {
        const std::vector<Job>& jobs = tasks[static_cast<std::size_t>(t)];
        const SplineBasis basis(static_cast<int>(jobs.front().y->size()), halfOrder);
        SmoothTogether(basis, smoothError, jobs);
    });
    return results;
}

bool SplineSmoothAt(const std::vector<double>& y, int halfOrder, double p, std::vector<double>& out) {
    const int n = static_cast<int>(y.size());
    if (!SplineTakes(halfOrder, n)) return false;
    const SplineBasis basis(n, halfOrder);
    SplineWorkspace work(n, halfOrder, 1);
    FitAt(basis, y, p, -1.0, work);
    out.assign(work.values.data(), work.values.data() + n);
    return true;
}

std::vector<std::pair<double, double>> GcvCriterionCurve(const std::vector<double>& y, int halfOrder, double smoothError,
                                                         double centre) {
    const int m = halfOrder;
    const int n = static_cast<int>(y.size());
    if (!SplineTakes(m, n)) return {};
    const SplineBasis basis(n, m);
    SplineWorkspace work(n, m, 1);
    if (!(centre > 0)) centre = 1.0 / basis.el;
    std::vector<std::pair<double, double>> curve;
    for (int quarter = -16; quarter <= 16; ++quarter) {
        const double p = centre * std::pow(10.0, quarter / 4.0);
        curve.emplace_back(p, FitAt(basis, y, p, smoothError, work).criterion);
    }
    return curve;
}

std::vector<float> SplineSmooth(const std::vector<float>& series, int splineOrder, double smoothError,
                                GcvStatistics* statistics) {
    const std::vector<double> y(series.begin(), series.end());
    std::vector<double> smoothed;
    if (!GcvSmooth(y, splineOrder + 1, smoothError, smoothed, statistics)) return series;
    return std::vector<float>(smoothed.begin(), smoothed.end());
}

}  // namespace kadivo
