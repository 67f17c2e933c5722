#pragma once

#include <cstdint>

namespace kadivo {

// The current frame of a video source as enhancement sees it: bottom-up rows padded to
// four bytes.
struct FramePixels {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int bitCount = 24;
};

// Frame pixels that enhancement touches; rows count in memory order, so `bottom` is the
// first row and `top` - `bottom` the number of rows.
struct RangeOfInterest {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const RangeOfInterest&, const RangeOfInterest&) = default;
};

}  // namespace kadivo
