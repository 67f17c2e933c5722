#include "GreyFrame.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kadivo {
namespace {

// The weighted channels, each product exactly as the formula computes it.
struct LuminanceTables {
    std::array<double, 256> green, blue, red;
    LuminanceTables() {
        for (int v = 0; v < 256; ++v) {
            green[static_cast<std::size_t>(v)] = 0.587 * v;
            blue[static_cast<std::size_t>(v)] = 0.114 * v;
            red[static_cast<std::size_t>(v)] = 0.299 * v;
        }
    }
};

const LuminanceTables kTables;

inline double LuminanceOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    return kTables.green[green] + kTables.blue[blue] + kTables.red[red];
}

// The level (grey value / 16) of a pixel: floor((0.587·G + 0.114·B + 0.299·R) · 0.0625).
inline int LevelOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    return static_cast<int>(LuminanceOf(blue, green, red) * 0.0625);  // not negative, so truncation is the floor
}

}  // namespace

int GreyLevel(std::uint8_t blue, std::uint8_t green, std::uint8_t red) { return LevelOf(blue, green, red) * 16; }

int GreyFrame::LevelAt(int x, int y) const { return static_cast<int>(LuminanceAt(x, y) * 0.0625); }

double GreyFrame::LuminanceAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= pixels.width || y >= pixels.height) return 0.0;
    const int stride = ((pixels.width * pixels.bitCount + 31) / 32) * 4;
    const std::uint8_t* row = pixels.data + static_cast<std::ptrdiff_t>(y) * stride;
    switch (pixels.bitCount) {
        case 24: return LuminanceOf(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
        case 32: return LuminanceOf(row[4 * x], row[4 * x + 1], row[4 * x + 2]);
        case 8: {
            const std::size_t index = row[x];
            if (index >= palette.size()) return 0.0;
            const PaletteEntry& entry = palette[index];
            return LuminanceOf(entry[0], entry[1], entry[2]);
        }
        default: return 0.0;
    }
}

std::vector<std::uint8_t> GreyFrame::Block(int x0, int y0, int size) const {
    std::vector<std::uint8_t> levels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), 0);
    const int stride = ((pixels.width * pixels.bitCount + 31) / 32) * 4;
    const int first = std::max(0, -x0), last = std::min(size, pixels.width - x0);  // columns inside the frame
    for (int row = 0; row < size; ++row) {
        const int y = y0 + row;
        if (y < 0 || y >= pixels.height || first >= last) continue;
        const std::uint8_t* source = pixels.data + static_cast<std::ptrdiff_t>(y) * stride;
        std::uint8_t* out = levels.data() + static_cast<std::ptrdiff_t>(row) * size;
        if (pixels.bitCount == 24 || pixels.bitCount == 32) {
            const int step = pixels.bitCount / 8;
            for (int column = first; column < last; ++column) {
                const std::uint8_t* pixel = source + (x0 + column) * step;
                out[column] = static_cast<std::uint8_t>(LevelOf(pixel[0], pixel[1], pixel[2]));
            }
        } else {
            for (int column = first; column < last; ++column) out[column] = static_cast<std::uint8_t>(LevelAt(x0 + column, y));
        }
    }
    return levels;
}

}  // namespace kadivo
