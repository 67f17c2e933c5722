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

// The part of `range` inside the frame; it may hold no pixel (right <= left or top <= bottom).
inline RangeOfInterest ClippedToFrame(const RangeOfInterest& range, const FramePixels& frame) {
    return {range.left < 0 ? 0 : range.left, range.top > frame.height ? frame.height : range.top,
            range.right > frame.width ? frame.width : range.right, range.bottom < 0 ? 0 : range.bottom};
}

}  // namespace kadivo
