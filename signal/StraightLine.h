#pragma once

#include <vector>

namespace kadivo {

// The series less its least-squares straight line over the indices: what a filter that keeps
// lines whole can take away, and what a spectrum shows without the leak of a trend.
std::vector<double> AboutStraightLine(const std::vector<double>& series);

}  // namespace kadivo
