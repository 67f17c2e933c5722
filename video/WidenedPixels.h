#pragma once

#include <cstdint>

namespace kadivo {

// `count` pixels of blue, green and red bytes as opaque screen words 0xffRRGGBB.
void WidenPixels(const std::uint8_t* in, int count, std::uint32_t* out);

// `count` pixels of blue, green, red and an unused byte as opaque screen words 0xffRRGGBB.
void OpaquePixels(const std::uint8_t* in, int count, std::uint32_t* out);

}  // namespace kadivo
