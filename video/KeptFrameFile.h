#pragma once

#include "AviFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kadivo {

// The file a kept frame belongs to, as the file system describes it: a kept frame is used
// only while the video is exactly the file it was taken from.
struct VideoFileIdentity {
    std::string path;  // absolute
    std::uint64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const VideoFileIdentity&, const VideoFileIdentity&) = default;
};

// What a video stream answers before any of its frames is decoded.
struct KeptStream {
    AviStreamInfo info;
    BitmapFormat format;  // as ReadFormat gives it
    int length = 0;
    int start = 0;
};

// The last frame a video showed, with everything the file said about itself on the way, so
// that the video can be shown again before its decoder is loaded.
struct KeptVideo {
    VideoFileIdentity identity;
    AviFileInfo file;
    std::vector<KeptStream> streams;  // GetStream's answers in order, as far as they were asked
    int stream = 0;                   // of `streams`, the one the frame is from
    int position = 0;                 // the frame's stream position
    BitmapFormat frameFormat;         // as GetFrame gave it
    // The stream format's sizeImage bytes: in the bytes parsed, or in the decoder's buffer.
    std::span<const std::uint8_t> rows;
};

// The bytes of a kept frame's file, ending in a CRC-32 of the rest.
std::vector<std::uint8_t> FormatKeptVideo(const KeptVideo& video);
// Throws FileFormatError for anything FormatKeptVideo did not write, a damaged copy included.
// The video's rows stay in `data`.
KeptVideo ParseKeptVideo(const std::uint8_t* data, std::size_t size);

}  // namespace kadivo
