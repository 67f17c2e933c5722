#include "FfmpegFrameRows.h"

#include <cstring>

namespace kadivo::ffmpeg {

// Rows are written bottom-up: the last picture row is the first bitmap row.
bool WriteBitmapRows(const AVFrame& frame, const BitmapFormat& format, std::uint8_t* rows, PictureConverter& converter) {
    const BitmapInfoHeader& header = format.header;
    const int width = header.width, height = header.height;
    const int stride = BitmapRowStride(width, header.bitCount);
    std::uint8_t* topRow = rows + static_cast<std::ptrdiff_t>(height - 1) * stride;
    const bool sameSize = frame.width == width && frame.height == height;
    auto copyFlipped = [&](std::size_t rowBytes) {
        for (int y = 0; y < height; ++y)
            std::memcpy(topRow - static_cast<std::ptrdiff_t>(y) * stride, frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0],
                        rowBytes);
    };
    if (header.bitCount == 8) {
        if (frame.format != AV_PIX_FMT_PAL8 || !sameSize) return false;
        copyFlipped(static_cast<std::size_t>(width));
        return true;
    }
    if (frame.format == AV_PIX_FMT_BGR24 && sameSize) {
        copyFlipped(static_cast<std::size_t>(width) * 3);
        return true;
    }
    SwsContext* scaler = converter.For(frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), width, height, AV_PIX_FMT_BGR24);
    if (!scaler) return false;
    std::uint8_t* planes[4] = {topRow, nullptr, nullptr, nullptr};
    const int strides[4] = {-stride, 0, 0, 0};
    return sws_scale(scaler, frame.data, frame.linesize, 0, frame.height, planes, strides) == height;
}

}  // namespace kadivo::ffmpeg
