#include "Crc32.h"

#include <array>

namespace kadivo {

namespace {

// Slicing by eight: eight tables let the loop take a word at a time.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables MakeTables() {
    Tables tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][i] = c;
    }
    for (std::size_t t = 1; t < 8; ++t)
        for (std::size_t i = 0; i < 256; ++i) tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFFu];
    return tables;
}

constexpr Tables kTables = MakeTables();

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    crc = ~crc;
    while (size >= 8) {
        const std::uint32_t low = crc ^ (static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                                         static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24);
        crc = kTables[7][low & 0xFFu] ^ kTables[6][(low >> 8) & 0xFFu] ^ kTables[5][(low >> 16) & 0xFFu] ^
              kTables[4][low >> 24] ^ kTables[3][data[4]] ^ kTables[2][data[5]] ^ kTables[1][data[6]] ^ kTables[0][data[7]];
        data += 8;
        size -= 8;
    }
    while (size-- > 0) crc = (crc >> 8) ^ kTables[0][(crc ^ *data++) & 0xFFu];
    return ~crc;
}

}  // namespace kadivo
