// The functions the platform layer finds by name in the loaded video module: files.

#include "EntryPoints.h"
#include "FfmpegModule.h"

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
    if (!writer) kadivo::ffmpeg::CopyText(reason, error, errorSize);
    return writer.release();
}

KADIVO_MODULE_EXPORT int KadivoReadAudioTrack(const char* path, double maxSeconds, kadivo::AudioTrack* track, char* error,
                                              int errorSize) {
    std::string reason;
    if (kadivo::ffmpeg::ReadFfmpegAudioTrack(path, maxSeconds, *track, reason)) return 1;
    kadivo::ffmpeg::CopyText(reason, error, errorSize);
    return 0;
}
