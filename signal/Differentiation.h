#pragma once

#include <vector>

namespace kadivo {

// (next − previous) / 2h.
float CentralDifference(float previous, float next, float h);
// (next − 2x + previous) / h².
float SecondDifference(float x, float previous, float next, float h);

// Velocities (derivative 1) or accelerations (derivative 2) of a position series by
// central differences; the two end values are extrapolated linearly from their two
// nearest interior values. Series of fewer than four values, which have too few interior
// values for that, are differentiated as far as they allow: three values give the single
// interior value throughout, two the one difference (and no acceleration), one nothing.
std::vector<float> DifferentiateSeries(const std::vector<float>& positions, float h, int derivative);

}  // namespace kadivo
