#include "GcvSpline.h"

#include "ParallelFor.h"
#include "SplineFit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <numeric>
#include <thread>

namespace kadivo {

namespace {

constexpr double kTau = 1.618033983;  // the method's truncated golden ratio
constexpr double kTolerance = 1e-6;
constexpr double kRatio = 2.0;
constexpr std::size_t kMaxLanes = 4;
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

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The parameters a search may ask for next, nearest first: the one it asks now, then those
// it would ask after either outcome of that fit, and so on, at most `count`. An outcome is
// told to a copy of the search as a criterion below or above any it holds. The fits' limits
// are not foreseen: a search about to stop at one is guessed to go on.
std::vector<double> Ahead(const GcvSearch& search, std::size_t count) {
    std::vector<double> asked;
    std::deque<GcvSearch> states{search};
    while (!states.empty() && asked.size() < count) {
        const GcvSearch state = states.front();
        states.pop_front();
        if (state.Done()) continue;
        const double p = state.Next();
        if (std::none_of(asked.begin(), asked.end(), [&](double q) { return SameBits(p, q); })) asked.push_back(p);
        for (const double criterion : {-HUGE_VAL, HUGE_VAL}) {
            SplineFit outcome;
            outcome.criterion = criterion;
            states.push_back(state);
            states.back().Take(outcome);
        }
    }
    return asked;
}

// Smooths series of one length (the basis's), up to a lane each at a time; a series that
// ends makes room for the next one waiting. A fit takes hardly longer in four lanes than in
// one, so lanes without a series of their own fit the parameters the running searches may
// ask for after this fit. A search then takes, in turn, every fit it asks for that this
// round made: the fits it takes are those it would make alone, to the bit.
void SmoothTogether(const SplineBasis& basis, double smoothError, const std::vector<Job>& jobs) {
    const int n = basis.B.n();
    SplineWorkspace work(n, basis.m, kMaxLanes);
    struct Running {
        std::size_t job;
        GcvSearch search;
    };
    std::vector<Running> running;
    std::size_t waiting = 0;
    const auto startWaiting = [&] {
        while (running.size() < kMaxLanes && waiting < jobs.size()) running.push_back({waiting++, GcvSearch(basis.el, smoothError)});
    };
    startWaiting();
    const double* ys[kMaxLanes];
    double ps[kMaxLanes];
    std::size_t owners[kMaxLanes];
    SplineFit fits[kMaxLanes];
    while (!running.empty()) {
        // Every search's next fit first, then what each may ask for after it, a search at a time.
        std::vector<std::vector<double>> ahead;
        for (const Running& series : running) ahead.push_back(Ahead(series.search, kMaxLanes + 1 - running.size()));
        std::size_t lanes = 0;
        for (std::size_t depth = 0; lanes < kMaxLanes; ++depth) {
            const std::size_t before = lanes;
            for (std::size_t s = 0; s < running.size() && lanes < kMaxLanes; ++s) {
                if (depth >= ahead[s].size()) continue;
                owners[lanes] = s;
                ps[lanes] = ahead[s][depth];
                ys[lanes] = jobs[running[s].job].y->data();
                ++lanes;
            }
            if (lanes == before) break;
        }
        // A lane left over repeats the first lane's fit and is not read.
        for (std::size_t k = lanes; k < kMaxLanes; ++k) {
            owners[k] = owners[0];
            ps[k] = ps[0];
            ys[k] = ys[0];
        }
        FitLanes(basis, ys, ps, smoothError, work, fits);
        const auto laneOf = [&](std::size_t s, double p) {
            for (std::size_t k = 0; k < lanes; ++k)
                if (owners[k] == s && SameBits(ps[k], p)) return static_cast<int>(k);
            return -1;
        };
        for (std::size_t s = 0; s < running.size(); ++s) {
            GcvSearch& search = running[s].search;
            int last = -1;
            while (!search.Done()) {
                const int k = laneOf(s, search.Next());
                if (k < 0) break;
                search.Take(fits[k]);
                last = k;
            }
            if (!search.Done()) continue;
            GcvResult& result = *jobs[running[s].job].result;
            result.smoothed = true;
            result.values.resize(static_cast<std::size_t>(n));
            for (int l = 0; l < n; ++l)
                result.values[static_cast<std::size_t>(l)] = work.values.data()[static_cast<std::size_t>(l) * kMaxLanes + static_cast<std::size_t>(last)];
            result.statistics = search.Last().statistics;
            result.statistics.fits = search.Fits();
        }
        std::erase_if(running, [](const Running& series) { return series.search.Done(); });
        startWaiting();
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
    if (!(centre > 0)) centre = 1.0 / basis.el;
    std::vector<double> ps;
    for (int quarter = -16; quarter <= 16; ++quarter) ps.push_back(centre * std::pow(10.0, quarter / 4.0));
    // The curve's fits do not depend on one another: they go a lane each, four at a time.
    SplineWorkspace work(n, m, kMaxLanes);
    const double* ys[kMaxLanes];
    double lanes[kMaxLanes];
    SplineFit fits[kMaxLanes];
    std::vector<std::pair<double, double>> curve;
    for (std::size_t first = 0; first < ps.size(); first += kMaxLanes) {
        for (std::size_t k = 0; k < kMaxLanes; ++k) {
            ys[k] = y.data();
            lanes[k] = ps[std::min(first + k, ps.size() - 1)];
        }
        FitLanes(basis, ys, lanes, smoothError, work, fits);
        for (std::size_t k = 0; k < kMaxLanes && first + k < ps.size(); ++k) curve.emplace_back(ps[first + k], fits[k].criterion);
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
