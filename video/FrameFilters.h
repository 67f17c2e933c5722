#pragma once

#include "FramePixels.h"

struct VopROI;

namespace kadivo {

// Entries of the "Image Processing" filter menu, by menu index.
enum FilterCommand {
    kSharpen = 0,
    // 1..10: the edge and smoothing kernels, fixed filter kinds 0..9
    kMedianFilter = 11,
    kMaxFilter = 12,
    kMinFilter = 13,
    kErode = 14,
    kDilate = 15,
    kBlur = 16,
    kOpen = 17,
    kClose = 18,
};
constexpr int kFilterCommandCount = 19;

// Runs filter `menuIndex` on the frame in place, limited to `range` through the library
// region `roi`.
void ApplyFilter(const FramePixels& frame, VopROI* roi, const RangeOfInterest& range, int menuIndex);

}  // namespace kadivo
