#pragma once

#include "FfmpegHandles.h"

#include <cstdint>
#include <vector>

namespace kadivo::ffmpeg {

// Every frame of a video stream in display order, and where decoding it has to start. Made
// once when the file opens, by reading the stream's packets without decoding them.
struct FrameIndex {
    // How frames coming out of the decoder are recognised.
    enum class Numbering {
        Stamps,       // by their presentation stamp
        OutputOrder,  // by counting them from the keyframe decoding started at (no stamps in the file)
    };
    struct Keyframe {
        std::int64_t seekStamp = 0;  // what the demuxer seeks to
        std::int64_t position = -1;  // the packet's byte position, to check where a seek landed
        int firstFrame = 0;          // the frame the decoder puts out first after starting here
    };

    Numbering numbering = Numbering::Stamps;
    std::vector<std::int64_t> stamps;  // frame n's presentation stamp, ascending
    std::vector<int> keyframeOf;       // frame n is decoded from keyframes[keyframeOf[n]]
    std::vector<Keyframe> keyframes;   // in decoding order
    // Frame intervals in seconds.
    double shortestInterval = 0.0, longestInterval = 0.0, meanInterval = 0.0;

    int frameCount() const { return static_cast<int>(stamps.size()); }
    // The frame showing `stamp`, or −1.
    int FrameOf(std::int64_t stamp) const;
    // More than 1 % between the shortest or longest interval and the mean.
    bool VariableRate() const;
};

// Puts the file back to its first packet.
void Rewind(AVFormatContext* context);

// Reads the packets of `stream` from the start and leaves the file there; an index without
// frames when the stream has none. `reorders`: the codec puts frames out in another order than
// it takes them in (B-frames), which without presentation stamps is followed by counting.
FrameIndex BuildFrameIndex(AVFormatContext* context, int stream, bool reorders);

}  // namespace kadivo::ffmpeg
