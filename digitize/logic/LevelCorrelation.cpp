#include "LevelCorrelation.h"

#include "VectorClones.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kadivo {
namespace {

// Sixteen placements are summed at once, in vector registers (GCC and Clang vectors).
constexpr int kBlock = 16;
using Bytes = std::uint8_t __attribute__((vector_size(kBlock)));
using Words = std::uint16_t __attribute__((vector_size(2 * kBlock)));
using Longs = std::uint32_t __attribute__((vector_size(4 * kBlock)));

// The sums of `count` (up to sixteen) neighbouring placements. A template row's products fit
// 16 bits (30 columns · 15 · 15 < 2¹⁶); the rows add up in 32 bits.
[[gnu::always_inline]] inline void CorrelateBlock(const std::uint8_t* window, int stride, const std::uint8_t* templ,
                                                  int templateSize, std::int32_t* out, int count) {
    Longs total = {};
    for (int r = 0; r < templateSize; ++r) {
        const std::uint8_t* row = window + r * stride;
        const std::uint8_t* weights = templ + r * templateSize;
        Words products = {};
        for (int c = 0; c < templateSize; ++c) {
            Bytes levels;
            std::memcpy(&levels, row + c, sizeof levels);
            products += __builtin_convertvector(levels, Words) * static_cast<std::uint16_t>(weights[c]);
        }
        total += __builtin_convertvector(products, Longs);
    }
    for (int k = 0; k < count; ++k) out[k] = static_cast<std::int32_t>(total[k]);
}

}  // namespace

KADIVO_VECTOR_CLONES
void CorrelateLevels(const std::uint8_t* window, int windowSize, const std::uint8_t* templ, int templateSize,
                     std::int32_t* out) {
    const int placements = windowSize - templateSize;
    if (placements <= 0) return;
    // Rows padded with zeros, so that every block reads whole.
    const int width = (placements + kBlock - 1) / kBlock * kBlock;
    const int stride = width + templateSize;
    std::vector<std::uint8_t> padded(static_cast<std::size_t>(stride * windowSize), 0);
    for (int row = 0; row < windowSize; ++row) std::copy_n(window + row * windowSize, windowSize, padded.data() + row * stride);
    for (int v = 0; v < placements; ++v)
        for (int u = 0; u < placements; u += kBlock)
            CorrelateBlock(padded.data() + v * stride + u, stride, templ, templateSize, out + v * placements + u,
                           std::min(kBlock, placements - u));
}

}  // namespace kadivo
