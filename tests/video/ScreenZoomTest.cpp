#include "ScreenZoom.h"

#include "AviFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace kadivo::test {
namespace {

// A frame of random colours, `bitCount` bits a pixel, bottom-up as frames are stored.
struct RandomFrame {
    int width, height, bitCount, stride;
    std::vector<std::uint8_t> rows;
    RandomFrame(int w, int h, int bits = 24, unsigned seed = 7)
        : width(w), height(h), bitCount(bits), stride(BitmapRowStride(w, bits)), rows(static_cast<std::size_t>(stride) * h) {
        std::mt19937 random(seed);
        for (std::uint8_t& byte : rows) byte = static_cast<std::uint8_t>(random() & 0xff);
    }
    FramePixels Pixels() { return {rows.data(), width, height, bitCount}; }
    // Channel c of the pixel at column x of row y from the top, the edges repeated beyond.
    double At(int x, int y, int c) const {
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        return rows[static_cast<std::size_t>((height - 1 - y) * stride + x * bitCount / 8 + c)];
    }
};

struct Picture {
    int width, height;
    std::vector<std::uint32_t> words;
    Picture(int w, int h) : width(w), height(h), words(static_cast<std::size_t>(w) * h, 0x12345678u) {}
    ScreenPixels Pixels() { return {words.data(), width, height, width}; }
    std::uint32_t At(int x, int y) const { return words[static_cast<std::size_t>(y) * width + x]; }
};

// The cubic through four samples at −1, 0, 1, 2, at t past sample 0.
double Lagrange(double sm1, double s0, double s1, double s2, double t) {
    return -t * (t - 1) * (t - 2) / 6 * sm1 + (t + 1) * (t - 1) * (t - 2) / 2 * s0 - (t + 1) * t * (t - 2) / 2 * s1 +
           (t + 1) * t * (t - 1) / 6 * s2;
}

// Channel c of the frame at (x, y), frame pixels from the top-left, worked out in doubles.
double CubicAt(const RandomFrame& frame, double x, double y, int c) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double across[4];
    for (int m = 0; m < 4; ++m) {
        const int row = y0 - 1 + m;
        across[m] = Lagrange(frame.At(x0 - 1, row, c), frame.At(x0, row, c), frame.At(x0 + 1, row, c), frame.At(x0 + 2, row, c), x - x0);
    }
    return Lagrange(across[0], across[1], across[2], across[3], y - y0);
}

std::uint8_t Channel(std::uint32_t word, int c) { return static_cast<std::uint8_t>(word >> (8 * c)); }

TEST(ScreenZoom, EachScreenPixelIsTheCubicAtItsPlaceInTheFrame) {
    RandomFrame frame(23, 17);
    for (int zoom : {2, 3, 4}) {
        Picture picture(60, 50);
        ScreenZoom screenZoom;
        screenZoom.Draw(frame.Pixels(), zoom, 4, 3, picture.Pixels(), false);
        EXPECT_EQ(screenZoom.LastEnlarged(), 60u * 50u);
        for (int j = 0; j < picture.height; ++j)
            for (int i = 0; i < picture.width; ++i) {
                const std::uint32_t word = picture.At(i, j);
                EXPECT_EQ(word >> 24, 0xffu);
                for (int c = 0; c < 3; ++c) {
                    const double x = 4 + static_cast<double>(i) / zoom, y = 3 + static_cast<double>(j) / zoom;
                    const double expected = std::clamp(CubicAt(frame, x, y, c), 0.0, 255.0);
                    // Rounded to the nearest level from 16-bit fixed point, which strays from the
                    // exact cubic by well under a tenth of a level.
                    ASSERT_LE(std::abs(Channel(word, c) - expected), 0.5 + 0.1) << "zoom " << zoom << " at " << i << ", " << j;
                    if (i % zoom == 0 && j % zoom == 0) {
                        EXPECT_EQ(Channel(word, c), frame.At(4 + i / zoom, 3 + j / zoom, c)) << "on the grid";
                    }
                }
            }
    }
}

TEST(ScreenZoom, AScrolledPictureIsThePictureDrawnAtItsNewCorner) {
    RandomFrame frame(80, 60);
    Picture moving(90, 70);
    ScreenZoom screenZoom;
    screenZoom.Draw(frame.Pixels(), 3, 10, 12, moving.Pixels(), false);
    const struct {
        int left, top;
    } corners[] = {{13, 12}, {13, 9}, {11, 14}, {6, 14}, {40, 40}, {39, 41}, {0, 0}, {65, 50}};
    for (const auto& corner : corners) {
        screenZoom.Draw(frame.Pixels(), 3, corner.left, corner.top, moving.Pixels(), true);
        Picture fresh(90, 70);
        ScreenZoom().Draw(frame.Pixels(), 3, corner.left, corner.top, fresh.Pixels(), false);
        ASSERT_EQ(moving.words, fresh.words) << "corner " << corner.left << ", " << corner.top;
    }
    screenZoom.Draw(frame.Pixels(), 3, 66, 51, moving.Pixels(), true);
    EXPECT_EQ(screenZoom.LastEnlarged(), 90u * 3u + 3u * 67u) << "a step down and right enlarges the strips that came into view";
    screenZoom.Draw(frame.Pixels(), 3, 66, 51, moving.Pixels(), false);
    EXPECT_EQ(screenZoom.LastEnlarged(), 90u * 70u) << "a new frame is enlarged whole";
}

// The part of a picture a partly hidden window shows, drawn alone into words of its own, from
// places that cut groups of a frame column's screen pixels.
TEST(ScreenZoom, APartIsThatPartOfTheWholePicture) {
    RandomFrame frame(80, 60, 24, 3);
    for (int zoom = 2; zoom <= 5; ++zoom) {
        Picture whole(150, 110);
        ScreenZoom().Draw(frame.Pixels(), zoom, 7, 5, whole.Pixels(), false);
        const struct {
            int x, y, width, height;
        } parts[] = {{0, 0, 150, 110}, {1, 3, 60, 40}, {37, 21, 113, 89}, {149, 109, 1, 1}, {5, 0, 7, 110}};
        for (const auto& p : parts) {
            Picture part(p.width, p.height);
            ScreenZoom screenZoom;
            screenZoom.DrawPart(frame.Pixels(), zoom, 7, 5, part.Pixels(), p.x, p.y);
            EXPECT_EQ(screenZoom.LastEnlarged(), static_cast<std::size_t>(p.width) * p.height);
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < p.width; ++x)
                    ASSERT_EQ(part.At(x, y), whole.At(p.x + x, p.y + y))
                        << "zoom " << zoom << ", part at " << p.x << ", " << p.y << ", pixel " << x << ", " << y;
            // Nothing is kept to move: the next picture is enlarged whole.
            Picture next(150, 110);
            screenZoom.Draw(frame.Pixels(), zoom, 8, 5, next.Pixels(), true);
            EXPECT_EQ(screenZoom.LastEnlarged(), 150u * 110u);
        }
    }
}

TEST(ScreenZoom, FramesOfThirtyTwoBitsGiveTheColoursOfTwentyFour) {
    RandomFrame wide(31, 19, 32), narrow(31, 19, 24);
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 31; ++x)
            for (int c = 0; c < 3; ++c)
                narrow.rows[static_cast<std::size_t>(y * narrow.stride + x * 3 + c)] = wide.rows[static_cast<std::size_t>(y * wide.stride + x * 4 + c)];
    Picture fromWide(70, 40), fromNarrow(70, 40);
    ScreenZoom().Draw(wide.Pixels(), 2, 0, 0, fromWide.Pixels(), false);
    ScreenZoom().Draw(narrow.Pixels(), 2, 0, 0, fromNarrow.Pixels(), false);
    EXPECT_EQ(fromWide.words, fromNarrow.words);
}

TEST(ScreenZoom, WhatItCannotDrawItLeavesAlone) {
    RandomFrame palettised(10, 10, 8);
    Picture picture(20, 20);
    ScreenZoom screenZoom;
    screenZoom.Draw(palettised.Pixels(), 2, 0, 0, picture.Pixels(), false);
    screenZoom.Draw({}, 2, 0, 0, picture.Pixels(), false);
    EXPECT_EQ(screenZoom.LastEnlarged(), 0u);
    EXPECT_EQ(picture.words, std::vector<std::uint32_t>(400, 0x12345678u));
}

}  // namespace
}  // namespace kadivo::test
