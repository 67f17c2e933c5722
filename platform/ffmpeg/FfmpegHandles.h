#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <array>
#include <memory>
#include <mutex>

namespace kadivo::ffmpeg {

// Problems show as failed calls with their reasons; the library's own log would only
// clutter the terminal.
inline void SilenceLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

struct FormatContextCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextCloser>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using ScalerPtr = std::unique_ptr<SwsContext, ScalerFreer>;

// A conversion to `to`, made again only when the picture's size or format changes.
// (sws_getCachedContext makes a new one on every call for the full-range formats MJPEG decodes
// to, as the context keeps them under their limited-range names.)
class PictureConverter {
public:
    SwsContext* For(int width, int height, AVPixelFormat from, int toWidth, int toHeight, AVPixelFormat to) {
        const std::array<int, 6> key{width, height, from, toWidth, toHeight, to};
        if (!context_ || key != key_) {
            context_.reset(sws_getContext(width, height, from, toWidth, toHeight, to, SWS_BILINEAR, nullptr, nullptr, nullptr));
            key_ = key;
        }
        return context_.get();
    }
    void Reset() { context_.reset(); }

private:
    ScalerPtr context_;
    std::array<int, 6> key_{};
};

}  // namespace kadivo::ffmpeg
