// The functions the platform layer finds by name in the loaded capture module: cameras
// through libavdevice, which pulls in more libraries than the files need, so it is a module
// of its own.

#include "EntryPoints.h"
#include "FfmpegModule.h"

KADIVO_MODULE_EXPORT int KadivoDescribeCamera(int index, char* name, int nameSize, char* version, int versionSize) {
    const std::optional<kadivo::CaptureDriverName> description = kadivo::ffmpeg::DescribeV4l2Device(index);
    if (!description) return 0;
    kadivo::ffmpeg::CopyText(description->name, name, nameSize);
    kadivo::ffmpeg::CopyText(description->version, version, versionSize);
    return 1;
}

KADIVO_MODULE_EXPORT kadivo::CaptureDevice* KadivoConnectCamera(int index, char* error, int errorSize) {
    std::string reason;
    std::unique_ptr<kadivo::CaptureDevice> device = kadivo::ffmpeg::ConnectV4l2Device(index, reason);
    if (!device) kadivo::ffmpeg::CopyText(reason, error, errorSize);
    return device.release();
}
