#pragma once

#include <vector>

namespace kadivo {

// The small grey image of a marker that automatic tracking looks for in the next frame:
// size × size grey values (rows bottom-up, as in the frame; pixels outside the frame are 0),
// and the frame it was taken from.
struct MarkerTemplate {
    static constexpr int kNotCaptured = -1;

    std::vector<float> values;
    int size = 0;
    int frame = kNotCaptured;

    bool Captured() const { return frame != kNotCaptured; }
};

}  // namespace kadivo
