#include "AviWriter.h"

#include "FfmpegHandles.h"
#include "FfmpegModule.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kadivo {
namespace {

using namespace ffmpeg;

// Frees the output's I/O context: FFmpeg's own file, or the reserved file's context.
bool CloseOutput(AVFormatContext* context) {
    if (!context->pb) return true;
    if (!(context->flags & AVFMT_FLAG_CUSTOM_IO)) return avio_closep(&context->pb) >= 0;
    avio_flush(context->pb);
    const bool written = context->pb->error >= 0;
    av_freep(&context->pb->buffer);
    avio_context_free(&context->pb);
    return written;
}

struct OutputContextCloser {
    void operator()(AVFormatContext* context) const {
        CloseOutput(context);
        avformat_free_context(context);
    }
};
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextCloser>;

// A file written over the space reserved for it: opened without truncation, written where
// the muxer seeks, and cut after the furthest byte written when closed.
class ReservedFile {
public:
    ~ReservedFile() {
        if (fd_ >= 0) ::close(fd_);
    }

    bool Open(const std::string& path, std::string& error) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) error = path + ": " + std::strerror(errno);
        return fd_ >= 0;
    }

    // The I/O context over the file, for the output; null when out of memory.
    AVIOContext* Context() {
        constexpr int kBufferSize = 1 << 16;
        auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
        if (!buffer) return nullptr;
        AVIOContext* context = avio_alloc_context(buffer, kBufferSize, 1, this, nullptr, &Write, &Seek);
        if (!context) av_free(buffer);
        return context;
    }

    // Cuts the file after what was written and closes it; false with nothing more to say
    // than that it failed.
    bool Close() {
        const bool cut = ::ftruncate(fd_, end_) == 0;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return cut && closed;
    }

private:
    static int Write(void* opaque, std::uint8_t* data, int size) {
        auto* file = static_cast<ReservedFile*>(opaque);
        for (int done = 0; done < size;) {
            const ssize_t wrote = ::pwrite(file->fd_, data + done, static_cast<std::size_t>(size - done), file->position_ + done);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) return AVERROR(wrote < 0 ? errno : EIO);
            done += static_cast<int>(wrote);
        }
        file->position_ += size;
        file->end_ = std::max(file->end_, file->position_);
        return size;
    }

    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
        auto* file = static_cast<ReservedFile*>(opaque);
        switch (whence & ~AVSEEK_FORCE) {
            case AVSEEK_SIZE: return file->end_;
            case SEEK_SET: file->position_ = offset; break;
            case SEEK_CUR: file->position_ += offset; break;
            case SEEK_END: file->position_ = file->end_ + offset; break;
            default: return AVERROR(EINVAL);
        }
        return file->position_;
    }

    int fd_ = -1;
    off_t position_ = 0;
    off_t end_ = 0;
};

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

class FfmpegAviWriter final : public AviVideoWriter {
public:
    FfmpegAviWriter(std::unique_ptr<ReservedFile> reserved, OutputContextPtr output, CodecContextPtr codec, AVStream* stream,
                    int width, int height)
        : reserved_(std::move(reserved)), output_(std::move(output)), codec_(std::move(codec)), stream_(stream),
          width_(width), height_(height),
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
        if (!CloseOutput(output_.get())) failed_ = true;
        if (reserved_ && !reserved_->Close()) failed_ = true;
        return !failed_;
    }

    int FramesWritten() const override { return static_cast<int>(frames_); }

    int WriteHeader() {
        const int code = avformat_write_header(output_.get(), nullptr);
        if (code < 0) failed_ = finished_ = true;
        return code;
    }

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

    std::unique_ptr<ReservedFile> reserved_;  // declared first: the output writes into it until freed
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
                                                                 int framesPerSecond, AviFileSpace space,
                                                                 std::string& error) {
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
    std::unique_ptr<ReservedFile> reserved;
    if (space == AviFileSpace::Reserved) {
        reserved = std::make_unique<ReservedFile>();
        if (!reserved->Open(path, error)) return nullptr;
        output->pb = reserved->Context();
        if (!output->pb) {
            error = "out of memory";
            return nullptr;
        }
        output->flags |= AVFMT_FLAG_CUSTOM_IO;
    } else if (const int code = avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE); code < 0) {
        error = ErrorText(code);
        return nullptr;
    }
    auto writer =
        std::make_unique<FfmpegAviWriter>(std::move(reserved), std::move(output), std::move(codec), stream, width, height);
    if (const int code = writer->WriteHeader(); code < 0) {
        error = ErrorText(code);
        return nullptr;
    }
    if (!writer->Ready(error)) return nullptr;
    return writer;
}

}  // namespace kadivo
