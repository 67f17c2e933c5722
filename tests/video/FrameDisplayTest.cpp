#include "FrameDisplay.h"

#include <gtest/gtest.h>

namespace kadivo::test {
namespace {

// A 24-bit frame whose pixel (x, row-from-top y) holds (x, y, x + y).
struct TestFrame {
    int width, height, stride;
    std::vector<std::uint8_t> rows;
    TestFrame(int w, int h) : width(w), height(h), stride((w * 3 + 3) / 4 * 4), rows(static_cast<std::size_t>(stride) * h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint8_t* p = &rows[static_cast<std::size_t>((h - 1 - y) * stride + x * 3)];
                p[0] = static_cast<std::uint8_t>(x);
                p[1] = static_cast<std::uint8_t>(y);
                p[2] = static_cast<std::uint8_t>(x + y);
            }
    }
    FramePixels Pixels() { return {rows.data(), width, height, 24}; }
};

// Pixel (x, row-from-top y) of a display image.
const std::uint8_t* At(const DisplayImage& image, int x, int y) {
    return &image.rows[static_cast<std::size_t>((image.height - 1 - y) * image.Stride() + x * 3)];
}

TEST(FrameDisplay, AtZoomOneTheRegionIsCopied) {
    TestFrame frame(17, 11);
    const DisplayImage image = ZoomedRegion(frame.Pixels(), 3, 2, 10, 6, 1.0f);
    ASSERT_EQ(image.width, 10);
    ASSERT_EQ(image.height, 6);
    EXPECT_EQ(At(image, 0, 0)[0], 3);
    EXPECT_EQ(At(image, 0, 0)[1], 2);
    EXPECT_EQ(At(image, 9, 5)[0], 12);
    EXPECT_EQ(At(image, 9, 5)[1], 7);
}

TEST(FrameDisplay, EnlargementsAndReductionsHaveTheZoomedSize) {
    TestFrame frame(40, 30);
    const DisplayImage doubled = ZoomedRegion(frame.Pixels(), 0, 0, 40, 30, 2.0f);
    EXPECT_EQ(doubled.width, 80);
    EXPECT_EQ(doubled.height, 60);
    EXPECT_EQ(At(doubled, 0, 0)[0], 0);
    EXPECT_EQ(At(doubled, 79, 59)[1], 29) << "corners stay aligned";
    const DisplayImage half = ZoomedRegion(frame.Pixels(), 0, 0, 40, 30, 0.5f);
    EXPECT_EQ(half.width, 20);
    EXPECT_EQ(half.height, 15);
    const DisplayImage oneAndHalf = ZoomedRegion(frame.Pixels(), 2, 2, 10, 10, 1.5f);
    EXPECT_EQ(oneAndHalf.width, 15);
}

TEST(FrameDisplay, RegionsOutsideTheFrameAreCut) {
    TestFrame frame(20, 20);
    const DisplayImage image = ZoomedRegion(frame.Pixels(), 15, 15, 50, 50, 1.0f);
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 5);
    EXPECT_TRUE(ZoomedRegion(frame.Pixels(), 25, 0, 5, 5, 2.0f).rows.empty());
    EXPECT_TRUE(ZoomedRegion({}, 0, 0, 5, 5, 2.0f).rows.empty());
}

TEST(FrameDisplay, PalettisedFramesKeepTheirIndices) {
    std::vector<std::uint8_t> rows(8 * 4);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::uint8_t>(i % 5 == 0 ? 200 : 7);
    const DisplayImage image = ZoomedRegion({rows.data(), 8, 4, 8}, 0, 0, 8, 4, 3.0f);
    ASSERT_EQ(image.width, 24);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t index = image.rows[static_cast<std::size_t>(y * image.Stride() + x)];
            EXPECT_TRUE(index == 200 || index == 7) << "no blend of palette indices";
        }
}

}  // namespace
}  // namespace kadivo::test
