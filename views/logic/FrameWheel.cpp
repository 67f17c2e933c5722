#include "FrameWheel.h"

namespace kadivo {

std::optional<int> FrameWheel::Turn(int current, int delta, int frames) {
    // A turn the other way starts afresh instead of cancelling what was gathered.
    if ((pending_ > 0 && delta < 0) || (pending_ < 0 && delta > 0)) pending_ = 0;
    pending_ += delta;
    const int notches = pending_ / kNotch;
    if (notches == 0) return std::nullopt;
    pending_ -= notches * kNotch;
    const long long frame = static_cast<long long>(current) - notches;
    if (frame < 0 || frame > static_cast<long long>(frames) - 2) return std::nullopt;
    return static_cast<int>(frame);
}

}  // namespace kadivo
