#include "ArchiveString.h"

namespace kadivo {

namespace {

constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint16_t kLongLength = 0xFFFF;

std::uint32_t ReadLength(ByteReader& in, const char* what, bool& wide) {
    const std::uint8_t shortLength = in.U8(what);
    if (shortLength < 0xFF) return shortLength;
    std::uint16_t length = in.U16(what);
    if (length == kWideMarker && !wide) {
        wide = true;
        return ReadLength(in, what, wide);
    }
    if (length < kLongLength) return length;
    return in.U32(what);
}

}  // namespace

std::string ReadArchiveString(ByteReader& in, const char* what) {
    bool wide = false;
    const std::uint32_t length = ReadLength(in, what, wide);
    if (!wide) {
        in.Require(length, 1, what);
        std::string text(length, '\0');
        in.Bytes(text.data(), length, what);
        return text;
    }
    in.Require(length, 2, what);
    std::string text;
    text.reserve(length);
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint16_t unit = in.U16(what);
        text.push_back(unit < 256 ? static_cast<char>(unit) : '?');
    }
    return text;
}

void WriteArchiveString(ByteWriter& out, const std::string& text) {
    const std::size_t length = text.size();
    if (length < 0xFF) {
        out.U8(static_cast<std::uint8_t>(length));
    } else if (length < kWideMarker) {
        out.U8(0xFF);
        out.U16(static_cast<std::uint16_t>(length));
    } else {
        out.U8(0xFF);
        out.U16(kLongLength);
        out.U32(static_cast<std::uint32_t>(length));
    }
    out.Bytes(text.data(), length);
}

}  // namespace kadivo
