#include "ScreenImage.h"

#include "WidenedPixels.h"

#include <algorithm>
#include <cstring>

namespace kadivo {

void CopyToScreen(const BottomUpRows& source, int left, int top, ScreenPixels screen) {
    const int stride = BitmapRowStride(source.width, source.bitCount);
    QRgb colours[256];
    if (source.bitCount <= 8)
        for (int i = 0; i < 256; ++i) {
            const bool listed = source.palette && static_cast<std::size_t>(i) < source.palette->size();
            const PaletteEntry entry = listed ? (*source.palette)[static_cast<std::size_t>(i)] : PaletteEntry{};
            colours[i] = listed ? qRgb(entry[2], entry[1], entry[0]) : qRgb(i, i, i);
        }
    const int bytes = source.bitCount / 8;
    for (int y = 0; y < screen.height; ++y) {
        // Row y from the top is stored height − 1 − y rows above the bottom.
        const std::uint8_t* in = source.data + static_cast<std::size_t>(source.height - 1 - (top + y)) * stride + left * bytes;
        QRgb* out = screen.data + y * screen.wordsPerRow;
        const int width = screen.width;
        if (bytes <= 1) {
            for (int x = 0; x < width; ++x) out[x] = colours[in[x]];
            continue;
        }
        if (bytes == 3) {
            WidenPixels(in, width, out);
            continue;
        }
        if (bytes == 4) {
            OpaquePixels(in, width, out);
            continue;
        }
        for (int x = 0; x < width; ++x, in += bytes) out[x] = 0xFF000000u | (QRgb(in[2]) << 16) | (QRgb(in[1]) << 8) | in[0];
    }
}

void CopyToScreen(const BottomUpRows& source, int left, int top, int width, int height, QImage& target) {
    left = std::clamp(left, 0, source.width);
    top = std::clamp(top, 0, source.height);
    width = std::clamp(width, 0, source.width - left);
    height = std::clamp(height, 0, source.height - top);
    if (!source.data || width == 0 || height == 0) {
        target = QImage();
        return;
    }
    if (target.size() != QSize(width, height) || target.format() != QImage::Format_RGB32)
        target = QImage(width, height, QImage::Format_RGB32);
    CopyToScreen(source, left, top, PixelsOf(target));
}

ScreenPixels PixelsOf(QImage& image) {
    return {reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(), image.bytesPerLine() / 4};
}

}  // namespace kadivo
