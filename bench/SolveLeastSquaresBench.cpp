// Times SolveLeastSquares on the systems the photogrammetry solves (reconstruction: 4×11 and
// 20×11 with three non-zero columns; calibration: 98×11) beside Eigen's JacobiSVD solve.

#include "MatrixToolkit.h"

#include <Eigen/Dense>

#include <chrono>
#include <cstdio>
#include <random>

namespace {

using namespace kadivo;
using Clock = std::chrono::steady_clock;

struct System {
    const char* name;
    int rows, columns, nonZeroColumns;
};

// Microseconds per call of the fastest of five rounds.
template <typename Work>
double MicrosecondsPerCall(int calls, Work work) {
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        for (int i = 0; i < calls; ++i) work();
        best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls);
    }
    return best;
}

}  // namespace

int main() {
    const System systems[] = {{"4x11 (3 columns)", 4, 11, 3}, {"20x11 (3 columns)", 20, 11, 3}, {"98x11", 98, 11, 11}};
    std::mt19937 random(1);
    std::uniform_real_distribution<double> value(-100.0, 100.0);
    double checksum = 0.0;
    for (const System& s : systems) {
        Matrix a(s.rows, s.columns), b(s.rows, 1), x(s.columns, 1), work(s.rows, s.columns);
        Eigen::MatrixXd ea = Eigen::MatrixXd::Zero(s.rows, s.columns);
        Eigen::VectorXd eb(s.rows);
        for (int i = 1; i <= s.rows; ++i) {
            for (int j = 1; j <= s.nonZeroColumns; ++j) ea(i - 1, j - 1) = a(i, j) = value(random);
            eb(i - 1) = b(i, 1) = value(random);
        }
        const int calls = 200000 / s.rows;
        const double ours = MicrosecondsPerCall(calls, [&] {
            work = a;  // the solver destroys its coefficients
            SolveLeastSquares(work, s.rows, s.columns, b, x);
            checksum += x(1, 1);
        });
        const double eigen = MicrosecondsPerCall(calls, [&] {
            Eigen::JacobiSVD<Eigen::MatrixXd> svd(ea, Eigen::ComputeThinU | Eigen::ComputeThinV);
            svd.setThreshold(0.0001 / svd.singularValues().maxCoeff());
            const Eigen::VectorXd ex = svd.solve(eb);
            checksum += ex(0);
        });
        std::printf("solve %-18s kadivo %7.2f us   Eigen JacobiSVD %7.2f us   ratio %5.2f (target <= 1.00)\n", s.name,
                    ours, eigen, ours / eigen);
    }
    std::printf("(checksum %g)\n", checksum);
    return 0;
}
