#include "MatrixToolkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace kadivo {
namespace {

// Plain row-major matrices for the reference computations of these tests.
using Dense = std::vector<std::vector<double>>;

Dense Zeros(int rows, int columns) { return Dense(static_cast<std::size_t>(rows), std::vector<double>(static_cast<std::size_t>(columns), 0.0)); }

Dense Random(int rows, int columns, std::mt19937& random) {
    std::uniform_real_distribution<double> value(-10.0, 10.0);
    Dense a = Zeros(rows, columns);
    for (auto& row : a)
        for (double& x : row) x = value(random);
    return a;
}

Matrix ToMatrix(const Dense& a) {
    Matrix m(static_cast<int>(a.size()), static_cast<int>(a[0].size()));
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < a[0].size(); ++j) m(static_cast<int>(i) + 1, static_cast<int>(j) + 1) = a[i][j];
    return m;
}

// One-sided Jacobi SVD: rotates column pairs of a copy of A until they are orthogonal.
// Returns the singular values and fills U (m×n) and V (n×n) with A = U·diag(w)·Vᵀ.
std::vector<double> JacobiSvd(const Dense& a, Dense& u, Dense& v) {
    const std::size_t m = a.size(), n = a[0].size();
    u = a;
    v = Zeros(static_cast<int>(n), static_cast<int>(n));
    for (std::size_t i = 0; i < n; ++i) v[i][i] = 1.0;
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0.0;
        for (std::size_t p = 0; p < n; ++p) {
            for (std::size_t q = p + 1; q < n; ++q) {
                double alpha = 0, beta = 0, gamma = 0;
                for (std::size_t i = 0; i < m; ++i) {
                    alpha += u[i][p] * u[i][p];
                    beta += u[i][q] * u[i][q];
                    gamma += u[i][p] * u[i][q];
                }
                if (gamma == 0.0) continue;
                off = std::max(off, std::fabs(gamma) / std::sqrt(alpha * beta));
                const double zeta = (beta - alpha) / (2.0 * gamma);
                const double t = (zeta >= 0 ? 1.0 : -1.0) / (std::fabs(zeta) + std::sqrt(1.0 + zeta * zeta));
                const double c = 1.0 / std::sqrt(1.0 + t * t), s = c * t;
                for (std::size_t i = 0; i < m; ++i) {
                    const double x = u[i][p], y = u[i][q];
                    u[i][p] = c * x - s * y;
                    u[i][q] = s * x + c * y;
                }
                for (std::size_t i = 0; i < n; ++i) {
                    const double x = v[i][p], y = v[i][q];
                    v[i][p] = c * x - s * y;
                    v[i][q] = s * x + c * y;
                }
            }
        }
        if (off < 1e-15) break;
    }
    std::vector<double> w(n);
    for (std::size_t j = 0; j < n; ++j) {
        double norm = 0;
        for (std::size_t i = 0; i < m; ++i) norm += u[i][j] * u[i][j];
        w[j] = std::sqrt(norm);
        for (std::size_t i = 0; i < m; ++i) u[i][j] = w[j] > 0 ? u[i][j] / w[j] : 0.0;
    }
    return w;
}

// The reference pseudo-inverse with the toolkit's absolute threshold.
Dense ReferencePseudoInverse(const Dense& a) {
    Dense u, v;
    const std::vector<double> w = JacobiSvd(a, u, v);
    const std::size_t m = a.size(), n = a[0].size();
    Dense p = Zeros(static_cast<int>(n), static_cast<int>(m));
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t i = 0; i < m; ++i)
            for (std::size_t k = 0; k < n; ++k)
                if (w[k] > 0.0001) p[j][i] += v[j][k] * u[i][k] / w[k];
    return p;
}

std::vector<double> SortedSingularValues(const double* w, int n) {
    std::vector<double> values(w + 1, w + 1 + n);
    std::sort(values.begin(), values.end());
    return values;
}

void ExpectDecomposes(const Dense& a) {
    const int m = static_cast<int>(a.size()), n = static_cast<int>(a[0].size());
    Matrix u = ToMatrix(a);
    Matrix v(n, n);
    std::vector<double> w(static_cast<std::size_t>(n) + 1);
    DecomposeSvd(u, m, n, w.data(), v);
    double scale = 0;
    for (const auto& row : a)
        for (double x : row) scale = std::max(scale, std::fabs(x));
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n; ++j) {
            double sum = 0.0;
            for (int k = 1; k <= n; ++k) sum += u(i, k) * w[static_cast<std::size_t>(k)] * v(j, k);
            ASSERT_NEAR(sum, a[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)], 1e-11 * scale)
                << m << "x" << n << " at " << i << "," << j;
        }
    }
    for (int k = 1; k <= n; ++k) EXPECT_GE(w[static_cast<std::size_t>(k)], 0.0);
    for (int p = 1; p <= n; ++p) {  // V is orthogonal
        for (int q = 1; q <= n; ++q) {
            double dot = 0.0;
            for (int i = 1; i <= n; ++i) dot += v(i, p) * v(i, q);
            ASSERT_NEAR(dot, p == q ? 1.0 : 0.0, 1e-12);
        }
    }
    Dense ru, rv;
    std::vector<double> reference = JacobiSvd(a, ru, rv);
    std::sort(reference.begin(), reference.end());
    const std::vector<double> ours = SortedSingularValues(w.data(), n);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(ours[static_cast<std::size_t>(k)], reference[static_cast<std::size_t>(k)], 1e-10 * scale);
}

TEST(MatrixToolkit, HypotAvoidsOverflowAndHandlesZero) {
    EXPECT_EQ(Hypot(0.0, 0.0), 0.0);
    EXPECT_EQ(Hypot(3.0, 4.0), 5.0);
    EXPECT_EQ(Hypot(-4.0, 3.0), 5.0);
    EXPECT_NEAR(Hypot(3e300, 4e300), 5e300, 1e286);
    EXPECT_NEAR(Hypot(3e-300, 4e-300), 5e-300, 1e-314);
}

TEST(MatrixToolkit, MultiplyAndTranspose) {
    Matrix a = ToMatrix({{1, 2, 3}, {4, 5, 6}});
    Matrix b = ToMatrix({{1, 0}, {0, 1}, {1, 1}});
    Matrix c(2, 2), t(3, 2);
    MultiplyMatrix(a, 2, 3, b, 3, 2, c);
    EXPECT_EQ(c(1, 1), 4);
    EXPECT_EQ(c(2, 2), 11);
    TransposeMatrix(a, 2, 3, t);
    EXPECT_EQ(t(3, 1), 3);
    EXPECT_EQ(t(1, 2), 4);
}

TEST(MatrixToolkit, DecompositionMatchesAJacobiReferenceOnEveryShape) {
    std::mt19937 random(7);
    for (auto [m, n] : std::vector<std::pair<int, int>>{{1, 1}, {3, 3}, {11, 11}, {20, 11}, {98, 11}, {4, 11}, {2, 8}, {49, 49}})
        ExpectDecomposes(Random(m, n, random));
}

TEST(MatrixToolkit, DecompositionOfRankDeficientMatrices) {
    std::mt19937 random(8);
    Dense a = Random(20, 11, random);
    for (auto& row : a) {
        row[3] = 0.0;          // an unconstrained unknown
        row[7] = 2.0 * row[1]; // a dependent column
    }
    ExpectDecomposes(a);
}

TEST(MatrixToolkit, PseudoInverseMatchesTheReference) {
    std::mt19937 random(9);
    for (auto [m, n] : std::vector<std::pair<int, int>>{{98, 11}, {4, 11}, {11, 11}}) {
        const Dense a = Random(m, n, random);
        Matrix work = ToMatrix(a);
        Matrix p(n, m);
        PseudoInverse(work, m, n, p);
        const Dense reference = ReferencePseudoInverse(a);
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= m; ++i)
                ASSERT_NEAR(p(j, i), reference[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(i - 1)], 1e-10)
                    << m << "x" << n;
    }
}

TEST(MatrixToolkit, ASingularValueOfExactlyTheThresholdCountsAsZero) {
    for (double small : {0.0001, 0.00010001}) {
        Matrix a = ToMatrix({{1.0, 0.0}, {0.0, small}});
        Matrix p(2, 2);
        PseudoInverse(a, 2, 2, p);
        EXPECT_DOUBLE_EQ(p(1, 1), 1.0);
        if (small == 0.0001) {
            EXPECT_EQ(p(2, 2), 0.0) << "at the threshold";
        } else {
            EXPECT_NEAR(p(2, 2), 1.0 / small, 1e-6) << "just above it";
        }
    }
}

TEST(MatrixToolkit, LeastSquaresOfATallSystemMatchesTheNormalEquations) {
    std::mt19937 random(10);
    const int m = 98, n = 11;
    const Dense a = Random(m, n, random);
    const Dense bDense = Random(m, 1, random);
    // Normal equations AᵀA x = Aᵀb, solved by Gaussian elimination with pivoting.
    Dense normal = Zeros(n, n + 1);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < m; ++k) normal[i][j] += a[k][i] * a[k][j];
        for (int k = 0; k < m; ++k) normal[i][n] += a[k][i] * bDense[k][0];
    }
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(normal[r][c]) > std::fabs(normal[pivot][c])) pivot = r;
        std::swap(normal[c], normal[pivot]);
        for (int r = 0; r < n; ++r) {
            if (r == c) continue;
            const double f = normal[r][c] / normal[c][c];
            for (int k = c; k <= n; ++k) normal[r][k] -= f * normal[c][k];
        }
    }
    Matrix work = ToMatrix(a), b = ToMatrix(bDense), x(n, 1);
    SolveLeastSquares(work, m, n, b, x);
    for (int j = 0; j < n; ++j) EXPECT_NEAR(x(j + 1, 1), normal[j][n] / normal[j][j], 1e-10);
}

TEST(MatrixToolkit, WideSystemWithZeroColumnsGivesTheMinimumNormSolution) {
    // Four equations, eleven unknowns of which three have non-zero columns, as two views
    // give when reconstructing one point.
    std::mt19937 random(11);
    Dense a = Zeros(4, 11);
    for (auto& row : a)
        for (int j : {0, 1, 2}) row[static_cast<std::size_t>(j)] = std::uniform_real_distribution<double>(-5, 5)(random);
    const Dense bDense = Random(4, 1, random);
    Matrix work = ToMatrix(a), b = ToMatrix(bDense), x(11, 1);
    SolveLeastSquares(work, 4, 11, b, x);
    const Dense p = ReferencePseudoInverse(a);
    for (int j = 0; j < 11; ++j) {
        double expected = 0.0;
        for (int i = 0; i < 4; ++i) expected += p[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] * bDense[static_cast<std::size_t>(i)][0];
        EXPECT_NEAR(x(j + 1, 1), expected, 1e-10);
        if (j >= 3) {
            EXPECT_EQ(x(j + 1, 1), 0.0) << "unconstrained unknowns come out as 0";
        }
    }
}

TEST(MatrixToolkit, SolvingLeavesUInTheCoefficientMatrix) {
    std::mt19937 random(12);
    const Dense a = Random(6, 3, random);
    Matrix solved = ToMatrix(a), b = ToMatrix(Random(6, 1, random)), x(3, 1);
    SolveLeastSquares(solved, 6, 3, b, x);
    Matrix decomposed = ToMatrix(a), v(3, 3);
    double w[4];
    DecomposeSvd(decomposed, 6, 3, w, v);
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(solved(i, j), decomposed(i, j));
}

}  // namespace
}  // namespace kadivo
