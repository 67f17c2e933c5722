#include "FfmpegDemuxer.h"
#include "FfmpegFrameIndex.h"
#include "FfmpegFrameRows.h"

namespace kadivo::ffmpeg {
namespace {

// Delivers frame n as the n-th picture of the stream in display order, whatever the codec's
// delay and reordering: it seeks to the keyframe the index names, decodes forward, and keeps
// the picture whose stamp (or packet number) is frame n's. Stepping on decodes only what lies
// between; the end of the stream is drained so that its last pictures come out.
class DisplayOrderDecoder final : public AviFrameDecoder {
public:
    DisplayOrderDecoder(std::shared_ptr<Demuxer> demuxer, int streamIndex, CodecContextPtr codec)
        : demuxer_(std::move(demuxer)), streamIndex_(streamIndex), index_(*demuxer_->indexes[static_cast<std::size_t>(streamIndex)]),
          codec_(std::move(codec)), newest_(av_frame_alloc()), incoming_(av_frame_alloc()), packet_(av_packet_alloc()),
          format_(DeliveredFormat(demuxer_->Stream(streamIndex))) {
        for (unsigned s = 0; s < demuxer_->context->nb_streams; ++s)
            demuxer_->context->streams[s]->discard = static_cast<int>(s) == streamIndex_ ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }

    bool Usable() const { return newest_ && incoming_ && packet_; }

    bool GetFrame(int position, BitmapFormat& format, std::uint8_t* rows) override {
        if (position < 0 || position >= index_.frameCount()) return false;
        if (shown_ != position) {
            if (!(started_ && shown_ < position && NearEnough(position))) SeekFor(position);
            while (shown_ < position && DecodeNext()) {
            }
            if (shown_ != position) return false;
        }
        if (!WriteBitmapRows(*newest_, format_, rows, converter_)) return false;
        format = format_;
        return true;
    }

private:
    // Decoding on is quicker than a seek while the target's keyframe has been shown already or
    // comes next.
    bool NearEnough(int target) const {
        const FrameIndex::Keyframe& key = index_.keyframes[static_cast<std::size_t>(index_.keyframeOf[static_cast<std::size_t>(target)])];
        return key.frame <= shown_ + 1;
    }

    void SeekFor(int target) {
        const FrameIndex::Keyframe& key = index_.keyframes[static_cast<std::size_t>(index_.keyframeOf[static_cast<std::size_t>(target)])];
        Restart();
        av_seek_frame(demuxer_->context.get(), streamIndex_, key.seekStamp, AVSEEK_FLAG_BACKWARD);
        // A demuxer that lands before the keyframe is read on to it (reading is cheap, decoding
        // is not); one that lands past it gets decoded from the start instead.
        if (!TakeKeyPacketAt(key.position)) {
            Restart();
            Rewind(demuxer_->context.get());
            TakeKeyPacketAt(-1);
        }
    }

    void Restart() {
        avcodec_flush_buffers(codec_.get());
        av_frame_unref(newest_.get());
        av_packet_unref(packet_.get());
        shown_ = -1;
        started_ = true;
        pending_ = drainSent_ = ended_ = false;
    }

    // Reads on to the keyframe packet at byte `position` (the first keyframe for −1), kept to be
    // sent first; false when it is not ahead. Packets are numbered on from that keyframe's number.
    bool TakeKeyPacketAt(std::int64_t position) {
        while (av_read_frame(demuxer_->context.get(), packet_.get()) >= 0) {
            if (IsFramePacket(*packet_) && (packet_->flags & AV_PKT_FLAG_KEY)) {
                if (position >= 0 && packet_->pos > position) break;
                if (position < 0 || packet_->pos == position) {
                    pending_ = true;
                    const int key = index_.KeyframeAt(packet_->pos);
                    nextPacket_ = key >= 0 ? index_.keyframes[static_cast<std::size_t>(key)].packet : 0;
                    return true;
                }
            }
            av_packet_unref(packet_.get());
        }
        av_packet_unref(packet_.get());
        return false;
    }

    bool IsFramePacket(const AVPacket& packet) const {
        return packet.stream_index == streamIndex_ && packet.size > 0 && !(packet.flags & AV_PKT_FLAG_DISCARD);
    }

    // Takes the next picture out of the decoder as the newest; false at the end of the stream.
    bool DecodeNext() {
        for (;;) {
            const int received = avcodec_receive_frame(codec_.get(), incoming_.get());
            if (received == 0) {
                const int frame = index_.FrameOf(index_.numbering == FrameIndex::Numbering::Stamps ? incoming_->best_effort_timestamp
                                                                                                    : incoming_->pts);
                if (frame < 0) {  // a picture the index does not know
                    av_frame_unref(incoming_.get());
                    continue;
                }
                av_frame_unref(newest_.get());
                av_frame_move_ref(newest_.get(), incoming_.get());
                shown_ = frame;
                return true;
            }
            if (received == AVERROR_EOF || drainSent_ || ended_) {
                ended_ = true;
                return false;
            }
            if (!pending_ && av_read_frame(demuxer_->context.get(), packet_.get()) < 0) {
                avcodec_send_packet(codec_.get(), nullptr);
                drainSent_ = true;
                continue;
            }
            pending_ = false;
            if (IsFramePacket(*packet_)) {
                if (index_.numbering == FrameIndex::Numbering::PacketOrder) packet_->pts = nextPacket_++;
                avcodec_send_packet(codec_.get(), packet_.get());
            }
            av_packet_unref(packet_.get());
        }
    }

    std::shared_ptr<Demuxer> demuxer_;
    int streamIndex_;
    const FrameIndex& index_;
    CodecContextPtr codec_;
    FramePtr newest_, incoming_;
    PacketPtr packet_;
    PictureConverter converter_;
    BitmapFormat format_;
    int shown_ = -1;  // the frame the newest picture is
    bool started_ = false, pending_ = false, drainSent_ = false, ended_ = false;
    int nextPacket_ = 0;  // the number the next packet sent gets
};

}  // namespace

std::unique_ptr<AviFrameDecoder> OpenDisplayOrderDecoder(std::shared_ptr<Demuxer> demuxer, int streamIndex, CodecContextPtr codec) {
    auto decoder = std::make_unique<DisplayOrderDecoder>(std::move(demuxer), streamIndex, std::move(codec));
    if (!decoder->Usable()) return nullptr;
    return decoder;
}

}  // namespace kadivo::ffmpeg
