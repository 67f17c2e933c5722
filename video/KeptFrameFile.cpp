#include "KeptFrameFile.h"

#include "ByteCursor.h"
#include "Crc32.h"

#include <cstring>

namespace kadivo {

namespace {

constexpr char kMagic[8] = {'K', 'D', 'V', 'K', 'E', 'P', 'T', '1'};
constexpr std::uint32_t kMaxPath = 4096;
constexpr std::uint32_t kMaxStreams = 16;
constexpr std::uint32_t kMaxPalette = 256;
// A 16384 × 16384 frame of 32-bit pixels; anything larger is not a frame this program shows.
constexpr std::uint32_t kMaxRows = 1u << 30;

void WriteFormat(ByteWriter& out, const BitmapFormat& format) {
    out.Bytes(&format.header, sizeof format.header);
    out.U32(static_cast<std::uint32_t>(format.palette.size()));
    for (const PaletteEntry& entry : format.palette) out.Bytes(entry.data(), entry.size());
}

BitmapFormat ReadFormat(ByteReader& in) {
    BitmapFormat format;
    in.Bytes(&format.header, sizeof format.header, "a frame format");
    const std::uint32_t entries = in.U32("a palette's size");
    if (entries > kMaxPalette || entries != format.header.clrUsed)
        throw FileFormatError("A kept frame's palette has " + std::to_string(entries) + " entries");
    in.Require(entries, sizeof(PaletteEntry), "a palette");
    format.palette.resize(entries);
    for (PaletteEntry& entry : format.palette) in.Bytes(entry.data(), entry.size(), "a palette");
    return format;
}

void WriteStreamInfo(ByteWriter& out, const AviStreamInfo& info) {
    out.U32(info.type);
    out.U32(info.handler);
    out.U32(info.scale);
    out.U32(info.rate);
    out.I32(info.start);
    out.I32(info.length);
    out.F64(info.shortestInterval);
    out.F64(info.longestInterval);
    out.U8(info.variableRate ? 1 : 0);
}

AviStreamInfo ReadStreamInfo(ByteReader& in) {
    AviStreamInfo info;
    info.type = in.U32("a stream's type");
    info.handler = in.U32("a stream's handler");
    info.scale = in.U32("a stream's scale");
    info.rate = in.U32("a stream's rate");
    info.start = in.I32("a stream's start");
    info.length = in.I32("a stream's length");
    info.shortestInterval = in.F64("a stream's intervals");
    info.longestInterval = in.F64("a stream's intervals");
    const std::uint8_t variable = in.U8("a stream's rate kind");
    if (variable > 1) throw FileFormatError("A kept stream's rate kind is " + std::to_string(variable));
    info.variableRate = variable == 1;
    return info;
}

}  // namespace

std::vector<std::uint8_t> FormatKeptVideo(const KeptVideo& video) {
    ByteWriter out;
    out.Bytes(kMagic, sizeof kMagic);
    out.U32(static_cast<std::uint32_t>(video.identity.path.size()));
    out.Bytes(video.identity.path.data(), video.identity.path.size());
    out.U64(video.identity.size);
    out.I64(video.identity.modifiedNanoseconds);
    out.U64(video.identity.inode);
    out.U32(video.file.scale);
    out.U32(video.file.rate);
    out.I32(video.file.streamCount);
    out.U32(static_cast<std::uint32_t>(video.streams.size()));
    for (const KeptStream& stream : video.streams) {
        WriteStreamInfo(out, stream.info);
        WriteFormat(out, stream.format);
        out.I32(stream.length);
        out.I32(stream.start);
    }
    out.I32(video.stream);
    out.I32(video.position);
    WriteFormat(out, video.frameFormat);
    out.U32(static_cast<std::uint32_t>(video.rows.size()));
    out.Bytes(video.rows.data(), video.rows.size());
    out.U32(Crc32(out.data(), out.size()));
    return out.Take();
}

KeptVideo ParseKeptVideo(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof kMagic + 4 || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        throw FileFormatError("The file is not a kept frame");
    std::uint32_t stored = 0;
    std::memcpy(&stored, data + size - 4, 4);
    if (Crc32(data, size - 4) != stored) throw FileFormatError("The kept frame is damaged");

    ByteReader in(data, size - 4);
    in.Take(sizeof kMagic, "the magic");
    KeptVideo video;
    const std::uint32_t pathLength = in.U32("the video's path");
    if (pathLength == 0 || pathLength > kMaxPath) throw FileFormatError("A kept frame names no usable video path");
    const std::uint8_t* path = in.Take(pathLength, "the video's path");
    video.identity.path.assign(reinterpret_cast<const char*>(path), pathLength);
    video.identity.size = in.U64("the video's size");
    video.identity.modifiedNanoseconds = in.I64("the video's time");
    video.identity.inode = in.U64("the video's inode");
    video.file.scale = in.U32("the file's scale");
    video.file.rate = in.U32("the file's rate");
    video.file.streamCount = in.I32("the file's stream count");
    const std::uint32_t streams = in.U32("the stream count");
    if (streams == 0 || streams > kMaxStreams) throw FileFormatError("A kept frame describes " + std::to_string(streams) + " streams");
    video.streams.resize(streams);
    for (KeptStream& stream : video.streams) {
        stream.info = ReadStreamInfo(in);
        stream.format = ReadFormat(in);
        stream.length = in.I32("a stream's length");
        stream.start = in.I32("a stream's start");
    }
    video.stream = in.I32("the frame's stream");
    video.position = in.I32("the frame's position");
    if (video.stream < 0 || static_cast<std::uint32_t>(video.stream) >= streams)
        throw FileFormatError("A kept frame is from stream " + std::to_string(video.stream) + " of " + std::to_string(streams));
    video.frameFormat = ReadFormat(in);
    const std::uint32_t rows = in.U32("the frame's size");
    if (rows > kMaxRows || rows != video.streams[static_cast<std::size_t>(video.stream)].format.header.sizeImage)
        throw FileFormatError("A kept frame holds " + std::to_string(rows) + " bytes, not its stream's frame size");
    video.rows = {in.Take(rows, "the frame's rows"), rows};
    if (in.remaining() != 0) throw FileFormatError("A kept frame has bytes after its rows");
    return video;
}

}  // namespace kadivo
