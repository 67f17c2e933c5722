#pragma once

#include "FramePixels.h"

#include <cstddef>
#include <cstdint>

namespace kadivo {

// A frame enlarged a whole number of times for the screen with the cubic through four pixels
// each way. Screen pixel (i, j) shows the frame at (left + i / zoom, top + j / zoom), frame
// pixels counted from the top-left corner: a screen pixel on the grid shows the frame's own
// pixel, and the picture lines up with the frame position a click there gives. Beyond the
// frame's edges the edge pixels repeat, so every screen pixel depends on its place in the
// frame alone and a scrolled picture can keep what is still in view.
//
// A picture for the screen: 32-bit words 0xffRRGGBB, rows from the top (the screen's own
// format).
struct ScreenPixels {
    std::uint32_t* data = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t wordsPerRow = 0;
};

class ScreenZoom {
public:
    // Draws `frame` (24 or 32 bits a pixel, bottom-up) into `screen` from frame corner (left,
    // top), held within the frame. `sameFrame` says the frame's pixels are those of the last call and `screen` holds
    // the last call's picture: a picture of the same zoom and size then moves by the change of
    // corner and only the part that came into view is enlarged. Other frames leave `screen`
    // as it was.
    void Draw(const FramePixels& frame, int zoom, int left, int top, ScreenPixels screen, bool sameFrame);

    // Draws into `part` only the pixels from (x, y) on of the picture Draw would draw: the
    // part of a picture the screen shows. The next Draw enlarges its whole picture.
    void DrawPart(const FramePixels& frame, int zoom, int left, int top, ScreenPixels part, int x, int y);

    // Screen pixels enlarged by the last Draw (the whole picture unless it was moved).
    std::size_t LastEnlarged() const { return lastEnlarged_; }

private:
    struct Part {
        int x0, y0, x1, y1;
    };
    static bool Takes(const FramePixels& frame, int zoom, const ScreenPixels& screen);
    static std::uint32_t* WordAt(const ScreenPixels& screen, int x, int y);
    // Enlarges `part` of the picture into the words from `at` (those of the part's corner).
    void Enlarge(const FramePixels& frame, std::uint32_t* at, std::ptrdiff_t wordsPerRow, Part part);
    static bool MoveBy(ScreenPixels screen, int dx, int dy);

    int width_ = 0, height_ = 0, zoom_ = 0, left_ = 0, top_ = 0;
    std::size_t lastEnlarged_ = 0;
};

}  // namespace kadivo
