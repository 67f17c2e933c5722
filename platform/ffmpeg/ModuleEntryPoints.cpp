// The functions the platform layer finds by name in the loaded video module.

#include "FfmpegModule.h"

#include <cstring>

#define KADIVO_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

KADIVO_MODULE_EXPORT kadivo::AviFile* KadivoOpenAviFile(const char* path) {
    return kadivo::ffmpeg::OpenFfmpegAviFile(path).release();
}

KADIVO_MODULE_EXPORT kadivo::AviVideoWriter* KadivoCreateMjpegAviFile(const char* path, int width, int height,
                                                                      int framesPerSecond, char* error, int errorSize) {
    std::string reason;
    std::unique_ptr<kadivo::AviVideoWriter> writer =
        kadivo::ffmpeg::CreateFfmpegMjpegAviFile(path, width, height, framesPerSecond, reason);
    if (!writer && errorSize > 0) {
        std::strncpy(error, reason.c_str(), static_cast<std::size_t>(errorSize) - 1);
        error[errorSize - 1] = '\0';
    }
    return writer.release();
}
