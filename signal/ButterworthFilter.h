#pragma once

#include <vector>

namespace kadivo {

// A second-order low-pass Butterworth section (bilinear transform, pre-warped), run forward
// and backward: a fourth-order filter without lag. The section's own cut-off is moved so that
// the two passes together fall to half power (−3 dB) at `cutOff`: the cut-off a user gives is
// that of the whole filter. The series is extended at both ends by point reflection (about
// its end values, so that level and slope carry on) before filtering, and each pass starts
// at rest on its first value.
struct ButterworthDesign {
    double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;  // y[n] = b·x − a1·y[n−1] − a2·y[n−2]

    // The whole zero-lag filter's gain at `frequency` Hz: the section's gain squared.
    double Gain(double frequency, double rate) const;
};

// The section for a zero-lag cut-off of `cutOff` Hz at `rate` frames a second; the cut-off
// must lie above zero and below half the rate (std::invalid_argument otherwise).
ButterworthDesign DesignButterworth(double cutOff, double rate);

// The series through the zero-lag filter; throws as DesignButterworth does.
std::vector<double> ButterworthFilter(const std::vector<double>& series, double cutOff, double rate);

}  // namespace kadivo
