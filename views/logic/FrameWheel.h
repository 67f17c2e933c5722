#pragma once

#include <optional>

namespace kadivo {

// The mouse wheel over the graph and animation windows: one frame a notch of 120, towards
// the start when the wheel turns away from the user (a positive delta), only to frames
// within 0 .. frames − 2. Touchpads and high-resolution wheels send fractions of a notch;
// they are added up until they make one.
class FrameWheel {
public:
    static constexpr int kNotch = 120;

    // The frame to show after a wheel event of `delta` over frame `current`, if any.
    std::optional<int> Turn(int current, int delta, int frames);

private:
    int pending_ = 0;  // the part of a notch not yet turned
};

}  // namespace kadivo
