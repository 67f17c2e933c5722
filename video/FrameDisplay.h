#pragma once

#include "FramePixels.h"

#include <cstdint>
#include <vector>

namespace kadivo {

// A picture for the screen: bottom-up rows of `bitCount` bits per pixel, padded to four bytes.
struct DisplayImage {
    std::vector<std::uint8_t> rows;
    int width = 0, height = 0, bitCount = 24;
    int Stride() const;
};

// The part of the frame a window shows — columns [left, left + width) and rows [top,
// top + height) counted from the top of the picture — at `zoom`. Enlargements are cubic,
// reductions average the pixels each screen pixel covers; palettised frames keep their
// palette indices (nearest pixel). Factors are taken as quarters (1.5 as 6/4).
DisplayImage ZoomedRegion(const FramePixels& frame, int left, int top, int width, int height, float zoom);

}  // namespace kadivo
