#include "ByteCursor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kadivo {
namespace {

// Three and a half chunks of numbered words go through a sink in whole chunks and come back
// through a source that gives a few thousand bytes a call, read word by word and in blocks
// that straddle the reader's windows.
TEST(ByteCursor, AStreamOfSeveralWindowsGoesOutInChunksAndComesBackWhole) {
    const std::uint32_t words = 7 * ByteWriter::kChunk / 8;
    std::vector<std::uint8_t> file;
    std::vector<std::size_t> chunks;
    ByteWriter out([&](const std::uint8_t* data, std::size_t size) {
        chunks.push_back(size);
        file.insert(file.end(), data, data + size);
    });
    for (std::uint32_t w = 0; w < words; ++w) out.U32(w);
    out.Finish();
    ASSERT_EQ(file.size(), 4u * words);
    ASSERT_EQ(chunks.size(), 4u);
    for (std::size_t c = 0; c + 1 < chunks.size(); ++c) EXPECT_EQ(chunks[c], ByteWriter::kChunk);

    std::size_t served = 0;
    ByteReader in(
        [&](std::uint8_t* into, std::size_t max) {
            const std::size_t n = std::min({max, std::size_t{7777}, file.size() - served});
            std::memcpy(into, file.data() + served, n);
            served += n;
            return n;
        },
        file.size());
    std::uint32_t w = 0;
    for (; w < words / 4; ++w) ASSERT_EQ(in.U32("a word"), w);
    // A block as large as a window, from the middle of one.
    const std::uint8_t* block = in.Take(ByteReader::kWindow, "a block");
    for (std::size_t i = 0; i < ByteReader::kWindow / 4; ++i, ++w) {
        std::uint32_t value;
        std::memcpy(&value, block + 4 * i, 4);
        ASSERT_EQ(value, w);
    }
    for (; w < words; ++w) ASSERT_EQ(in.U32("a word"), w);
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_THROW(in.U8("one byte more"), FileFormatError);
}

// A stream of a few bytes, and one of none, read through a source.
TEST(ByteCursor, ShortAndEmptyStreamsReadToTheirEndAndNoFurther) {
    const std::vector<std::uint8_t> file{1, 0, 2, 0, 0, 0, 9};
    std::size_t served = 0;
    ByteReader in(
        [&](std::uint8_t* into, std::size_t max) {
            const std::size_t n = std::min(max, file.size() - served);
            std::memcpy(into, file.data() + served, n);
            served += n;
            return n;
        },
        file.size());
    EXPECT_EQ(in.U16("a short"), 1u);
    EXPECT_EQ(in.U32("a word"), 2u);
    EXPECT_THROW(in.U16("a short past the end"), FileFormatError);
    EXPECT_EQ(in.U8("the last byte"), 9u);

    ByteReader none([](std::uint8_t*, std::size_t) { return std::size_t{0}; }, 0);
    EXPECT_EQ(none.remaining(), 0u);
    EXPECT_EQ(none.Take(0, "nothing"), none.Take(0, "nothing"));
    EXPECT_THROW(none.U8("a byte"), FileFormatError);
}

}  // namespace
}  // namespace kadivo
