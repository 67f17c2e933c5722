#pragma once

#include "AviFile.h"
#include "ScreenZoom.h"

#include <QImage>

#include <cstdint>

namespace kadivo {

// Bottom-up rows of 8 (palettised), 24 or 32 bits per pixel, as frames and display images
// are stored.
struct BottomUpRows {
    const std::uint8_t* data = nullptr;
    int width = 0, height = 0, bitCount = 24;
    const std::vector<PaletteEntry>* palette = nullptr;
};

// Copies columns [left, left + screen.width) of rows [top, top + screen.height) counted from
// the top, all within the rows, into `screen` as 32-bit RGB.
void CopyToScreen(const BottomUpRows& source, int left, int top, ScreenPixels screen);

// Copies columns [left, left + width) of rows [top, top + height) counted from the top into
// `target` as 32-bit RGB, the format the screen takes without converting; `target` is
// reused when it has the size already.
void CopyToScreen(const BottomUpRows& source, int left, int top, int width, int height, QImage& target);

// The words of a 32-bit image, to be written as a screen picture.
ScreenPixels PixelsOf(QImage& image);

}  // namespace kadivo
