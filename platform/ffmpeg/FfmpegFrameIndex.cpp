#include "FfmpegFrameIndex.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kadivo::ffmpeg {

namespace {

struct PacketEntry {
    std::int64_t pts, dts, position;
    bool key;
};

constexpr int kMaxFrames = 1 << 28;

}  // namespace

void Rewind(AVFormatContext* context) {
    if (avformat_seek_file(context, -1, INT64_MIN, 0, INT64_MAX, 0) < 0) av_seek_frame(context, -1, 0, AVSEEK_FLAG_BYTE);
}

int FrameIndex::FrameOf(std::int64_t stamp) const {
    const auto found = std::lower_bound(stamps.begin(), stamps.end(), stamp);
    return found != stamps.end() && *found == stamp ? static_cast<int>(found - stamps.begin()) : -1;
}

bool FrameIndex::VariableRate() const {
    if (meanInterval <= 0.0) return false;
    return longestInterval - meanInterval > 0.01 * meanInterval || meanInterval - shortestInterval > 0.01 * meanInterval;
}

FrameIndex BuildFrameIndex(AVFormatContext* context, int stream, bool reorders) {
    FrameIndex index;
    std::vector<PacketEntry> packets;
    PacketPtr packet(av_packet_alloc());
    if (!packet) return index;
    Rewind(context);
    while (av_read_frame(context, packet.get()) >= 0) {
        if (packet->stream_index == stream && packet->size > 0 && static_cast<int>(packets.size()) < kMaxFrames)
            packets.push_back({packet->pts, packet->dts, packet->pos, (packet->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(packet.get());
    }
    Rewind(context);
    if (packets.empty()) return index;
    // A stream must start at a keyframe; one that does not is taken from its first packet.
    packets.front().key = true;

    const bool stamped = std::all_of(packets.begin(), packets.end(), [](const PacketEntry& p) { return p.pts != AV_NOPTS_VALUE; });
    const bool dated = std::all_of(packets.begin(), packets.end(), [](const PacketEntry& p) { return p.dts != AV_NOPTS_VALUE; });
    index.numbering = stamped || !reorders ? FrameIndex::Numbering::Stamps : FrameIndex::Numbering::OutputOrder;
    const auto count = packets.size();

    // Display order: by presentation stamp, or, without one, the order the packets come in
    // (decoding a closed group of pictures from its keyframe gives them in that order).
    std::vector<std::size_t> byDisplay(count);
    std::iota(byDisplay.begin(), byDisplay.end(), std::size_t{0});
    auto stampOf = [&](const PacketEntry& p) {
        if (stamped) return p.pts;
        return p.dts != AV_NOPTS_VALUE ? p.dts : static_cast<std::int64_t>(&p - packets.data());
    };
    if (stamped) std::stable_sort(byDisplay.begin(), byDisplay.end(), [&](std::size_t a, std::size_t b) { return packets[a].pts < packets[b].pts; });
    std::vector<int> displayOf(count);
    for (std::size_t n = 0; n < count; ++n) {
        displayOf[byDisplay[n]] = static_cast<int>(n);
        index.stamps.push_back(stampOf(packets[byDisplay[n]]));
    }
    // Equal stamps would make frames indistinguishable: the later ones move up by one tick.
    for (std::size_t n = 1; n < index.stamps.size(); ++n)
        if (index.stamps[n] <= index.stamps[n - 1]) index.stamps[n] = index.stamps[n - 1] + 1;

    // A frame is decoded from the last keyframe before it in decoding order that is not shown
    // after it: leading pictures of an open group go back to the group before.
    std::vector<std::size_t> keyPackets;
    index.keyframeOf.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (packets[i].key) {
            keyPackets.push_back(i);
            FrameIndex::Keyframe keyframe;
            keyframe.seekStamp = dated ? packets[i].dts : stampOf(packets[i]);
            keyframe.position = packets[i].position;
            keyframe.firstFrame = displayOf[i];
            index.keyframes.push_back(keyframe);
        }
        int chosen = static_cast<int>(keyPackets.size()) - 1;
        while (chosen > 0 && displayOf[keyPackets[static_cast<std::size_t>(chosen)]] > displayOf[i]) --chosen;
        index.keyframeOf[static_cast<std::size_t>(displayOf[i])] = chosen;
    }

    // Intervals between frames in seconds.
    const AVRational base = context->streams[stream]->time_base;
    if (count >= 2 && base.den > 0) {
        const double tick = av_q2d(base);
        double shortest = INFINITY, longest = 0.0;
        for (std::size_t n = 1; n < count; ++n) {
            const double interval = static_cast<double>(index.stamps[n] - index.stamps[n - 1]) * tick;
            shortest = std::min(shortest, interval);
            longest = std::max(longest, interval);
        }
        index.shortestInterval = shortest;
        index.longestInterval = longest;
        index.meanInterval = static_cast<double>(index.stamps.back() - index.stamps.front()) * tick / static_cast<double>(count - 1);
    }
    return index;
}

}  // namespace kadivo::ffmpeg
