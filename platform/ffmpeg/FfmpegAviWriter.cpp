#include "AviWriter.h"

#include "FfmpegHandles.h"
#include "FfmpegModule.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

namespace kadivo {
namespace {

using namespace ffmpeg;

struct OutputContextCloser {
    void operator()(AVFormatContext* context) const {
        if (context->pb) avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextCloser>;

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

class FfmpegAviWriter final : public AviVideoWriter {
public:
    FfmpegAviWriter(OutputContextPtr output, CodecContextPtr codec, AVStream* stream, int width, int height)
        : output_(std::move(output)), codec_(std::move(codec)), stream_(stream), width_(width), height_(height),
          frame_(av_frame_alloc()), packet_(av_packet_alloc()),
          scaler_(sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, AV_PIX_FMT_YUVJ420P, SWS_BILINEAR,
                                 nullptr, nullptr, nullptr)) {}

    ~FfmpegAviWriter() override {
        if (!finished_) Finish();
    }

    bool Ready(std::string& error) {
        if (!frame_ || !packet_ || !scaler_) {
            error = "out of memory";
            return false;
        }
        frame_->format = AV_PIX_FMT_YUVJ420P;
        frame_->width = width_;
        frame_->height = height_;
        if (const int code = av_frame_get_buffer(frame_.get(), 0); code < 0) {
            error = ErrorText(code);
            return false;
        }
        return true;
    }

    bool WriteFrame(const std::uint8_t* rows, int stride) override {
        if (finished_ || failed_ || av_frame_make_writable(frame_.get()) < 0) return false;
        // The last row in memory is the top of the picture.
        const std::uint8_t* top[1] = {rows + static_cast<std::ptrdiff_t>(height_ - 1) * stride};
        const int topStride[1] = {-stride};
        sws_scale(scaler_.get(), top, topStride, 0, height_, frame_->data, frame_->linesize);
        frame_->pts = frames_;
        if (!Encode(frame_.get())) return false;
        ++frames_;
        return true;
    }

    bool Finish() override {
        if (finished_) return !failed_;
        finished_ = true;
        if (!failed_) Encode(nullptr);
        if (!failed_ && av_write_trailer(output_.get()) < 0) failed_ = true;
        if (output_->pb && avio_closep(&output_->pb) < 0) failed_ = true;
        return !failed_;
    }

    int FramesWritten() const override { return static_cast<int>(frames_); }

private:
    bool Encode(const AVFrame* frame) {
        if (avcodec_send_frame(codec_.get(), frame) < 0) return failed_ = true, false;
        for (;;) {
            const int code = avcodec_receive_packet(codec_.get(), packet_.get());
            if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
            if (code < 0) return failed_ = true, false;
            av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            if (av_interleaved_write_frame(output_.get(), packet_.get()) < 0) return failed_ = true, false;
        }
    }

    OutputContextPtr output_;
    CodecContextPtr codec_;
    AVStream* stream_;
    int width_, height_;
    FramePtr frame_;
    PacketPtr packet_;
    ScalerPtr scaler_;
    std::int64_t frames_ = 0;
    bool finished_ = false;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<AviVideoWriter> ffmpeg::CreateFfmpegMjpegAviFile(const std::string& path, int width, int height,
                                                                 int framesPerSecond, std::string& error) {
    SilenceLibraryLog();
    if (width <= 0 || height <= 0 || width % 2 || height % 2 || framesPerSecond <= 0) {
        error = "unsupported frame size or rate";
        return nullptr;
    }
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!encoder) {
        error = "no Motion-JPEG encoder";
        return nullptr;
    }
    AVFormatContext* raw = nullptr;
    if (const int code = avformat_alloc_output_context2(&raw, nullptr, "avi", path.c_str()); code < 0 || !raw) {
        error = ErrorText(code);
        return nullptr;
    }
    OutputContextPtr output(raw);
    CodecContextPtr codec(avcodec_alloc_context3(encoder));
    AVStream* stream = avformat_new_stream(output.get(), nullptr);
    if (!codec || !stream) {
        error = "out of memory";
        return nullptr;
    }
    codec->width = width;
    codec->height = height;
    codec->pix_fmt = AV_PIX_FMT_YUVJ420P;
    codec->time_base = AVRational{1, framesPerSecond};
    codec->framerate = AVRational{framesPerSecond, 1};
    // A fixed quantiser: good pictures at a size that still streams from disk.
    codec->flags |= AV_CODEC_FLAG_QSCALE;
    codec->global_quality = FF_QP2LAMBDA * 3;
    if (output->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (const int code = avcodec_open2(codec.get(), encoder, nullptr); code < 0) {
        error = ErrorText(code);
        return nullptr;
    }
    avcodec_parameters_from_context(stream->codecpar, codec.get());
    stream->time_base = codec->time_base;
    if (const int code = avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE); code < 0) {
        error = ErrorText(code);
        return nullptr;
    }
    if (const int code = avformat_write_header(output.get(), nullptr); code < 0) {
        error = ErrorText(code);
        return nullptr;
    }
    auto writer = std::make_unique<FfmpegAviWriter>(std::move(output), std::move(codec), stream, width, height);
    if (!writer->Ready(error)) return nullptr;
    return writer;
}

}  // namespace kadivo
