#pragma once

#include "FramePixels.h"

#include <rastel.h>

#include <cstdint>

namespace kadivo {

// A library header over frame pixels laid out as `frame` is (bottom-up rows padded to four
// bytes), released with the object; the pixels are the caller's.
class FrameHeader {
public:
    FrameHeader(const FramePixels& frame, std::uint8_t* pixels, VopROI* roi) {
        const bool bitmap = frame.bitCount == 1;
        header_ = vopCreateImageHeader(bitmap ? 1 : frame.bitCount / 8, 0, bitmap ? VOP_DEPTH_1U : VOP_DEPTH_8U, "RGB", "BGR", 0, 1,
                                       4, frame.width, frame.height, roi, nullptr, nullptr, nullptr);
        header_->imageData = reinterpret_cast<char*>(pixels);
        header_->imageDataBase = reinterpret_cast<char*>(pixels);
    }
    ~FrameHeader() { vopDeallocate(header_, 1); }
    FrameHeader(const FrameHeader&) = delete;
    FrameHeader& operator=(const FrameHeader&) = delete;
    VopImage* get() const { return header_; }

private:
    VopImage* header_;
};

}  // namespace kadivo
