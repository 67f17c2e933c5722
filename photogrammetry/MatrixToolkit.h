#pragma once

#include "Matrix.h"

namespace kadivo {

// Dense linear algebra for the calibration and reconstruction systems. Matrices are
// 1-based; result storage is supplied by the caller. Work storage lives on the stack, so
// none of these allocate.

// The largest number of columns the decomposition takes.
inline constexpr int kMaxSvdColumns = 49;
// Singular values at or below this absolute threshold count as zero in the pseudo-inverse.
inline constexpr double kSingularValueThreshold = 0.0001;

// C = A·B for A (rA×cA) and B (cA×cB).
void MultiplyMatrix(MatrixRef a, int rowsA, int columnsA, MatrixRef b, int rowsB, int columnsB, MatrixRef c);
// T (n×m) = transpose of A (m×n).
void TransposeMatrix(MatrixRef a, int m, int n, MatrixRef t);
// √(a² + b²) without destructive overflow or underflow.
double Hypot(double a, double b);
// Golub–Reinsch singular value decomposition A = U·diag(w)·Vᵀ: A (m×n, n ≤ 49) is replaced
// by U, w[1..n] receives the singular values (non-negative, unsorted), V (n×n) receives V.
// A singular value that does not converge within 30 iterations ends the decomposition with
// what it has.
void DecomposeSvd(MatrixRef a, int m, int n, double* w, MatrixRef v);
// P (n×m) = A⁺; A is destroyed.
void PseudoInverse(MatrixRef a, int m, int n, MatrixRef p);
// x (n×1) = A⁺·b for b (m×1); A is destroyed (it holds U afterwards).
void SolveLeastSquares(MatrixRef a, int m, int n, MatrixRef b, MatrixRef x);

}  // namespace kadivo
