#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kadivo {

constexpr std::uint32_t FourCc(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

constexpr std::uint32_t kStreamTypeVideo = FourCc('v', 'i', 'd', 's');
constexpr std::uint32_t kStreamTypeAudio = FourCc('a', 'u', 'd', 's');
constexpr std::uint32_t kStreamTypeText = FourCc('t', 'x', 't', 's');
constexpr std::uint32_t kStreamTypeOther = FourCc('d', 'a', 't', 's');

// The 40-byte header of a device-independent bitmap, field for field.
struct BitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;  // positive: rows bottom-up
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;  // 0 for uncompressed rows, else the codec's four-character code
    std::uint32_t sizeImage = 0;    // bytes of pixel rows
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;  // palette entries that follow the header
    std::uint32_t clrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// A palette entry: blue, green, red, reserved.
using PaletteEntry = std::array<std::uint8_t, 4>;

// Bytes of one pixel row: rows are padded to four bytes.
inline int BitmapRowStride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

struct BitmapFormat {
    BitmapInfoHeader header;
    std::vector<PaletteEntry> palette;  // header.clrUsed entries
};

struct AviFileInfo {
    // Time per frame of the file's video is scale / rate seconds.
    std::uint32_t scale = 1;
    std::uint32_t rate = 0;
    int streamCount = 0;
};

struct AviStreamInfo {
    std::uint32_t type = 0;  // kStreamTypeVideo, kStreamTypeAudio, ...
    std::uint32_t handler = 0;
    std::uint32_t scale = 1;
    std::uint32_t rate = 0;
    int start = 0;
    int length = 0;
    // Frame intervals measured from the frames' presentation stamps, in seconds (0 when the
    // stream's frame numbers are its times, as in AVI); the period is then their mean.
    double shortestInterval = 0.0, longestInterval = 0.0;
    bool variableRate = false;
};

// Decompresses the frames of one video stream.
class AviFrameDecoder {
public:
    virtual ~AviFrameDecoder() = default;
    // The frame at stream `position` (from Start() on) as a device-independent bitmap:
    // `format` gets its header and palette, `rows` (the stream format's sizeImage bytes) its
    // pixel rows, bottom row first. False, with nothing written, when the stream has no
    // image for it. Asking for the same frame again converts it again without decoding.
    virtual bool GetFrame(int position, BitmapFormat& format, std::uint8_t* rows) = 0;
};

class AviStream {
public:
    virtual ~AviStream() = default;
    virtual AviStreamInfo Info() const = 0;
    // The format frames are delivered in: 24-bit rows for colour sources, 8-bit rows with
    // their palette for palettised ones; `compression` names the stored codec.
    virtual BitmapFormat ReadFormat() const = 0;
    virtual int Length() const = 0;
    virtual int Start() const = 0;
    // Null when no decoder can decompress the stream.
    virtual std::unique_ptr<AviFrameDecoder> OpenFrameDecoder() = 0;
};

class AviFile {
public:
    virtual ~AviFile() = default;
    virtual AviFileInfo Info() const = 0;
    // The file's stream `index` in file order; null past the last one.
    virtual std::unique_ptr<AviStream> GetStream(int index) = 0;
};

// Opens an AVI file for reading; null when it cannot be opened or read as AVI.
std::unique_ptr<AviFile> OpenAviFile(const std::string& path);

}  // namespace kadivo
