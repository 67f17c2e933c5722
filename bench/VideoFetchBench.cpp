// Frame fetching through VideoSource against a plain FFmpeg loop on the same file, both
// delivering bottom-up 24-bit rows: every frame in order, and 200 frames in random order (the
// plain loop seeks to the keyframe at or before each frame and decodes on). Once on the
// 720 x 576 MJPEG test file, once on a 720 x 576 H.264 file with B-frames and a keyframe every
// 50 frames made here; then the cost of indexing H.264 when a file opens, also at 1080p.

#include "CodedVideoWriter.h"
#include "FieldSplitting.h"
#include "HeadlessPrompts.h"
#include "VideoSource.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 7;
constexpr int kRandomFetches = 200;

const std::string kMjpegFile = std::string(KADIVO_SHARED_DIR) + "/testdata/video/mjpeg_720x576_25fps_100f.avi";

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The plain loop: demuxer, decoder and converter, nothing else.
class PlainDecoder {
public:
    explicit PlainDecoder(const std::string& path) {
        if (avformat_open_input(&format_, path.c_str(), nullptr, nullptr) < 0 || avformat_find_stream_info(format_, nullptr) < 0)
            throw std::runtime_error("cannot open " + path);
        stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        const AVCodecParameters* parameters = format_->streams[stream_]->codecpar;
        codec_ = avcodec_alloc_context3(avcodec_find_decoder(parameters->codec_id));
        avcodec_parameters_to_context(codec_, parameters);
        avcodec_open2(codec_, avcodec_find_decoder(parameters->codec_id), nullptr);
        width_ = parameters->width;
        height_ = parameters->height;
        stride_ = (width_ * 3 + 3) & ~3;
        rows_.resize(static_cast<std::size_t>(stride_ * height_));
        frame_ = av_frame_alloc();
        packet_ = av_packet_alloc();
        // Frame n's stamp: the n-th smallest presentation stamp (the decode stamp without one).
        while (av_read_frame(format_, packet_) >= 0) {
            if (packet_->stream_index == stream_) stamps_.push_back(packet_->pts != AV_NOPTS_VALUE ? packet_->pts : packet_->dts);
            av_packet_unref(packet_);
        }
        std::sort(stamps_.begin(), stamps_.end());
        av_seek_frame(format_, stream_, stamps_.empty() ? 0 : stamps_.front(), AVSEEK_FLAG_BACKWARD);
    }
    ~PlainDecoder() {
        sws_freeContext(scaler_);
        av_packet_free(&packet_);
        av_frame_free(&frame_);
        avcodec_free_context(&codec_);
        avformat_close_input(&format_);
    }
    int FrameCount() const { return static_cast<int>(stamps_.size()); }

    // Decodes on to frame `frame` and converts it; false at the end.
    bool DecodeUntil(int frame, bool convert = true) {
        const std::int64_t target = stamps_[static_cast<std::size_t>(frame)];
        for (;;) {
            if (avcodec_receive_frame(codec_, frame_) == 0) {
                if (frame_->best_effort_timestamp < target) continue;
                if (convert) Convert();
                return true;
            }
            if (drained_) return false;
            if (av_read_frame(format_, packet_) < 0) {
                avcodec_send_packet(codec_, nullptr);
                drained_ = true;
                continue;
            }
            if (packet_->stream_index == stream_) avcodec_send_packet(codec_, packet_);
            av_packet_unref(packet_);
        }
    }
    void SeekBefore(int frame) {
        av_seek_frame(format_, stream_, stamps_[static_cast<std::size_t>(frame)], AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(codec_);
        drained_ = false;
    }

private:
    void Convert() {
        scaler_ = sws_getCachedContext(scaler_, frame_->width, frame_->height, static_cast<AVPixelFormat>(frame_->format), width_,
                                       height_, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
        std::uint8_t* planes[4] = {rows_.data() + static_cast<std::ptrdiff_t>(height_ - 1) * stride_, nullptr, nullptr, nullptr};
        const int strides[4] = {-stride_, 0, 0, 0};
        sws_scale(scaler_, frame_->data, frame_->linesize, 0, frame_->height, planes, strides);
    }

    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* scaler_ = nullptr;
    int stream_ = -1, width_ = 0, height_ = 0, stride_ = 0;
    bool drained_ = false;
    std::vector<std::uint8_t> rows_;
    std::vector<std::int64_t> stamps_;
};

struct Source {
    kadivo::HeadlessPrompts ui;
    kadivo::VideoSource video{ui};
    Source(const std::string& file, int imageType) {
        std::string name = file;
        if (!video.Open(name, "", 0, 0)) throw std::runtime_error("cannot open " + file);
        video.SetImageOptions(imageType, video.FirstField());
    }
};

template <typename Run>
double Best(Run run) {
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round) best = std::min(best, run());
    return best;
}

void Report(const char* what, double kadivo, const char* peerName, double peer, const char* remark) {
    std::printf("%-30s kadivo %7.3f ms   %-22s %7.3f ms   ratio %5.2f %s\n", what, kadivo, peerName, peer, kadivo / peer, remark);
}

// Sequential and random fetching of one file, beside the plain loop.
void CompareFetching(const std::string& file, const char* description, bool fields) {
    std::vector<int> randomFrames(kRandomFetches);
    std::mt19937 random(11);
    const int frames = PlainDecoder(file).FrameCount();
    for (int& frame : randomFrames) frame = static_cast<int>(random() % static_cast<unsigned>(frames));
    std::printf("%s: %d frames of %s, best of %d rounds\n", file.c_str(), frames, description, kRounds);

    const double sequential = Best([&] {
        Source source(file, kadivo::kImageNormal);
        const auto start = Clock::now();
        for (int frame = 0; frame < frames; ++frame) source.video.FetchFrame(frame, false);
        return Since(start) / frames * 1e3;
    });
    const double plainSequential = Best([&] {
        PlainDecoder plain(file);
        const auto start = Clock::now();
        for (int frame = 0; frame < frames; ++frame) plain.DecodeUntil(frame);
        return Since(start) / frames * 1e3;
    });
    const double decodeOnly = Best([&] {
        PlainDecoder plain(file);
        const auto start = Clock::now();
        for (int frame = 0; frame < frames; ++frame) plain.DecodeUntil(frame, false);
        return Since(start) / frames * 1e3;
    });
    const double randomFetch = Best([&] {
        Source source(file, kadivo::kImageNormal);
        const auto start = Clock::now();
        for (int frame : randomFrames) source.video.FetchFrame(frame, true);
        return Since(start) / kRandomFetches * 1e3;
    });
    const double plainRandom = Best([&] {
        PlainDecoder plain(file);
        const auto start = Clock::now();
        for (int frame : randomFrames) {
            plain.SeekBefore(frame);
            plain.DecodeUntil(frame);
        }
        return Since(start) / kRandomFetches * 1e3;
    });
    Report("sequential fetch per frame", sequential, "decode + convert", plainSequential, "(target <= 1.10)");
    Report("random fetch", randomFetch, "keyframe seek + decode", plainRandom, "(target <= 1.00)");
    if (fields) {
        const double both = Best([&] {
            Source source(file, kadivo::kImageInterlaced);
            const auto start = Clock::now();
            for (int field = 0; field < 2 * frames; ++field) source.video.FetchFrame(field, false);
            return Since(start) / frames * 1e3;
        });
        Report("both fields, per stored frame", both, "decode + convert", plainSequential,
               "(as the file opens: two field images built per decoded frame)");
    }
    std::printf("(decoding alone, without the conversion to 24-bit rows: %.3f ms per frame)\n", decodeOnly);
}

// Opening a file indexes its frames: the time per frame, and per hour of video at 25 frames a
// second.
void ReportIndexing(const std::string& file, const char* description) {
    const int frames = PlainDecoder(file).FrameCount();
    const double open = Best([&] {
        const auto start = Clock::now();
        Source source(file, kadivo::kImageNormal);
        return Since(start);
    });
    std::printf("opening %s (%d frames): %.3f ms, %.1f us a frame, %.1f s an hour at 25 fps\n", description, frames, open * 1e3,
                open / frames * 1e6, open / frames * 25 * 3600);
}

std::string MakeH264(const std::filesystem::path& folder, int width, int height, int frames) {
    kadivo::test::CodedVideo spec;
    spec.path = (folder / ("h264_" + std::to_string(height) + ".mp4")).string();
    spec.width = width;
    spec.height = height;
    spec.frames = frames;
    spec.keyInterval = 50;
    spec.bFrames = 2;
    spec.privateOptionName = "x264-params";
    spec.privateOptions = "keyint=50:min-keyint=50:scenecut=0:bframes=2";
    const std::string error = kadivo::test::WriteCodedVideo(spec);
    if (!error.empty()) throw std::runtime_error("cannot make the H.264 file: " + error);
    return spec.path;
}

}  // namespace

int main() {
    av_log_set_level(AV_LOG_QUIET);
    CompareFetching(kMjpegFile, "720 x 576 MJPEG", true);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kadivo-video-bench";
    std::filesystem::create_directories(folder);
    const std::string h264 = MakeH264(folder, 720, 576, 250);
    CompareFetching(h264, "720 x 576 H.264, B-frames, a keyframe every 50", false);
    ReportIndexing(h264, "720 x 576 H.264");
    ReportIndexing(MakeH264(folder, 1920, 1080, 150), "1920 x 1080 H.264");
    std::filesystem::remove_all(folder);
    return 0;
}
