#pragma once

#include <vector>

namespace kadivo {

// In-place complex FFT of `points` (a power of two) values stored as re, im pairs in
// data[1..2·points]; sign +1 forward, −1 inverse (unnormalised).
void ComplexFft(double* data, int points, int sign);

// An ideal low-pass filter in the frequency domain: the series, mirrored at both ends, is
// transformed, every frequency above `cutOff` Hz is cleared and the result transformed
// back. Series of up to 256 values use a 512-point transform; longer ones the smallest
// power of two that holds twice their length, with the same cut-off in Hz.
std::vector<float> LowPassFilter(const std::vector<float>& series, float cutOff, float rate);

}  // namespace kadivo
