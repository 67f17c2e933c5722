#include "FrameFilters.h"

#include "AviFile.h"
#include "FrameHeader.h"

#include <rastel.h>

#include <algorithm>
#include <vector>

namespace kadivo {
namespace {

void RunOnHeaders(const VopImage* src, VopImage* dst, int menuIndex) {
    switch (menuIndex) {
        case kSharpen: vopFixedFilter(src, dst, 10); break;
        case kMedianFilter: vopColorMedianFilter(src, dst, 3, 3, 1, 1); break;
        case kMaxFilter: vopMaxFilter(src, dst, 3, 3, 1, 1); break;
        case kMinFilter: vopMinFilter(src, dst, 3, 3, 1, 1); break;
        case kErode: vopErode(src, dst, 1); break;
        case kDilate: vopDilate(src, dst, 1); break;
        case kBlur: vopBlur(src, dst, 3, 3, 1, 1); break;
        case kOpen: vopOpen(src, dst, 1); break;
        case kClose: vopClose(src, dst, 1); break;
        default: vopFixedFilter(src, dst, menuIndex - 1); break;
    }
}

}  // namespace

void ApplyFilter(const FramePixels& frame, VopROI* roi, const RangeOfInterest& range, int menuIndex) {
    if (!frame.data || menuIndex < 0 || menuIndex >= kFilterCommandCount) return;
    // The library refuses empty regions and negative offsets by ending the process; a range
    // that holds no pixel of the frame leaves the frame as it is.
    const RangeOfInterest inside = ClippedToFrame(range, frame);
    if (inside.right <= inside.left || inside.top <= inside.bottom) return;
    vopSetROI(roi, 0, inside.left, inside.bottom, inside.right - inside.left, inside.top - inside.bottom);
    // The median reads a copy, so that it sees none of its own results; every other filter
    // works on the frame in place, in the library's edges-then-interior order. The copy spans
    // whole padded rows, the layout the header describes.
    std::vector<std::uint8_t> scratch;
    std::uint8_t* source = frame.data;
    if (menuIndex == kMedianFilter) {
        const std::size_t bytes = static_cast<std::size_t>(BitmapRowStride(frame.width, frame.bitCount)) * frame.height;
        scratch.assign(frame.data, frame.data + bytes);
        source = scratch.data();
    }
    FrameHeader src(frame, source, roi);
    FrameHeader dst(frame, frame.data, roi);
    RunOnHeaders(src.get(), dst.get(), menuIndex);
}

}  // namespace kadivo
