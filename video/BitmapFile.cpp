#include "BitmapFile.h"

#include <cstring>

namespace kadivo {
namespace {

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> EncodeBitmapFile(const BitmapFormat& format, const std::vector<std::uint8_t>& pixels) {
    BitmapInfoHeader header = format.header;
    header.compression = 0;
    header.sizeImage = static_cast<std::uint32_t>(pixels.size());
    header.clrUsed = static_cast<std::uint32_t>(format.palette.size());
    const auto offset = static_cast<std::uint32_t>(14 + sizeof header + header.clrUsed * sizeof(PaletteEntry));

    std::vector<std::uint8_t> out;
    out.reserve(offset + pixels.size());
    out.push_back('B');
    out.push_back('M');
    PutLittleEndian(out, offset + header.sizeImage, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, offset, 4);
    const auto* headerBytes = reinterpret_cast<const std::uint8_t*>(&header);
    out.insert(out.end(), headerBytes, headerBytes + sizeof header);
    for (const PaletteEntry& entry : format.palette) out.insert(out.end(), entry.begin(), entry.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

}  // namespace kadivo
