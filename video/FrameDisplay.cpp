#include "FrameDisplay.h"

#include "AviFile.h"
#include "FrameHeader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace kadivo {

int DisplayImage::Stride() const { return BitmapRowStride(width, bitCount); }

DisplayImage ZoomedRegion(const FramePixels& frame, int left, int top, int width, int height, float zoom) {
    DisplayImage image;
    image.bitCount = frame.bitCount;
    left = std::clamp(left, 0, frame.width);
    top = std::clamp(top, 0, frame.height);
    width = std::clamp(width, 0, frame.width - left);
    height = std::clamp(height, 0, frame.height - top);
    if (!frame.data || width == 0 || height == 0 || !(zoom > 0.0f)) return image;
    int num = std::max(1, static_cast<int>(std::lround(zoom * 4.0f))), den = 4;
    const int common = std::gcd(num, den);
    num /= common;
    den /= common;
    image.width = std::max(1, width * num / den);
    image.height = std::max(1, height * num / den);
    image.rows.assign(static_cast<std::size_t>(image.Stride()) * static_cast<std::size_t>(image.height), 0);
    // The frame's rows are stored bottom-up: the region starts that many rows from the bottom.
    const int bottom = frame.height - top - height;
    if (num == den) {
        const int stride = BitmapRowStride(frame.width, frame.bitCount);
        const int bytes = (width * frame.bitCount + 7) / 8;
        const int offset = left * frame.bitCount / 8;
        for (int row = 0; row < height; ++row)
            std::memcpy(image.rows.data() + static_cast<std::size_t>(row) * image.Stride(),
                        frame.data + static_cast<std::size_t>(bottom + row) * stride + offset, static_cast<std::size_t>(bytes));
        return image;
    }
    VopROI* region = vopCreateROI(0, left, bottom, width, height);
    {
        const FrameHeader source(frame, frame.data, region);
        const FrameHeader target({image.rows.data(), image.width, image.height, image.bitCount}, image.rows.data(), nullptr);
        const bool palette = frame.bitCount <= 8;
        const int mode = palette ? VOP_INTER_NN : (num > den ? VOP_INTER_CUBIC : VOP_INTER_SUPER);
        vopResize(source.get(), target.get(), num, den, num, den, mode);
    }
    vopDeleteROI(region);
    return image;
}

}  // namespace kadivo
