#pragma once

namespace kadivo {

class CKadivoDoc;

// Second derivatives of the cubic spline through (x[1..n], y[1..n]) (1-based arrays);
// an end derivative above 0.99e30 selects the natural end (zero second derivative).
void SplineSecondDerivatives(const double* x, const double* y, int n, double startDerivative, double endDerivative,
                             double* d);
// The spline's value at t; `value` is left alone when the bracketing knots coincide.
void SplineEvaluate(const double* x, const double* y, const double* d, int n, double t, double& value);

// Fills the frames where a point of a single-view sequence is missing (image x or y −1)
// by the linear or the cubic spline rule of the interpolation option. A point with fewer
// than four valid frames is left alone by the spline rule, as it is with fewer than two by
// the linear rule.
void InterpolateGaps(CKadivoDoc& doc);

}  // namespace kadivo
