#include "FieldSplitting.h"

#include <gtest/gtest.h>

#include <vector>

namespace kadivo::test {
namespace {

constexpr std::uint8_t kStale = 0xEE;

// A stored frame whose every row holds its own row number, split into a buffer that held
// kStale; the result is one value per output row.
template <typename Split>
std::vector<int> SplitRows(int height, int frame, int firstField, Split split) {
    constexpr int stride = 4;
    std::vector<std::uint8_t> stored(static_cast<std::size_t>(height * stride));
    for (int row = 0; row < height; ++row)
        for (int b = 0; b < stride; ++b) stored[static_cast<std::size_t>(row * stride + b)] = static_cast<std::uint8_t>(row);
    std::vector<std::uint8_t> out(stored.size(), kStale);
    split(stored.data(), FrameRows{out.data(), height, stride}, frame, firstField);
    std::vector<int> rows;
    for (int row = 0; row < height; ++row) {
        for (int b = 1; b < stride; ++b) EXPECT_EQ(out[static_cast<std::size_t>(row * stride + b)], out[static_cast<std::size_t>(row * stride)]);
        rows.push_back(out[static_cast<std::size_t>(row * stride)]);
    }
    return rows;
}

TEST(FieldSplitting, InterlacedFieldsDoubleEveryOtherRow) {
    // Parity equal to the first field: source rows 1, 3, 5 from row 0, for 8 / 2 - 1 pairs.
    EXPECT_EQ(SplitRows(8, 7, 1, CopyInterlacedField), (std::vector<int>{1, 1, 3, 3, 5, 5, kStale, kStale}));
    // The other field: source rows 0, 2, 4 from row 1.
    EXPECT_EQ(SplitRows(8, 6, 1, CopyInterlacedField), (std::vector<int>{kStale, 0, 0, 2, 2, 4, 4, kStale}));
    EXPECT_EQ(SplitRows(8, 6, 0, CopyInterlacedField), (std::vector<int>{1, 1, 3, 3, 5, 5, kStale, kStale}));
    EXPECT_EQ(SplitRows(2, 0, 0, CopyInterlacedField), (std::vector<int>{kStale, kStale})) << "a height of 2 copies nothing";
    EXPECT_EQ(SplitRows(1, 1, 0, CopyInterlacedField), (std::vector<int>{kStale}));
}

TEST(FieldSplitting, DualInterlacedImagesComeFromEitherHalf) {
    // H = 60, h = 30: four steps, each row written four times between the cleared bands
    // 0..19 and 38..57.
    auto expect = [](std::vector<std::pair<int, int>> writes, std::vector<int> staleRows) {
        std::vector<int> rows(60, 0);
        for (int row : staleRows) rows[static_cast<std::size_t>(row)] = kStale;
        for (auto [row, value] : writes) rows[static_cast<std::size_t>(row)] = value;
        return rows;
    };
    auto fours = [](int firstTarget, int direction, int firstSource) {
        std::vector<std::pair<int, int>> writes;
        for (int step = 0; step < 4; ++step)
            for (int copy = 0; copy < 4; ++copy)
                writes.push_back({firstTarget + direction * (4 * step + copy), firstSource + direction * 2 * step});
        return writes;
    };
    // Odd frame, field equal ((1 mod 4) / 2 = 0): lower half from row h - 22 = 8 down, written from H - 21 = 39 down.
    EXPECT_EQ(SplitRows(60, 1, 0, CopyDualInterlacedField), expect(fours(39, -1, 8), {20, 21, 22, 23, 58, 59}));
    // Odd frame, other field: from h - 21 = 9, written from H - 19 = 41.
    EXPECT_EQ(SplitRows(60, 3, 0, CopyDualInterlacedField), expect(fours(41, -1, 9), {20, 21, 22, 23, 24, 25, 58, 59}));
    // Even frame, field equal: upper half from h + 20 = 50 up, written from row 20 up.
    EXPECT_EQ(SplitRows(60, 0, 0, CopyDualInterlacedField), expect(fours(20, 1, 50), {36, 37, 58, 59}));
    // Even frame, other field ((2 mod 4) / 2 = 1): from h + 21 = 51, written from row 21.
    EXPECT_EQ(SplitRows(60, 2, 0, CopyDualInterlacedField), expect(fours(21, 1, 51), {20, 37, 58, 59}));
    EXPECT_EQ(SplitRows(60, 2, 1, CopyDualInterlacedField), expect(fours(20, 1, 50), {36, 37, 58, 59}));
}

TEST(FieldSplitting, SmallDualFramesOnlyClearTheirOwnRows) {
    for (int height : {1, 2, 10, 21, 44}) {
        SCOPED_TRACE(height);
        const std::vector<int> rows = SplitRows(height, 1, 0, CopyDualInterlacedField);
        for (int row = 0; row < height; ++row) {
            const bool cleared = row <= 19 || (row >= height - 22 && row <= height - 3);
            EXPECT_EQ(rows[static_cast<std::size_t>(row)], cleared ? 0 : kStale) << "row " << row;
        }
    }
}

TEST(FieldSplitting, StoredFramesByImageType) {
    EXPECT_EQ(StoredFrameFor(kImageNormal, 7, 0), 7);
    EXPECT_EQ(StoredFrameFor(kImageInterlaced, 7, 0), 3);
    EXPECT_EQ(StoredFrameFor(kImageInterlaced, 7, 5), 8);
    EXPECT_EQ(StoredFrameFor(kImageDualInterlaced, 7, 0), 1);
    EXPECT_EQ(ImagesPerStoredFrame(kImageNormal), 1);
    EXPECT_EQ(ImagesPerStoredFrame(kImageInterlaced), 2);
    EXPECT_EQ(ImagesPerStoredFrame(kImageDualInterlaced), 4);
}

}  // namespace
}  // namespace kadivo::test
