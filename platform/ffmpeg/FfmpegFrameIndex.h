#pragma once

#include "FfmpegHandles.h"

#include <cstdint>
#include <vector>

namespace kadivo::ffmpeg {

// Every frame of a video stream in display order, and where decoding it has to start. Made
// once when the file opens by reading the stream's packets; only a stream without
// presentation stamps whose codec reorders frames (B-frames in AVI) is decoded once as well,
// because nothing else tells its display order.
struct FrameIndex {
    // How a picture coming out of the decoder is recognised.
    enum class Numbering {
        Stamps,       // by its presentation stamp
        PacketOrder,  // by the packet it came from: packets are numbered in the order they are read
    };
    struct Keyframe {
        std::int64_t seekStamp = 0;  // what the demuxer seeks to
        std::int64_t position = -1;  // the packet's byte position, to check where a seek landed
        int packet = 0;              // its number among the stream's packets
        int frame = 0;               // the frame it shows
    };

    Numbering numbering = Numbering::Stamps;
    // Frame n's presentation stamp (ascending), or with PacketOrder the number of its packet.
    std::vector<std::int64_t> stamps;
    std::vector<int> frameOfPacket;   // PacketOrder: the frame packet i shows, or −1
    std::vector<int> keyframeOf;      // frame n is decoded from keyframes[keyframeOf[n]]
    std::vector<Keyframe> keyframes;  // in decoding order
    // Frame intervals in seconds, measured from presentation stamps (zero without them).
    double shortestInterval = 0.0, longestInterval = 0.0, meanInterval = 0.0;

    int frameCount() const { return static_cast<int>(stamps.size()); }
    // The frame a picture with this stamp (or packet number) shows, or −1.
    int FrameOf(std::int64_t stamp) const;
    // The keyframe read at a byte position, or −1.
    int KeyframeAt(std::int64_t position) const;
    // More than 1 % between the shortest or longest interval and the mean.
    bool VariableRate() const;
};

// Puts the file back to its first packet.
void Rewind(AVFormatContext* context);

// Reads the packets of `stream` from the start and leaves the file there; an index without
// frames when the stream has none. `reorders`: the codec puts frames out in another order than
// it takes them in.
FrameIndex BuildFrameIndex(AVFormatContext* context, int stream, bool reorders);

}  // namespace kadivo::ffmpeg
