#include "WidenedPixels.h"

#include "VectorClones.h"

#include <bit>
#include <cstring>

namespace kadivo {

namespace {

using Bytes = std::uint8_t __attribute__((vector_size(16)));

// One pixel's blue, green and red bytes as an opaque screen word, whatever the byte order.
inline std::uint32_t OpaqueWord(const std::uint8_t* bgr) {
    return 0xff000000u | (std::uint32_t{bgr[2]} << 16) | (std::uint32_t{bgr[1]} << 8) | bgr[0];
}

}  // namespace

// Four pixels at a time in one shuffle where the words' bytes lie in memory as blue, green,
// red, opaque; a shuffle reads 16 bytes for 12, so the last pixels are taken one by one.
KADIVO_VECTOR_CLONES void WidenPixels(const std::uint8_t* __restrict in, int count, std::uint32_t* __restrict out) {
    int x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        const Bytes opaque = {0, 0, 0, 0xff, 0, 0, 0, 0xff, 0, 0, 0, 0xff, 0, 0, 0, 0xff};
        for (; x + 6 <= count; x += 4) {
            Bytes v;
            std::memcpy(&v, in + 3 * x, sizeof v);
#if defined(__clang__)
            const Bytes widened = __builtin_shufflevector(v, v, 0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11, 0) | opaque;
#else
            const Bytes widened = __builtin_shuffle(v, Bytes{0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11, 0}) | opaque;
#endif
            std::memcpy(out + x, &widened, sizeof widened);
        }
    }
    for (; x < count; ++x) out[x] = OpaqueWord(in + 3 * x);
}

// Where the words' bytes lie in memory as blue, green, red, opaque, a pixel is its word.
KADIVO_VECTOR_CLONES void OpaquePixels(const std::uint8_t* __restrict in, int count, std::uint32_t* __restrict out) {
    if (count <= 0) return;  // an empty row may have no storage at all
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, in, static_cast<std::size_t>(count) * 4);
        for (int x = 0; x < count; ++x) out[x] |= 0xff000000u;
        return;
    }
    for (int x = 0; x < count; ++x) out[x] = OpaqueWord(in + 4 * x);
}

}  // namespace kadivo
