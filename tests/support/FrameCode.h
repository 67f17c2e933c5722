#pragma once

#include "AviFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo::test {

inline std::string VideoTestFile(const std::string& name) { return std::string(KADIVO_SHARED_DIR) + "/testdata/video/" + name; }

// The grey level of picture pixel (column, row from the top) of a bottom-up frame buffer.
inline int GreyAt(const BitmapFormat& format, const std::vector<std::uint8_t>& pixels, int column, int rowFromTop) {
    const BitmapInfoHeader& header = format.header;
    const int stride = BitmapRowStride(header.width, header.bitCount);
    const std::uint8_t* p = pixels.data() + static_cast<std::ptrdiff_t>(header.height - 1 - rowFromTop) * stride;
    if (header.bitCount == 8) {
        const PaletteEntry& entry = format.palette[p[column]];
        return (entry[0] + entry[1] + entry[2]) / 3;
    }
    const int bytes = header.bitCount / 8;
    return (p[column * bytes] + p[column * bytes + 1] + p[column * bytes + 2]) / 3;
}

// A number in the code block of the test videos: `bits` squares of 8 x 8 pixels from square
// `firstBit` on, least significant first, read from the mean of each square's central 4 x 4.
inline int ReadCode(const BitmapFormat& format, const std::vector<std::uint8_t>& pixels, int firstBit, int bits) {
    int value = 0;
    for (int k = 0; k < bits; ++k) {
        const int square = firstBit + k;
        const int left = 8 * (square % 8), top = 8 * (square / 8);
        int sum = 0;
        for (int r = 2; r < 6; ++r)
            for (int c = 2; c < 6; ++c) sum += GreyAt(format, pixels, left + c, top + r);
        if (sum / 16 >= 128) value |= 1 << k;
    }
    return value;
}

inline int ReadFrameIndex(const BitmapFormat& format, const std::vector<std::uint8_t>& pixels) { return ReadCode(format, pixels, 0, 16); }
inline int ReadStreamTag(const BitmapFormat& format, const std::vector<std::uint8_t>& pixels) { return ReadCode(format, pixels, 16, 8); }

}  // namespace kadivo::test
