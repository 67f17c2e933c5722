#pragma once

#include <cstddef>
#include <cstdint>

namespace kadivo {

// The CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320); `crc` continues an earlier
// block's value.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

}  // namespace kadivo
