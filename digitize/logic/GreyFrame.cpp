#include "GreyFrame.h"

#include <cmath>

namespace kadivo {

int GreyLevel(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    const double luminance = 0.587 * green + 0.114 * blue + 0.299 * red;
    return static_cast<int>(std::floor(luminance * 0.0625)) * 16;
}

int GreyFrame::LevelAt(int x, int y) const {
    const int stride = ((pixels.width * pixels.bitCount + 31) / 32) * 4;
    const std::uint8_t* row = pixels.data + static_cast<std::ptrdiff_t>(y) * stride;
    switch (pixels.bitCount) {
        case 24: return GreyLevel(row[3 * x], row[3 * x + 1], row[3 * x + 2]) / 16;
        case 32: return GreyLevel(row[4 * x], row[4 * x + 1], row[4 * x + 2]) / 16;
        case 8: {
            const std::size_t index = row[x];
            if (index >= palette.size()) return 0;
            const PaletteEntry& entry = palette[index];
            return GreyLevel(entry[0], entry[1], entry[2]) / 16;
        }
        default: return 0;
    }
}

std::vector<std::uint8_t> GreyFrame::Block(int x0, int y0, int size) const {
    std::vector<std::uint8_t> levels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), 0);
    for (int row = 0; row < size; ++row) {
        const int y = y0 + row;
        if (y < 0 || y >= pixels.height) continue;
        for (int column = 0; column < size; ++column) {
            const int x = x0 + column;
            if (x >= 0 && x < pixels.width)
                levels[static_cast<std::size_t>(row * size + column)] = static_cast<std::uint8_t>(LevelAt(x, y));
        }
    }
    return levels;
}

}  // namespace kadivo
