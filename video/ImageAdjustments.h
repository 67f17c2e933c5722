#pragma once

#include "FramePixels.h"

namespace kadivo {

// History codes of the eight adjustments.
enum AdjustmentCode {
    kBrightness = 0,
    kContrast = 1,
    kHue = 2,
    kGamma = 3,
    kHighlight = 4,
    kShadow = 5,
    kMidtone = 6,
    kSaturation = 7,
};

// Applies adjustment `code` with slider value `value` (neutral 100) to the blue, green and
// red bytes of every pixel of `range` that lies inside the frame. Frames of fewer than 24
// bits per pixel hold palette indices and are left as they are.
void ApplyAdjustment(const FramePixels& frame, const RangeOfInterest& range, int code, int value);

}  // namespace kadivo
