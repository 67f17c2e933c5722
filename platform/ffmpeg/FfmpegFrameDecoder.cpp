#include "FfmpegDemuxer.h"
#include "FfmpegFrameRows.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <cstring>
#include <optional>
#include <set>

namespace kadivo::ffmpeg {
namespace {

// Delivers frames by position. Stepping on decodes only what lies between; any other jump
// seeks to the last keyframe at or before the frame and decodes from there. The decoder
// keeps the two newest frames, so that a stored frame without picture (a dropped frame)
// shows the one before it, as players do.
class FfmpegFrameDecoder final : public AviFrameDecoder {
public:
    FfmpegFrameDecoder(std::shared_ptr<Demuxer> demuxer, int streamIndex, CodecContextPtr codec)
        : demuxer_(std::move(demuxer)), streamIndex_(streamIndex), stream_(demuxer_->Stream(streamIndex)),
          codec_(std::move(codec)), newest_(av_frame_alloc()), previous_(av_frame_alloc()), incoming_(av_frame_alloc()),
          packet_(av_packet_alloc()), format_(DeliveredFormat(stream_)), start_(Demuxer::StartOf(stream_)),
          length_(demuxer_->frameCounts[static_cast<std::size_t>(streamIndex)]) {
        // Only this stream's packets are wanted from the file.
        for (unsigned s = 0; s < demuxer_->context->nb_streams; ++s)
            demuxer_->context->streams[s]->discard = static_cast<int>(s) == streamIndex_ ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }

    bool Usable() const { return newest_ && previous_ && incoming_ && packet_; }

    bool GetFrame(int position, BitmapFormat& format, std::uint8_t* rows) override {
        const std::int64_t target = position;
        if (target < start_ || target >= start_ + length_) return false;
        if (!ReachableByDecodingOn(target)) Seek(target);
        while (newestStamp_ == AV_NOPTS_VALUE || newestStamp_ < target) {
            if (!DecodeNext()) break;
        }
        const AVFrame* picture = PictureFor(target);
        if (!picture || !WriteBitmapRows(*picture, format_, rows, converter_)) return false;
        format = format_;
        return true;
    }

private:
    bool ReachableByDecodingOn(std::int64_t target) const {
        if (endOfStream_ || newestStamp_ == AV_NOPTS_VALUE) return false;
        if (PictureFor(target)) return true;
        if (newestStamp_ > target) return false;
        const std::optional<std::int64_t> key = IndexedKeyframeAtOrBefore(target);
        return !key || *key <= newestStamp_;
    }

    // The stamp of the index's last keyframe at or before `target`, if the index has one.
    std::optional<std::int64_t> IndexedKeyframeAtOrBefore(std::int64_t target) const {
        const int entry = av_index_search_timestamp(stream_, target, AVSEEK_FLAG_BACKWARD);
        if (entry < 0) return std::nullopt;
        const AVIndexEntry* key = avformat_index_get_entry(stream_, entry);
        if (!key) return std::nullopt;
        return key->timestamp;
    }

    // The picture shown for `target` among the frames at hand, or null.
    const AVFrame* PictureFor(std::int64_t target) const {
        if (newestStamp_ == target) return newest_.get();
        const bool dropped = previousStamp_ != AV_NOPTS_VALUE && previousStamp_ < target && target < newestStamp_;
        if (dropped && !undecodable_.contains(target)) return previous_.get();
        return nullptr;
    }

    void Seek(std::int64_t target) {
        const std::int64_t key = IndexedKeyframeAtOrBefore(target).value_or(start_);
        if (av_seek_frame(demuxer_->context.get(), streamIndex_, key, AVSEEK_FLAG_BACKWARD) < 0)
            av_seek_frame(demuxer_->context.get(), streamIndex_, key, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
        avcodec_flush_buffers(codec_.get());
        av_frame_unref(newest_.get());
        av_frame_unref(previous_.get());
        newestStamp_ = previousStamp_ = AV_NOPTS_VALUE;
        endOfStream_ = drainSent_ = false;
    }

    // Moves the next decoded frame in as the newest; false at the end of the stream.
    // Every pass of the loop either returns or consumes a packet, so it ends.
    bool DecodeNext() {
        for (;;) {
            const int received = avcodec_receive_frame(codec_.get(), incoming_.get());
            if (received == 0) {
                Accept();
                return true;
            }
            if (received == AVERROR_EOF || drainSent_) {
                endOfStream_ = true;
                return false;
            }
            if (av_read_frame(demuxer_->context.get(), packet_.get()) < 0) {
                avcodec_send_packet(codec_.get(), nullptr);
                drainSent_ = true;
                continue;
            }
            if (packet_->stream_index == streamIndex_ && packet_->size > 0) {
                TakePaletteChange(*packet_);
                if (avcodec_send_packet(codec_.get(), packet_.get()) < 0 && packet_->dts != AV_NOPTS_VALUE)
                    undecodable_.insert(packet_->dts);
            }
            av_packet_unref(packet_.get());
        }
    }

    // The file's palette comes with the stream's format; changes come with packets. (The
    // demuxer hands the opening palette only to the first packet read, which a seek may skip.)
    void TakePaletteChange(const AVPacket& packet) {
        std::size_t size = 0;
        const std::uint8_t* data = av_packet_get_side_data(&packet, AV_PKT_DATA_PALETTE, &size);
        if (!data || format_.palette.empty()) return;
        // Entries are native 32-bit ARGB values: in memory blue, green, red, alpha.
        for (std::size_t i = 0; i < format_.palette.size() && 4 * i + 4 <= size; ++i) {
            std::memcpy(format_.palette[i].data(), data + 4 * i, 4);
            format_.palette[i][3] = 0;
        }
    }

    void Accept() {
        std::int64_t stamp = incoming_->best_effort_timestamp;
        if (stamp == AV_NOPTS_VALUE) stamp = newestStamp_ == AV_NOPTS_VALUE ? start_ : newestStamp_ + 1;
        av_frame_unref(previous_.get());
        av_frame_move_ref(previous_.get(), newest_.get());
        av_frame_move_ref(newest_.get(), incoming_.get());
        previousStamp_ = newestStamp_;
        newestStamp_ = stamp;
    }

    std::shared_ptr<Demuxer> demuxer_;
    int streamIndex_;
    AVStream* stream_;
    CodecContextPtr codec_;
    FramePtr newest_, previous_, incoming_;
    PacketPtr packet_;
    PictureConverter converter_;
    BitmapFormat format_;
    std::int64_t start_;
    int length_;
    std::int64_t newestStamp_ = AV_NOPTS_VALUE, previousStamp_ = AV_NOPTS_VALUE;
    bool endOfStream_ = false, drainSent_ = false;
    std::set<std::int64_t> undecodable_;
};

}  // namespace

std::unique_ptr<AviFrameDecoder> OpenFfmpegFrameDecoder(std::shared_ptr<Demuxer> demuxer, int streamIndex) {
    const AVStream* stream = demuxer->Stream(streamIndex);
    if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO || !FrameSizeInRange(DeliveredFormat(stream))) return nullptr;
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return nullptr;
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0) return nullptr;
    context->pkt_timebase = stream->time_base;
    if (avcodec_open2(context.get(), codec, nullptr) < 0) return nullptr;
    if (demuxer->indexes[static_cast<std::size_t>(streamIndex)])
        return OpenDisplayOrderDecoder(std::move(demuxer), streamIndex, std::move(context));
    auto decoder = std::make_unique<FfmpegFrameDecoder>(std::move(demuxer), streamIndex, std::move(context));
    if (!decoder->Usable()) return nullptr;
    return decoder;
}

}  // namespace kadivo::ffmpeg
