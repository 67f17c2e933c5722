// The functions the platform layer finds by name in the loaded video module.

#include "FfmpegModule.h"

#include <cstring>

#define KADIVO_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void CopyText(const std::string& text, char* buffer, int size) {
    if (size <= 0) return;
    std::strncpy(buffer, text.c_str(), static_cast<std::size_t>(size) - 1);
    buffer[size - 1] = '\0';
}

}  // namespace

KADIVO_MODULE_EXPORT kadivo::AviFile* KadivoOpenAviFile(const char* path) {
    return kadivo::ffmpeg::OpenFfmpegAviFile(path).release();
}

KADIVO_MODULE_EXPORT kadivo::AviVideoWriter* KadivoCreateMjpegAviFile(const char* path, int width, int height,
                                                                      int framesPerSecond, int reserved, char* error,
                                                                      int errorSize) {
    std::string reason;
    const kadivo::AviFileSpace space = reserved ? kadivo::AviFileSpace::Reserved : kadivo::AviFileSpace::Replace;
    std::unique_ptr<kadivo::AviVideoWriter> writer =
        kadivo::ffmpeg::CreateFfmpegMjpegAviFile(path, width, height, framesPerSecond, space, reason);
    if (!writer) CopyText(reason, error, errorSize);
    return writer.release();
}

KADIVO_MODULE_EXPORT int KadivoReadAudioTrack(const char* path, double maxSeconds, kadivo::AudioTrack* track, char* error,
                                              int errorSize) {
    std::string reason;
    if (kadivo::ffmpeg::ReadFfmpegAudioTrack(path, maxSeconds, *track, reason)) return 1;
    CopyText(reason, error, errorSize);
    return 0;
}

KADIVO_MODULE_EXPORT int KadivoDescribeCamera(int index, char* name, int nameSize, char* version, int versionSize) {
    const std::optional<kadivo::CaptureDriverName> description = kadivo::ffmpeg::DescribeV4l2Device(index);
    if (!description) return 0;
    CopyText(description->name, name, nameSize);
    CopyText(description->version, version, versionSize);
    return 1;
}

KADIVO_MODULE_EXPORT kadivo::CaptureDevice* KadivoConnectCamera(int index, char* error, int errorSize) {
    std::string reason;
    std::unique_ptr<kadivo::CaptureDevice> device = kadivo::ffmpeg::ConnectV4l2Device(index, reason);
    if (!device) CopyText(reason, error, errorSize);
    return device.release();
}
