#include "FfmpegHandles.h"
#include "FfmpegModule.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

#include <cmath>

namespace kadivo::ffmpeg {

namespace {

double Seconds(std::int64_t stamp, AVRational base) { return stamp == AV_NOPTS_VALUE ? 0.0 : static_cast<double>(stamp) * av_q2d(base); }

// Sample `i` of channel `c` of a decoded frame as a float in −1..1.
double SampleOf(const AVFrame& frame, int c, int i) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int channels = frame.ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const std::uint8_t* plane = frame.extended_data[planar ? c : 0];
    const int index = planar ? i : i * channels + c;
    switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_U8: return (plane[index] - 128) / 128.0;
        case AV_SAMPLE_FMT_S16: return reinterpret_cast<const std::int16_t*>(plane)[index] / 32768.0;
        case AV_SAMPLE_FMT_S32: return reinterpret_cast<const std::int32_t*>(plane)[index] / 2147483648.0;
        case AV_SAMPLE_FMT_S64: return static_cast<double>(reinterpret_cast<const std::int64_t*>(plane)[index]) / 9.2233720368547758e18;
        case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float*>(plane)[index];
        case AV_SAMPLE_FMT_DBL: return reinterpret_cast<const double*>(plane)[index];
        default: return 0.0;
    }
}

}  // namespace

bool ReadFfmpegAudioTrack(const std::string& path, double maxSeconds, AudioTrack& track, std::string& error) {
    SilenceLibraryLog();
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) {
        error = "the file cannot be opened as a video";
        return false;
    }
    FormatContextPtr context(opened);
    if (avformat_find_stream_info(context.get(), nullptr) < 0) {
        error = "the file's streams cannot be read";
        return false;
    }
    const int audio = av_find_best_stream(context.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (audio < 0) {
        error = "the video has no audio track";
        return false;
    }
    const int video = av_find_best_stream(context.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVStream* stream = context->streams[audio];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    CodecContextPtr decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        error = "no decoder can decode the audio track";
        return false;
    }
    if (decoder->sample_rate <= 0 || decoder->sample_rate > 1000000) {
        error = "the audio track has no usable sample rate";
        return false;
    }
    track.sampleRate = decoder->sample_rate;
    track.samples.clear();
    const double videoStart = video >= 0 ? Seconds(context->streams[video]->start_time, context->streams[video]->time_base) : 0.0;
    const auto wanted = static_cast<std::size_t>(std::ceil(maxSeconds * track.sampleRate));
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    bool first = true;
    const auto drain = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
            if (first) {
                track.startSeconds = Seconds(frame->best_effort_timestamp, stream->time_base) - videoStart;
                first = false;
            }
            const int channels = std::max(1, frame->ch_layout.nb_channels);
            for (int i = 0; i < frame->nb_samples && track.samples.size() < wanted; ++i) {
                double sum = 0;
                for (int c = 0; c < channels; ++c) sum += SampleOf(*frame, c, i);
                track.samples.push_back(static_cast<float>(sum / channels));
            }
        }
    };
    while (track.samples.size() < wanted && av_read_frame(context.get(), packet.get()) >= 0) {
        if (packet->stream_index == audio && avcodec_send_packet(decoder.get(), packet.get()) >= 0) drain();
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    drain();
    if (track.samples.empty()) {
        error = "the audio track holds no sound";
        return false;
    }
    return true;
}

}  // namespace kadivo::ffmpeg
