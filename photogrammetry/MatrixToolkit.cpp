#include "MatrixToolkit.h"

#include <algorithm>
#include <cmath>

namespace kadivo {

namespace {

// |a| with the sign of b.
double WithSign(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

// Work storage of the decomposition: vectors are 1-based, so one entry more than columns.
using SvdVector = std::array<double, kMaxSvdColumns + 1>;

// A is reduced to upper bidiagonal form by alternating column and row Householder
// transformations; the diagonal goes to w, the superdiagonal to e. Returns the norm used
// by the convergence test.
double Bidiagonalize(MatrixRef a, int m, int n, double* w, SvdVector& e) {
    double g = 0.0, scale = 0.0, anorm = 0.0;
    for (int i = 1; i <= n; ++i) {
        const int l = i + 1;
        e[static_cast<std::size_t>(i)] = scale * g;
        g = scale = 0.0;
        double s = 0.0;
        if (i <= m) {
            for (int k = i; k <= m; ++k) scale += std::fabs(a(k, i));
            if (scale != 0.0) {
                for (int k = i; k <= m; ++k) {
                    a(k, i) /= scale;
                    s += a(k, i) * a(k, i);
                }
                const double f = a(i, i);
                g = -WithSign(std::sqrt(s), f);
                const double h = f * g - s;
                a(i, i) = f - g;
                for (int j = l; j <= n; ++j) {
                    double sum = 0.0;
                    for (int k = i; k <= m; ++k) sum += a(k, i) * a(k, j);
                    const double factor = sum / h;
                    for (int k = i; k <= m; ++k) a(k, j) += factor * a(k, i);
                }
                for (int k = i; k <= m; ++k) a(k, i) *= scale;
            }
        }
        w[i] = scale * g;
        g = scale = 0.0;
        s = 0.0;
        if (i <= m && i != n) {
            for (int k = l; k <= n; ++k) scale += std::fabs(a(i, k));
            if (scale != 0.0) {
                for (int k = l; k <= n; ++k) {
                    a(i, k) /= scale;
                    s += a(i, k) * a(i, k);
                }
                const double f = a(i, l);
                g = -WithSign(std::sqrt(s), f);
                const double h = f * g - s;
                a(i, l) = f - g;
                for (int k = l; k <= n; ++k) e[static_cast<std::size_t>(k)] = a(i, k) / h;
                for (int j = l; j <= m; ++j) {
                    double sum = 0.0;
                    for (int k = l; k <= n; ++k) sum += a(j, k) * a(i, k);
                    for (int k = l; k <= n; ++k) a(j, k) += sum * e[static_cast<std::size_t>(k)];
                }
                for (int k = l; k <= n; ++k) a(i, k) *= scale;
            }
        }
        anorm = std::max(anorm, std::fabs(w[i]) + std::fabs(e[static_cast<std::size_t>(i)]));
    }
    return anorm;
}

// V collects the row transformations, from the last column to the first.
void AccumulateRight(MatrixRef a, int n, MatrixRef v, const SvdVector& e) {
    double g = 0.0;
    int l = n + 1;
    for (int i = n; i >= 1; --i) {
        if (i < n) {
            if (g != 0.0) {
                // Two divisions keep a possible underflow harmless.
                for (int j = l; j <= n; ++j) v(j, i) = (a(i, j) / a(i, l)) / g;
                for (int j = l; j <= n; ++j) {
                    double s = 0.0;
                    for (int k = l; k <= n; ++k) s += a(i, k) * v(k, j);
                    for (int k = l; k <= n; ++k) v(k, j) += s * v(k, i);
                }
            }
            for (int j = l; j <= n; ++j) v(i, j) = v(j, i) = 0.0;
        }
        v(i, i) = 1.0;
        g = e[static_cast<std::size_t>(i)];
        l = i;
    }
}

// A becomes U by collecting the column transformations; wide systems stop at row m.
void AccumulateLeft(MatrixRef a, int m, int n, const double* w) {
    for (int i = std::min(m, n); i >= 1; --i) {
        const int l = i + 1;
        double g = w[i];
        for (int j = l; j <= n; ++j) a(i, j) = 0.0;
        if (g != 0.0) {
            g = 1.0 / g;
            for (int j = l; j <= n; ++j) {
                double s = 0.0;
                for (int k = l; k <= m; ++k) s += a(k, i) * a(k, j);
                const double f = (s / a(i, i)) * g;
                for (int k = i; k <= m; ++k) a(k, j) += f * a(k, i);
            }
            for (int j = i; j <= m; ++j) a(j, i) *= g;
        } else {
            for (int j = i; j <= m; ++j) a(j, i) = 0.0;
        }
        a(i, i) += 1.0;
    }
}

// Applies the plane rotation (c, s) to columns p and q of the first `rows` rows of M.
void RotateColumns(MatrixRef matrix, int rows, int p, int q, double c, double s) {
    for (int j = 1; j <= rows; ++j) {
        const double y = matrix(j, p);
        const double z = matrix(j, q);
        matrix(j, p) = y * c + z * s;
        matrix(j, q) = z * c - y * s;
    }
}

}  // namespace

void MultiplyMatrix(MatrixRef a, int rowsA, int columnsA, MatrixRef b, int, int columnsB, MatrixRef c) {
    for (int i = 1; i <= rowsA; ++i) {
        for (int j = 1; j <= columnsB; ++j) {
            double sum = 0.0;
            for (int k = 1; k <= columnsA; ++k) sum += a(i, k) * b(k, j);
            c(i, j) = sum;
        }
    }
}

void TransposeMatrix(MatrixRef a, int m, int n, MatrixRef t) {
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= n; ++j) t(j, i) = a(i, j);
}

double Hypot(double a, double b) {
    const double p = std::fabs(a);
    const double q = std::fabs(b);
    if (p > q) return p * std::sqrt(1.0 + (q / p) * (q / p));
    return q == 0.0 ? 0.0 : q * std::sqrt(1.0 + (p / q) * (p / q));
}

void DecomposeSvd(MatrixRef a, int m, int n, double* w, MatrixRef v) {
    if (n < 1 || n > kMaxSvdColumns || m < 0) return;
    SvdVector e{};
    const double anorm = Bidiagonalize(a, m, n, w, e);
    AccumulateRight(a, n, v, e);
    AccumulateLeft(a, m, n, w);
    auto negligible = [anorm](double x) { return std::fabs(x) + anorm == anorm; };

    for (int k = n; k >= 1; --k) {
        for (int iteration = 1; iteration <= 30; ++iteration) {
            // Find the block to work on: e[l] negligible, or w[l - 1] negligible (which
            // then needs cancelling). e[1] is always zero, so the search ends at l = 1.
            bool cancel = true;
            int l = k;
            for (; l >= 1; --l) {
                if (negligible(e[static_cast<std::size_t>(l)])) {
                    cancel = false;
                    break;
                }
                if (negligible(w[l - 1])) break;
            }
            const int nm = l - 1;
            if (cancel) {
                double c = 0.0, s = 1.0;
                for (int i = l; i <= k; ++i) {
                    const double f = s * e[static_cast<std::size_t>(i)];
                    e[static_cast<std::size_t>(i)] *= c;
                    if (negligible(f)) break;
                    const double g = w[i];
                    double h = Hypot(f, g);
                    w[i] = h;
                    h = 1.0 / h;
                    c = g * h;
                    s = -f * h;
                    RotateColumns(a, m, nm, i, c, s);
                }
            }
            const double z = w[k];
            if (l == k) {
                if (z < 0.0) {
                    w[k] = -z;
                    for (int j = 1; j <= n; ++j) v(j, k) = -v(j, k);
                }
                break;
            }
            if (iteration == 30) return;
            // Shift from the trailing 2×2 block, then one implicit QR sweep.
            double x = w[l];
            const int last = k - 1;
            double y = w[last];
            double g = e[static_cast<std::size_t>(last)];
            double h = e[static_cast<std::size_t>(k)];
            double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
            g = Hypot(f, 1.0);
            f = ((x - z) * (x + z) + h * ((y / (f + WithSign(g, f))) - h)) / x;
            double c = 1.0, s = 1.0;
            for (int j = l; j <= last; ++j) {
                const int i = j + 1;
                g = e[static_cast<std::size_t>(i)];
                y = w[i];
                h = s * g;
                g = c * g;
                double zz = Hypot(f, h);
                e[static_cast<std::size_t>(j)] = zz;
                c = f / zz;
                s = h / zz;
                f = x * c + g * s;
                g = g * c - x * s;
                h = y * s;
                y *= c;
                RotateColumns(v, n, j, i, c, s);
                zz = Hypot(f, h);
                w[j] = zz;
                if (zz != 0.0) {
                    zz = 1.0 / zz;
                    c = f * zz;
                    s = h * zz;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                RotateColumns(a, m, j, i, c, s);
            }
            e[static_cast<std::size_t>(l)] = 0.0;
            e[static_cast<std::size_t>(k)] = f;
            w[k] = x;
        }
    }
}

namespace {

// Reciprocals of the singular values above the threshold, zero for the others.
void InvertSingularValues(const double* w, int n, double* inverse) {
    for (int i = 1; i <= n; ++i) inverse[i] = w[i] > kSingularValueThreshold ? 1.0 / w[i] : 0.0;
}

}  // namespace

void PseudoInverse(MatrixRef a, int m, int n, MatrixRef p) {
    if (n < 1 || n > kMaxSvdColumns) return;
    SvdVector w{}, inverse{};
    StackMatrix<kMaxSvdColumns, kMaxSvdColumns> v;
    DecomposeSvd(a, m, n, w.data(), v);
    InvertSingularValues(w.data(), n, inverse.data());
    // P = V·W⁺·Uᵀ, with U now in A.
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= m; ++i) {
            double sum = 0.0;
            for (int k = 1; k <= n; ++k) sum += v(j, k) * inverse[static_cast<std::size_t>(k)] * a(i, k);
            p(j, i) = sum;
        }
    }
}

void SolveLeastSquares(MatrixRef a, int m, int n, MatrixRef b, MatrixRef x) {
    if (n < 1 || n > kMaxSvdColumns) return;
    SvdVector w{}, inverse{}, projected{};
    StackMatrix<kMaxSvdColumns, kMaxSvdColumns> v;
    DecomposeSvd(a, m, n, w.data(), v);
    InvertSingularValues(w.data(), n, inverse.data());
    // x = V·(W⁺·(Uᵀ·b)), the same A⁺·b without forming A⁺.
    for (int k = 1; k <= n; ++k) {
        double sum = 0.0;
        for (int i = 1; i <= m; ++i) sum += a(i, k) * b(i, 1);
        projected[static_cast<std::size_t>(k)] = sum * inverse[static_cast<std::size_t>(k)];
    }
    for (int j = 1; j <= n; ++j) {
        double sum = 0.0;
        for (int k = 1; k <= n; ++k) sum += v(j, k) * projected[static_cast<std::size_t>(k)];
        x(j, 1) = sum;
    }
}

}  // namespace kadivo
