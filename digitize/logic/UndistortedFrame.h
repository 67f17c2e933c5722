#pragma once

#include "FramePixels.h"
#include "LensModel.h"

#include <cstdint>
#include <vector>

namespace kadivo {

// A frame as an ideal camera behind a lens would have taken it, for the digitizing window's
// "Undistorted Frame": each pixel is read (bilinearly) from where the lens shows it. Where
// each pixel reads from is worked out once per lens and frame size.
class FrameUndistortion {
public:
    // The corrected copy of `frame` (24- or 32-bit rows, bottom-up, as the frame), black where
    // the lens shows nothing; empty for other pixel formats.
    const std::vector<std::uint8_t>& Apply(const LensModel& lens, const FramePixels& frame);

private:
    struct Source {
        float x = -1.0f, y = -1.0f;  // memory column and row; x < 0: outside the picture
    };
    LensModel lens_;
    int width_ = 0, height_ = 0;
    std::vector<Source> map_;
    std::vector<std::uint8_t> out_;
};

}  // namespace kadivo
