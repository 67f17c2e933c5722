// Frame rows of three and four bytes a pixel as screen words, at every length a vector loop
// and its tail can split.

#include "WidenedPixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace kadivo::test {
namespace {

std::uint32_t ScreenWord(const std::uint8_t* bgr) {
    return 0xff000000u | (std::uint32_t{bgr[2]} << 16) | (std::uint32_t{bgr[1]} << 8) | bgr[0];
}

TEST(WidenedPixels, EveryPixelBecomesItsOpaqueScreenWord) {
    for (int count = 0; count <= 37; ++count)
        for (int bytesPerPixel : {3, 4}) {
            std::vector<std::uint8_t> row(static_cast<std::size_t>(count * bytesPerPixel));
            for (std::size_t b = 0; b < row.size(); ++b) row[b] = static_cast<std::uint8_t>(b * 37 + 11);
            // A sentinel after the last word shows a write past the row.
            std::vector<std::uint32_t> words(static_cast<std::size_t>(count) + 1, 0x12345678u);
            (bytesPerPixel == 3 ? WidenPixels : OpaquePixels)(row.data(), count, words.data());
            for (int x = 0; x < count; ++x)
                ASSERT_EQ(words[static_cast<std::size_t>(x)], ScreenWord(&row[static_cast<std::size_t>(x * bytesPerPixel)]))
                    << count << " pixels of " << bytesPerPixel << " bytes, pixel " << x;
            EXPECT_EQ(words.back(), 0x12345678u) << count << " pixels of " << bytesPerPixel << " bytes";
        }
}

}  // namespace
}  // namespace kadivo::test
