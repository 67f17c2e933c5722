#pragma once

#include "AviFile.h"
#include "FramePixels.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kadivo {

// The grey value tracking sees in a pixel: luminance quantised to the 16 levels 0, 16, …, 240.
int GreyLevel(std::uint8_t blue, std::uint8_t green, std::uint8_t red);

// A click on the pixel of memory row r (counted from the bottom) digitizes y = r + 1, and a
// template taken there keeps that: a position found in the frame's rows themselves, as a
// centroid is, becomes a digitized position by adding this.
inline constexpr float kClickRowOffset = 1.0f;

// A frame as tracking reads it: bottom-up rows of 24- or 32-bit pixels, or of 8-bit indices
// into `palette`.
struct GreyFrame {
    FramePixels pixels;
    std::span<const PaletteEntry> palette;

    // The grey level index (grey value / 16, 0 … 15) of column x, memory row y; the pixel
    // must lie inside the frame.
    int LevelAt(int x, int y) const;
    // The luminance of column x, memory row y (0 … 255, not quantised); 0 outside the frame.
    double LuminanceAt(int x, int y) const;
    // The level indices of the size × size block from (x0, y0), rows bottom-up; pixels outside
    // the frame are 0.
    std::vector<std::uint8_t> Block(int x0, int y0, int size) const;
    bool Contains(int x0, int y0, int size) const {
        return x0 >= 0 && y0 >= 0 && x0 + size <= pixels.width && y0 + size <= pixels.height;
    }
};

}  // namespace kadivo
