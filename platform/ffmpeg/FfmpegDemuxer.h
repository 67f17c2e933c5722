#pragma once

#include "AviFile.h"
#include "FfmpegFrameIndex.h"
#include "FfmpegHandles.h"

#include <optional>
#include <vector>

namespace kadivo::ffmpeg {

// One opened file, shared by its streams and their decoders (which read it in turn).
struct Demuxer {
    FormatContextPtr context;
    // Frames per stream, from the first frame's timestamp on: the header's count when the
    // file's index covers it, otherwise what a scan of the file found.
    std::vector<int> frameCounts;
    // Display-order indexes of the video streams that need one: every stream of a container
    // other than AVI, and AVI streams whose codec reorders frames. Other AVI streams are
    // addressed by their frame numbers, as AVI counts them.
    std::vector<std::optional<FrameIndex>> indexes;

    AVStream* Stream(int index) const { return context->streams[index]; }
    // The stream's first timestamp (AVI time stamps count frames).
    static std::int64_t StartOf(const AVStream* stream);
};

// The format frames of `stream` are delivered in (see AviStream::ReadFormat).
BitmapFormat DeliveredFormat(const AVStream* stream);

// Whether frames of `format` have a size the program can hold.
bool FrameSizeInRange(const BitmapFormat& format);

// The decoder of one video stream; null when no decoder can handle it.
std::unique_ptr<AviFrameDecoder> OpenFfmpegFrameDecoder(std::shared_ptr<Demuxer> demuxer, int streamIndex);
// The decoder of a stream with a display-order index, on an opened codec.
std::unique_ptr<AviFrameDecoder> OpenDisplayOrderDecoder(std::shared_ptr<Demuxer> demuxer, int streamIndex, CodecContextPtr codec);

}  // namespace kadivo::ffmpeg
