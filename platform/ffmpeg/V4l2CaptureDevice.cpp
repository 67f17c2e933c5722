// Cameras through Video4Linux2: the device list and the controls by the driver's own
// requests, the frames through libavdevice, decoded and turned into bottom-up BGR rows.

#include "CaptureDevice.h"
#include "FfmpegHandles.h"
#include "FfmpegModule.h"

extern "C" {
#include <libavdevice/avdevice.h>
#include <libavutil/opt.h>
}

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kadivo::ffmpeg {

namespace {

// libavdevice asks the driver for this many buffers.
constexpr int kRequestedBuffers = 256;
constexpr int kDeviceNodes = 64;

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// An open device node for the driver's requests.
class DeviceNode {
public:
    explicit DeviceNode(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)) {}
    ~DeviceNode() {
        if (fd_ >= 0) ::close(fd_);
    }
    DeviceNode(const DeviceNode&) = delete;
    DeviceNode& operator=(const DeviceNode&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    template <typename T>
    bool Request(unsigned long request, T& argument) const {
        int result;
        do result = ::ioctl(fd_, request, &argument);
        while (result < 0 && errno == EINTR);
        return result == 0;
    }

private:
    int fd_;
};

std::string NodePath(int node) { return "/dev/video" + std::to_string(node); }

// The device nodes that capture video, in node order.
std::vector<int> CaptureNodes() {
    std::vector<int> nodes;
    for (int node = 0; node < kDeviceNodes; ++node) {
        DeviceNode device(NodePath(node));
        v4l2_capability capability{};
        if (!device.IsOpen() || !device.Request(VIDIOC_QUERYCAP, capability)) continue;
        const std::uint32_t caps =
            capability.capabilities & V4L2_CAP_DEVICE_CAPS ? capability.device_caps : capability.capabilities;
        if (caps & V4L2_CAP_VIDEO_CAPTURE) nodes.push_back(node);
    }
    return nodes;
}

int BitsOf(std::uint32_t pixelFormat) {
    switch (pixelFormat) {
        case V4L2_PIX_FMT_GREY: return 8;
        case V4L2_PIX_FMT_YUYV:
        case V4L2_PIX_FMT_UYVY:
        case V4L2_PIX_FMT_RGB565: return 16;
        case V4L2_PIX_FMT_NV12:
        case V4L2_PIX_FMT_YUV420: return 12;
        case V4L2_PIX_FMT_RGB32:
        case V4L2_PIX_FMT_BGR32: return 32;
        default: return 24;  // RGB24, BGR24 and compressed frames decoded to 24 bits
    }
}

bool IsCompressed(std::uint32_t pixelFormat) {
    return pixelFormat == V4L2_PIX_FMT_MJPEG || pixelFormat == V4L2_PIX_FMT_JPEG || pixelFormat == V4L2_PIX_FMT_H264;
}

struct ControlId {
    std::uint32_t id;
    const char* name;
};
constexpr ControlId kControls[] = {{V4L2_CID_BRIGHTNESS, "Brightness"},
                                   {V4L2_CID_CONTRAST, "Contrast"},
                                   {V4L2_CID_SATURATION, "Saturation"},
                                   {V4L2_CID_GAIN, "Gain"},
                                   {V4L2_CID_EXPOSURE_ABSOLUTE, "Exposure"}};

class V4l2CaptureDevice final : public CaptureDevice {
public:
    V4l2CaptureDevice(std::string path, CaptureDriverName name) : path_(std::move(path)), name_(std::move(name)) {
        DeviceNode device(path_);
        v4l2_format format{};
        format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (device.Request(VIDIOC_G_FMT, format)) {
            size_ = {static_cast<int>(format.fmt.pix.width), static_cast<int>(format.fmt.pix.height)};
            bits_ = BitsOf(format.fmt.pix.pixelformat);
        }
    }
    ~V4l2CaptureDevice() override { Stop(); }

    CaptureDriverName Name() const override { return name_; }

    CaptureAbilities Abilities() const override {
        CaptureAbilities abilities;
        abilities.bufferCount = kRequestedBuffers;
        DeviceNode device(path_);
        v4l2_fmtdesc description{};
        description.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        for (description.index = 0; device.Request(VIDIOC_ENUM_FMT, description); ++description.index) {
            const std::uint32_t pixelFormat = description.pixelformat;
            abilities.compression = abilities.compression || IsCompressed(pixelFormat);
            const int bits = BitsOf(pixelFormat);
            if (std::find(abilities.bitDepths.begin(), abilities.bitDepths.end(), bits) == abilities.bitDepths.end())
                abilities.bitDepths.push_back(bits);
            v4l2_frmsizeenum size{};
            size.pixel_format = pixelFormat;
            for (size.index = 0; device.Request(VIDIOC_ENUM_FRAMESIZES, size); ++size.index) {
                if (size.type != V4L2_FRMSIZE_TYPE_DISCRETE) break;
                const FrameSize frameSize{static_cast<int>(size.discrete.width), static_cast<int>(size.discrete.height)};
                if (std::find(abilities.frameSizes.begin(), abilities.frameSizes.end(), frameSize) ==
                    abilities.frameSizes.end())
                    abilities.frameSizes.push_back(frameSize);
            }
        }
        std::sort(abilities.bitDepths.begin(), abilities.bitDepths.end());
        return abilities;
    }

    CaptureFormat Format() const override { return {size_.width, size_.height, bits_}; }

    bool SetFrameSize(FrameSize size, std::string& error) override {
        if (size.width <= 0 || size.height <= 0) {
            error = "no frame size chosen";
            return false;
        }
        size_ = size;
        return true;
    }

    std::vector<CaptureControl> Controls() const override {
        std::vector<CaptureControl> controls;
        DeviceNode device(path_);
        for (const ControlId& known : kControls) {
            v4l2_queryctrl query{};
            query.id = known.id;
            if (!device.Request(VIDIOC_QUERYCTRL, query) || (query.flags & V4L2_CTRL_FLAG_DISABLED)) continue;
            v4l2_control control{};
            control.id = known.id;
            if (!device.Request(VIDIOC_G_CTRL, control)) continue;
            controls.push_back({known.name, query.minimum, query.maximum, std::max(1, query.step), control.value,
                                query.default_value});
        }
        return controls;
    }

    bool SetControl(const std::string& name, int value) override {
        const auto known = std::find_if(std::begin(kControls), std::end(kControls),
                                        [&](const ControlId& c) { return name == c.name; });
        if (known == std::end(kControls)) return false;
        DeviceNode device(path_);
        v4l2_control control{};
        control.id = known->id;
        control.value = value;
        return device.Request(VIDIOC_S_CTRL, control);
    }

    bool Start(int microsecondsPerFrame, std::string& error) override {
        Stop();
        const AVInputFormat* v4l2 = av_find_input_format("video4linux2");
        if (!v4l2) {
            error = "FFmpeg was built without Video4Linux2 input";
            return false;
        }
        AVDictionary* options = nullptr;
        av_dict_set(&options, "framerate", ("1000000/" + std::to_string(microsecondsPerFrame)).c_str(), 0);
        if (size_.width > 0)
            av_dict_set(&options, "video_size",
                        (std::to_string(size_.width) + "x" + std::to_string(size_.height)).c_str(), 0);
        av_dict_set(&options, "timestamps", "mono2abs", 0);
        AVFormatContext* raw = nullptr;
        const int opened = avformat_open_input(&raw, path_.c_str(), v4l2, &options);
        av_dict_free(&options);
        if (opened < 0) {
            error = path_ + ": " + ErrorText(opened);
            return false;
        }
        input_.reset(raw);
        if (input_->nb_streams < 1) {
            error = path_ + ": no video stream";
            input_.reset();
            return false;
        }
        AVStream* stream = input_->streams[0];
        const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
        decoder_.reset(codec ? avcodec_alloc_context3(codec) : nullptr);
        if (!decoder_ || avcodec_parameters_to_context(decoder_.get(), stream->codecpar) < 0 ||
            avcodec_open2(decoder_.get(), codec, nullptr) < 0) {
            error = path_ + ": the camera's frames cannot be decoded";
            Stop();
            return false;
        }
        timeBase_ = stream->time_base;
        size_ = {stream->codecpar->width, stream->codecpar->height};
        return true;
    }

    bool NextFrame(CapturedFrame& frame, std::string& error) override {
        if (!input_) {
            error = path_ + ": not capturing";
            return false;
        }
        if (!packet_) packet_.reset(av_packet_alloc());
        if (!picture_) picture_.reset(av_frame_alloc());
        for (;;) {
            const int read = av_read_frame(input_.get(), packet_.get());
            if (read < 0) {
                error = path_ + ": " + ErrorText(read);
                return false;
            }
            const std::int64_t stamp = packet_->pts;
            const int sent = avcodec_send_packet(decoder_.get(), packet_.get());
            av_packet_unref(packet_.get());
            if (sent < 0) continue;  // a damaged frame from the camera: wait for the next
            if (avcodec_receive_frame(decoder_.get(), picture_.get()) < 0) continue;
            frame.timestampMicroseconds = av_rescale_q(stamp, timeBase_, AVRational{1, 1000000});
            Convert(frame);
            av_frame_unref(picture_.get());
            return true;
        }
    }

    void Stop() override {
        converter_.Reset();
        decoder_.reset();
        input_.reset();
    }

private:
    void Convert(CapturedFrame& frame) {
        const int width = picture_->width, height = picture_->height;
        SwsContext* scaler = converter_.For(width, height, static_cast<AVPixelFormat>(picture_->format), width, height, AV_PIX_FMT_BGR24);
        const int stride = ((width * 24 + 31) / 32) * 4;
        frame.width = width;
        frame.height = height;
        frame.rows.assign(static_cast<std::size_t>(stride) * height, 0);
        // The last row in memory is the top of the picture.
        std::uint8_t* top[4] = {frame.rows.data() + static_cast<std::ptrdiff_t>(height - 1) * stride};
        const int strides[4] = {-stride};
        sws_scale(scaler, picture_->data, picture_->linesize, 0, height, top, strides);
    }

    std::string path_;
    CaptureDriverName name_;
    FrameSize size_;
    int bits_ = 0;
    FormatContextPtr input_;
    CodecContextPtr decoder_;
    PacketPtr packet_;
    FramePtr picture_;
    PictureConverter converter_;
    AVRational timeBase_{1, 1000000};
};

std::optional<CaptureDriverName> DescribeNode(int node) {
    DeviceNode device(NodePath(node));
    v4l2_capability capability{};
    if (!device.IsOpen() || !device.Request(VIDIOC_QUERYCAP, capability)) return std::nullopt;
    const std::uint32_t v = capability.version;
    return CaptureDriverName{reinterpret_cast<const char*>(capability.card),
                             std::to_string(v >> 16) + "." + std::to_string((v >> 8) & 0xFF) + "." +
                                 std::to_string(v & 0xFF)};
}

}  // namespace

std::optional<CaptureDriverName> DescribeV4l2Device(int index) {
    const std::vector<int> nodes = CaptureNodes();
    if (index < 0 || index >= static_cast<int>(nodes.size())) return std::nullopt;
    return DescribeNode(nodes[static_cast<std::size_t>(index)]);
}

std::unique_ptr<CaptureDevice> ConnectV4l2Device(int index, std::string& error) {
    static std::once_flag registered;
    std::call_once(registered, [] { avdevice_register_all(); });
    SilenceLibraryLog();
    const std::vector<int> nodes = CaptureNodes();
    if (index < 0 || index >= static_cast<int>(nodes.size())) {
        error = "no camera has number " + std::to_string(index);
        return nullptr;
    }
    const int node = nodes[static_cast<std::size_t>(index)];
    std::optional<CaptureDriverName> name = DescribeNode(node);
    if (!name) {
        error = NodePath(node) + ": " + std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<V4l2CaptureDevice>(NodePath(node), std::move(*name));
}

}  // namespace kadivo::ffmpeg
