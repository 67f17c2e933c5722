#pragma once

#include "AviFile.h"

#include <cstdint>
#include <vector>

namespace kadivo {

// A ".bmp" file of a frame: the 14-byte file header, the bitmap header, the palette and
// the pixel rows as they are (bottom-up).
std::vector<std::uint8_t> EncodeBitmapFile(const BitmapFormat& format, const std::vector<std::uint8_t>& pixels);

}  // namespace kadivo
