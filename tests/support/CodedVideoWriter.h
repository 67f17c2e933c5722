#pragma once

// Writes test videos with FFmpeg's encoders: every frame carries its index in the block code
// of the shared test videos (16 squares of 8 × 8 pixels from the top-left corner, least
// significant bit first, white for 1), so any codec and container can be checked frame by
// frame.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace kadivo::test {

struct CodedVideo {
    std::string path;              // the extension chooses the container
    std::string encoder = "libx264";
    int width = 320, height = 240, frames = 48, rate = 25;
    int bFrames = 2, keyInterval = 12;
    std::string privateOptions;    // "key=value:..." for the encoder's own options, as x264-params
    std::string privateOptionName;  // "x264-params", "x265-params", or empty
    // Paints frame `index` into a YUV 4:2:0 picture; the code block of PaintCodedFrame unless set.
    std::function<void(AVFrame&, int)> paint;
    // A mono sound track in 16-bit PCM, samples from −1 to 1; none when empty.
    std::vector<float> audio;
    int audioRate = 48000;
};

// Writes `spec`'s sound as a stream of `output`, packets of 1024 samples; the reason when it fails.
inline std::string WriteAudioStream(AVFormatContext* output, AVStream* stream, const CodedVideo& spec) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
    AVCodecContext* context = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!context) return "no PCM encoder";
    std::string error;
    context->sample_fmt = AV_SAMPLE_FMT_S16;
    context->sample_rate = spec.audioRate;
    context->time_base = {1, spec.audioRate};
    av_channel_layout_default(&context->ch_layout, 1);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    auto drain = [&](AVFrame* input) {
        if (avcodec_send_frame(context, input) < 0) return false;
        while (avcodec_receive_packet(context, packet) == 0) {
            av_packet_rescale_ts(packet, context->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(output, packet) < 0) return false;
        }
        return true;
    };
    if (avcodec_open2(context, codec, nullptr) < 0) error = "the PCM encoder did not open";
    for (std::size_t first = 0; first < spec.audio.size() && error.empty(); first += 1024) {
        const int count = static_cast<int>(std::min<std::size_t>(1024, spec.audio.size() - first));
        av_frame_unref(frame);
        frame->format = AV_SAMPLE_FMT_S16;
        frame->sample_rate = spec.audioRate;
        frame->nb_samples = count;
        av_channel_layout_default(&frame->ch_layout, 1);
        if (av_frame_get_buffer(frame, 0) < 0) error = "no audio frame";
        auto* samples = reinterpret_cast<std::int16_t*>(frame->data[0]);
        for (int i = 0; i < count && error.empty(); ++i)
            samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(spec.audio[first + static_cast<std::size_t>(i)], -1.0f, 1.0f) * 32767));
        frame->pts = static_cast<std::int64_t>(first);
        if (error.empty() && !drain(frame)) error = "audio encoding failed";
    }
    if (error.empty() && !drain(nullptr)) error = "audio encoding failed at the end";
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    return error;
}

// Paints frame `index` into a YUV 4:2:0 picture: grey ground, the code block.
inline void PaintCodedFrame(AVFrame& frame, int index) {
    for (int y = 0; y < frame.height; ++y) std::memset(frame.data[0] + y * frame.linesize[0], 100, static_cast<std::size_t>(frame.width));
    for (int plane = 1; plane < 3; ++plane)
        for (int y = 0; y < frame.height / 2; ++y)
            std::memset(frame.data[plane] + y * frame.linesize[plane], 128, static_cast<std::size_t>(frame.width / 2));
    for (int bit = 0; bit < 16; ++bit) {
        const int left = 8 * (bit % 8), top = 8 * (bit / 8);
        const std::uint8_t value = (index >> bit) & 1 ? 255 : 0;
        for (int y = top; y < top + 8; ++y) std::memset(frame.data[0] + y * frame.linesize[0] + left, value, 8);
    }
}

// Writes the video; the reason when it fails. The encoders' own chatter is silenced.
inline std::string WriteCodedVideo(const CodedVideo& spec) {
    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* output = nullptr;
    if (avformat_alloc_output_context2(&output, nullptr, nullptr, spec.path.c_str()) < 0 || !output) return "no container";
    const AVCodec* codec = avcodec_find_encoder_by_name(spec.encoder.c_str());
    if (!codec) {
        avformat_free_context(output);
        return "no encoder " + spec.encoder;
    }
    AVStream* stream = avformat_new_stream(output, nullptr);
    AVStream* sound = spec.audio.empty() ? nullptr : avformat_new_stream(output, nullptr);
    if (sound) {
        sound->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
        sound->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
        sound->codecpar->format = AV_SAMPLE_FMT_S16;
        sound->codecpar->sample_rate = spec.audioRate;
        sound->codecpar->bits_per_coded_sample = 16;
        sound->codecpar->block_align = 2;
        sound->codecpar->bit_rate = 16LL * spec.audioRate;
        av_channel_layout_default(&sound->codecpar->ch_layout, 1);
        sound->time_base = {1, spec.audioRate};
    }
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->width = spec.width;
    context->height = spec.height;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = {1, spec.rate};
    context->framerate = {spec.rate, 1};
    context->gop_size = spec.keyInterval;
    context->max_b_frames = spec.bFrames;
    if (output->oformat->flags & AVFMT_GLOBALHEADER) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (!spec.privateOptionName.empty()) av_opt_set(context->priv_data, spec.privateOptionName.c_str(), spec.privateOptions.c_str(), 0);
    std::string error;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    auto drain = [&](AVFrame* input) {
        if (avcodec_send_frame(context, input) < 0) return false;
        while (avcodec_receive_packet(context, packet) == 0) {
            packet->duration = 1;  // so that the container shows the last frame for as long as the others
            av_packet_rescale_ts(packet, context->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(output, packet) < 0) return false;
        }
        return true;
    };
    if (avcodec_open2(context, codec, nullptr) < 0) error = "encoder did not open";
    else if (avcodec_parameters_from_context(stream->codecpar, context) < 0) error = "no parameters";
    else {
        stream->time_base = context->time_base;
        if (avio_open(&output->pb, spec.path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(output, nullptr) < 0)
            error = "cannot write " + spec.path;
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = spec.width;
        frame->height = spec.height;
        if (error.empty() && av_frame_get_buffer(frame, 0) < 0) error = "no frame";
        for (int i = 0; i < spec.frames && error.empty(); ++i) {
            if (av_frame_make_writable(frame) < 0) error = "frame not writable";
            if (spec.paint) spec.paint(*frame, i);
            else PaintCodedFrame(*frame, i);
            frame->pts = i;
            if (error.empty() && !drain(frame)) error = "encoding failed at frame " + std::to_string(i);
        }
        if (error.empty() && !drain(nullptr)) error = "cannot finish " + spec.path;
        if (error.empty() && sound) error = WriteAudioStream(output, sound, spec);
        if (error.empty() && av_write_trailer(output) < 0) error = "cannot finish " + spec.path;
        avio_closep(&output->pb);
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    avformat_free_context(output);
    return error;
}

}  // namespace kadivo::test
