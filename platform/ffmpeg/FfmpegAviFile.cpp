#include "FfmpegDemuxer.h"
#include "FfmpegModule.h"
#include "StampArithmetic.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <mutex>
#include <numeric>
#include <string>

namespace kadivo {
namespace ffmpeg {
namespace {

// Larger frames are refused: they would not fit the buffers the program keeps per view.
constexpr int kMaxFrameSide = 16384;
constexpr std::size_t kMaxFrameBytes = std::size_t{1} << 28;
// Frame counts beyond this are refused, so that counts of fields (four per frame) stay in range.
constexpr int kMaxFrameCount = 1 << 28;

std::uint32_t StreamType(AVMediaType type) {
    switch (type) {
        case AVMEDIA_TYPE_VIDEO: return kStreamTypeVideo;
        case AVMEDIA_TYPE_AUDIO: return kStreamTypeAudio;
        case AVMEDIA_TYPE_SUBTITLE: return kStreamTypeText;
        default: return kStreamTypeOther;
    }
}

// The frames an AVI stream's index lists, from the first frame's timestamp on, when the index
// reaches at least as far as the header's count: a header can claim too few frames, and the
// index says where every frame is. Nothing when the index is missing, falls short of the header
// (a cut file, or a header claiming too many) or points past the end of the file: the file is
// then counted by reading it.
std::optional<std::int64_t> IndexedFrames(AVFormatContext* context, const AVStream* stream) {
    const int entries = avformat_index_get_entries_count(stream);
    if (entries <= 0) return std::nullopt;
    const AVIndexEntry* last = avformat_index_get_entry(const_cast<AVStream*>(stream), entries - 1);
    const std::int64_t size = context->pb ? avio_size(context->pb) : -1;
    if (!last || (size >= 0 && last->pos >= size)) return std::nullopt;
    const std::optional<std::int64_t> frames = FramesFromStamps(Demuxer::StartOf(stream), last->timestamp);
    if (!frames || stream->nb_frames <= 0 || *frames < stream->nb_frames) return std::nullopt;
    return frames;
}

int ClampCount(std::int64_t count) { return static_cast<int>(std::clamp<std::int64_t>(count, 0, kMaxFrameCount)); }

// Files without a whole index (cut short, or written without one) are read once from end to
// end, so that every stream's frame count is what is really there.
void CountFrames(Demuxer& demuxer) {
    AVFormatContext* context = demuxer.context.get();
    demuxer.frameCounts.assign(context->nb_streams, 0);
    std::vector<bool> indexed(context->nb_streams);
    for (unsigned s = 0; s < context->nb_streams; ++s) {
        const std::optional<std::int64_t> frames = IndexedFrames(context, context->streams[s]);
        indexed[s] = frames.has_value();
        if (frames) demuxer.frameCounts[s] = ClampCount(*frames);
    }
    if (std::all_of(indexed.begin(), indexed.end(), [](bool covered) { return covered; })) return;

    std::vector<std::int64_t> lastStamp(context->nb_streams, INT64_MIN);
    PacketPtr packet(av_packet_alloc());
    if (!packet) return;
    while (av_read_frame(context, packet.get()) >= 0) {
        const auto s = static_cast<unsigned>(packet->stream_index);
        if (s < lastStamp.size() && packet->size > 0 && packet->dts != AV_NOPTS_VALUE)
            lastStamp[s] = std::max(lastStamp[s], packet->dts);
        av_packet_unref(packet.get());
    }
    for (unsigned s = 0; s < context->nb_streams; ++s) {
        if (!indexed[s] && lastStamp[s] != INT64_MIN)
            if (const auto frames = FramesFromStamps(Demuxer::StartOf(context->streams[s]), lastStamp[s]))
                demuxer.frameCounts[s] = ClampCount(*frames);
    }
}

// The mean interval of an index as a fraction scale / rate of seconds, both within 32 bits.
void SetPeriod(const FrameIndex& index, AVRational base, AviStreamInfo& info) {
    std::int64_t span = 0, scale = 0, rate = 0;
    if (__builtin_sub_overflow(index.stamps.back(), index.stamps.front(), &span) ||
        __builtin_mul_overflow(span, static_cast<std::int64_t>(base.num), &scale) ||
        __builtin_mul_overflow(static_cast<std::int64_t>(index.frameCount() - 1), static_cast<std::int64_t>(base.den), &rate))
        return;
    if (scale <= 0 || rate <= 0) return;
    const std::int64_t common = std::gcd(scale, rate);
    scale /= common;
    rate /= common;
    while (scale > UINT32_MAX || rate > UINT32_MAX) {
        scale = (scale + 1) / 2;
        rate = (rate + 1) / 2;
    }
    info.scale = static_cast<std::uint32_t>(std::max<std::int64_t>(scale, 1));
    info.rate = static_cast<std::uint32_t>(rate);
}

class FfmpegAviStream final : public AviStream {
public:
    FfmpegAviStream(std::shared_ptr<Demuxer> demuxer, int index) : demuxer_(std::move(demuxer)), index_(index) {}

    AviStreamInfo Info() const override {
        const AVStream* stream = demuxer_->Stream(index_);
        AviStreamInfo info;
        info.type = StreamType(stream->codecpar->codec_type);
        info.handler = stream->codecpar->codec_tag;
        info.scale = static_cast<std::uint32_t>(std::max(stream->time_base.num, 1));
        info.rate = static_cast<std::uint32_t>(std::max(stream->time_base.den, 0));
        info.start = Start();
        info.length = Length();
        if (const FrameIndex* frames = Index(); frames && frames->meanInterval > 0.0) {
            SetPeriod(*frames, stream->time_base, info);
            info.shortestInterval = frames->shortestInterval;
            info.longestInterval = frames->longestInterval;
            info.variableRate = frames->VariableRate();
        }
        return info;
    }
    BitmapFormat ReadFormat() const override { return DeliveredFormat(demuxer_->Stream(index_)); }
    int Length() const override {
        if (const FrameIndex* frames = Index()) return frames->frameCount();
        return demuxer_->frameCounts[static_cast<std::size_t>(index_)];
    }
    // Indexed streams count their frames from 0.
    int Start() const override {
        if (Index()) return 0;
        return static_cast<int>(std::min<std::int64_t>(Demuxer::StartOf(demuxer_->Stream(index_)), INT_MAX));
    }
    std::unique_ptr<AviFrameDecoder> OpenFrameDecoder() override { return OpenFfmpegFrameDecoder(demuxer_, index_); }

private:
    const FrameIndex* Index() const {
        const std::optional<FrameIndex>& index = demuxer_->indexes[static_cast<std::size_t>(index_)];
        return index ? &*index : nullptr;
    }

    std::shared_ptr<Demuxer> demuxer_;
    int index_;
};

// Containers whose "video" is not a film: text shown as pictures, still images.
bool IsVideoContainer(const AVInputFormat* format) {
    const std::string name = format && format->name ? format->name : "";
    return name != "tty" && name.rfind("image2", 0) != 0 && name.find("_pipe") == std::string::npos;
}

// Display-order indexes for the video streams that are not addressed by AVI frame numbers.
void IndexStreams(Demuxer& demuxer, bool avi) {
    AVFormatContext* context = demuxer.context.get();
    demuxer.indexes.assign(context->nb_streams, std::nullopt);
    for (unsigned s = 0; s < context->nb_streams; ++s) {
        const AVCodecParameters* parameters = context->streams[s]->codecpar;
        if (parameters->codec_type != AVMEDIA_TYPE_VIDEO) continue;
        const bool reorders = parameters->video_delay > 0;
        if (avi && !reorders) continue;
        demuxer.indexes[s] = BuildFrameIndex(context, static_cast<int>(s), reorders);
    }
}

class FfmpegAviFile final : public AviFile {
public:
    explicit FfmpegAviFile(std::shared_ptr<Demuxer> demuxer) : demuxer_(std::move(demuxer)) {}

    AviFileInfo Info() const override {
        AviFileInfo info;
        const AVFormatContext* context = demuxer_->context.get();
        info.streamCount = static_cast<int>(context->nb_streams);
        for (unsigned s = 0; s < context->nb_streams; ++s) {
            const AVStream* stream = context->streams[s];
            if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
            info.scale = static_cast<std::uint32_t>(std::max(stream->time_base.num, 1));
            info.rate = static_cast<std::uint32_t>(std::max(stream->time_base.den, 0));
            break;
        }
        return info;
    }
    std::unique_ptr<AviStream> GetStream(int index) override {
        if (index < 0 || index >= static_cast<int>(demuxer_->context->nb_streams)) return nullptr;
        return std::make_unique<FfmpegAviStream>(demuxer_, index);
    }

private:
    std::shared_ptr<Demuxer> demuxer_;
};

// Containers without four-character codes name the codec by its first four letters ("H264").
std::uint32_t CodecFourCc(AVCodecID codec) {
    const char* name = avcodec_get_name(codec);
    std::uint32_t code = 0;
    for (int i = 0; i < 4 && name && name[i]; ++i)
        code |= static_cast<std::uint32_t>(std::toupper(static_cast<unsigned char>(name[i]))) << (8 * i);
    return code;
}

}  // namespace

std::int64_t Demuxer::StartOf(const AVStream* stream) {
    return stream->start_time == AV_NOPTS_VALUE ? 0 : std::max<std::int64_t>(stream->start_time, 0);
}

BitmapFormat DeliveredFormat(const AVStream* stream) {
    const AVCodecParameters* parameters = stream->codecpar;
    BitmapFormat format;
    BitmapInfoHeader& header = format.header;
    header.width = parameters->width;
    header.height = parameters->height;
    header.compression = parameters->codec_tag != 0 ? parameters->codec_tag : CodecFourCc(parameters->codec_id);
    const bool palettised = parameters->format == AV_PIX_FMT_PAL8;
    header.bitCount = palettised ? 8 : 24;
    if (palettised) {
        // The file's palette follows the stored bitmap header; the decoder hands on the same.
        header.clrUsed = 256;
        format.palette.assign(256, PaletteEntry{});
        const int stored = std::min(parameters->extradata_size / 4, 256);
        for (int i = 0; i < stored; ++i) std::memcpy(format.palette[static_cast<std::size_t>(i)].data(), parameters->extradata + 4 * i, 4);
    }
    const bool sizeInRange = header.width > 0 && header.height > 0 && header.width <= kMaxFrameSide &&
                             header.height <= kMaxFrameSide;
    if (sizeInRange) header.sizeImage = static_cast<std::uint32_t>(BitmapRowStride(header.width, header.bitCount) * header.height);
    return format;
}

bool FrameSizeInRange(const BitmapFormat& format) {
    return format.header.sizeImage > 0 && format.header.sizeImage <= kMaxFrameBytes;
}

}  // namespace ffmpeg

std::unique_ptr<AviFile> ffmpeg::OpenFfmpegAviFile(const std::string& path) {
    ffmpeg::SilenceLibraryLog();
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return nullptr;
    auto demuxer = std::make_shared<ffmpeg::Demuxer>();
    demuxer->context.reset(raw);
    if (!ffmpeg::IsVideoContainer(raw->iformat) || avformat_find_stream_info(raw, nullptr) < 0) return nullptr;
    const bool avi = std::string(raw->iformat->name) == "avi";
    ffmpeg::CountFrames(*demuxer);
    ffmpeg::IndexStreams(*demuxer, avi);
    return std::make_unique<ffmpeg::FfmpegAviFile>(std::move(demuxer));
}

}  // namespace kadivo
