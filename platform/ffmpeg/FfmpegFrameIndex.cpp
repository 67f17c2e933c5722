#include "FfmpegFrameIndex.h"

#include "StampArithmetic.h"

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

// The stream's packets in the order they are read, empty ones and ones the file marks as not
// shown left out.
std::vector<PacketEntry> ReadPackets(AVFormatContext* context, int stream) {
    std::vector<PacketEntry> packets;
    PacketPtr packet(av_packet_alloc());
    if (!packet) return packets;
    Rewind(context);
    while (av_read_frame(context, packet.get()) >= 0) {
        const bool shown = !(packet->flags & AV_PKT_FLAG_DISCARD);
        if (packet->stream_index == stream && packet->size > 0 && shown && static_cast<int>(packets.size()) < kMaxFrames)
            packets.push_back({packet->pts, packet->dts, packet->pos, (packet->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(packet.get());
    }
    Rewind(context);
    return packets;
}

// Decodes the stream once with each packet stamped with its number: the pictures come out in
// display order and name their packets. Packets that give no picture are not frames.
std::vector<int> PacketsInDisplayOrder(AVFormatContext* context, int stream) {
    std::vector<int> order;
    const AVCodecParameters* parameters = context->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    CodecContextPtr decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    if (!decoder || !packet || !frame || avcodec_parameters_to_context(decoder.get(), parameters) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return order;
    auto collect = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
            if (frame->pts != AV_NOPTS_VALUE) order.push_back(static_cast<int>(frame->pts));
            av_frame_unref(frame.get());
        }
    };
    Rewind(context);
    int number = 0;
    while (av_read_frame(context, packet.get()) >= 0) {
        if (packet->stream_index == stream && packet->size > 0 && !(packet->flags & AV_PKT_FLAG_DISCARD) && number < kMaxFrames) {
            packet->pts = number++;
            avcodec_send_packet(decoder.get(), packet.get());
            collect();
        }
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    collect();
    Rewind(context);
    return order;
}

}  // namespace

void Rewind(AVFormatContext* context) {
    if (avformat_seek_file(context, -1, INT64_MIN, 0, INT64_MAX, 0) < 0) av_seek_frame(context, -1, 0, AVSEEK_FLAG_BYTE);
}

int FrameIndex::FrameOf(std::int64_t stamp) const {
    if (numbering == Numbering::PacketOrder)
        return stamp >= 0 && stamp < static_cast<std::int64_t>(frameOfPacket.size()) ? frameOfPacket[static_cast<std::size_t>(stamp)] : -1;
    const auto found = std::lower_bound(stamps.begin(), stamps.end(), stamp);
    return found != stamps.end() && *found == stamp ? static_cast<int>(found - stamps.begin()) : -1;
}

int FrameIndex::KeyframeAt(std::int64_t position) const {
    for (std::size_t k = 0; k < keyframes.size(); ++k)
        if (keyframes[k].position == position) return static_cast<int>(k);
    return -1;
}

bool FrameIndex::VariableRate() const {
    if (meanInterval <= 0.0) return false;
    return longestInterval - meanInterval > 0.01 * meanInterval || meanInterval - shortestInterval > 0.01 * meanInterval;
}

FrameIndex BuildFrameIndex(AVFormatContext* context, int stream, bool reorders) {
    FrameIndex index;
    std::vector<PacketEntry> packets = ReadPackets(context, stream);
    if (packets.empty()) return index;
    // A stream is taken to start at a keyframe.
    packets.front().key = true;
    const auto count = packets.size();
    const bool stamped = std::all_of(packets.begin(), packets.end(), [](const PacketEntry& p) { return p.pts != AV_NOPTS_VALUE; });
    const bool dated = std::all_of(packets.begin(), packets.end(), [](const PacketEntry& p) { return p.dts != AV_NOPTS_VALUE; });

    // The frame each packet shows, in display order.
    std::vector<int> frameOf(count, -1);
    if (stamped || !reorders) {
        std::vector<std::size_t> byDisplay(count);
        std::iota(byDisplay.begin(), byDisplay.end(), std::size_t{0});
        auto stampOf = [&](std::size_t i) {
            if (stamped) return packets[i].pts;
            return packets[i].dts != AV_NOPTS_VALUE ? packets[i].dts : static_cast<std::int64_t>(i);
        };
        std::stable_sort(byDisplay.begin(), byDisplay.end(), [&](std::size_t a, std::size_t b) { return stampOf(a) < stampOf(b); });
        for (std::size_t n = 0; n < count; ++n) {
            frameOf[byDisplay[n]] = static_cast<int>(n);
            index.stamps.push_back(stampOf(byDisplay[n]));
        }
        // Equal stamps would make frames indistinguishable: later ones move up by a tick.
        for (std::size_t n = 1; n < index.stamps.size(); ++n)
            if (index.stamps[n] <= index.stamps[n - 1]) index.stamps[n] = NextStamp(index.stamps[n - 1]);
    } else {
        index.numbering = FrameIndex::Numbering::PacketOrder;
        for (int packet : PacketsInDisplayOrder(context, stream)) {
            if (packet < 0 || packet >= static_cast<int>(count) || frameOf[static_cast<std::size_t>(packet)] >= 0) continue;
            frameOf[static_cast<std::size_t>(packet)] = index.frameCount();
            index.stamps.push_back(packet);
        }
        index.frameOfPacket = frameOf;
    }

    // A frame is decoded from the last keyframe before its packet that is not shown after it:
    // leading pictures of an open group of pictures go back to the group before.
    std::vector<std::size_t> keyPackets;
    index.keyframeOf.assign(static_cast<std::size_t>(index.frameCount()), 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (packets[i].key) {
            keyPackets.push_back(i);
            // Demuxers seek by presentation stamp where the file has them.
            const std::int64_t seekStamp = stamped ? packets[i].pts : (dated ? packets[i].dts : static_cast<std::int64_t>(i));
            index.keyframes.push_back({seekStamp, packets[i].position, static_cast<int>(i), frameOf[i]});
        }
        const int frame = frameOf[i];
        if (frame < 0) continue;
        int chosen = static_cast<int>(keyPackets.size()) - 1;
        while (chosen > 0 && frameOf[keyPackets[static_cast<std::size_t>(chosen)]] > frame) --chosen;
        index.keyframeOf[static_cast<std::size_t>(frame)] = chosen;
    }

    // Intervals between frames in seconds, where the frames carry presentation stamps.
    const AVRational base = context->streams[stream]->time_base;
    const std::size_t frames = index.stamps.size();
    if (index.numbering == FrameIndex::Numbering::Stamps && frames >= 2 && base.den > 0) {
        const double tick = av_q2d(base);
        double shortest = INFINITY, longest = 0.0;
        for (std::size_t n = 1; n < frames; ++n) {
            const double interval = StampDistance(index.stamps[n - 1], index.stamps[n]) * tick;
            shortest = std::min(shortest, interval);
            longest = std::max(longest, interval);
        }
        index.shortestInterval = shortest;
        index.longestInterval = longest;
        index.meanInterval = StampDistance(index.stamps.front(), index.stamps.back()) * tick / static_cast<double>(frames - 1);
    }
    return index;
}

}  // namespace kadivo::ffmpeg
