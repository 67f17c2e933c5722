// Video files are read and written by a module loaded on first use, and cameras reached by
// another: the libraries they pull in take longer to load than the rest of the program.

#include "AudioTrackReader.h"
#include "AviFile.h"
#include "AviWriter.h"
#include "CaptureDevice.h"
#include "LoadableModule.h"
#include "capture/TestPatternDevice.h"
#include "ffmpeg/FfmpegModule.h"

#include <string>

namespace kadivo {

namespace {

struct VideoModule {
    static constexpr const char* kName = "libkadivo_ffmpeg.so";
    KadivoOpenAviFileFunction open = nullptr;
    KadivoCreateMjpegAviFileFunction create = nullptr;
    KadivoReadAudioTrackFunction readAudio = nullptr;
    std::string error;

    bool Take(void* handle) {
        open = ModuleEntry<KadivoOpenAviFileFunction>(handle, "KadivoOpenAviFile");
        create = ModuleEntry<KadivoCreateMjpegAviFileFunction>(handle, "KadivoCreateMjpegAviFile");
        readAudio = ModuleEntry<KadivoReadAudioTrackFunction>(handle, "KadivoReadAudioTrack");
        return open && create && readAudio;
    }
};

struct CaptureModule {
    static constexpr const char* kName = "libkadivo_capture.so";
    KadivoDescribeCameraFunction describeCamera = nullptr;
    KadivoConnectCameraFunction connectCamera = nullptr;
    std::string error;

    bool Take(void* handle) {
        describeCamera = ModuleEntry<KadivoDescribeCameraFunction>(handle, "KadivoDescribeCamera");
        connectCamera = ModuleEntry<KadivoConnectCameraFunction>(handle, "KadivoConnectCamera");
        return describeCamera && connectCamera;
    }
};

const VideoModule& Module() { return LoadedModule<VideoModule>(); }
const CaptureModule& Capture() { return LoadedModule<CaptureModule>(); }

}  // namespace

std::unique_ptr<AviFile> OpenAviFile(const std::string& path) {
    const VideoModule& module = Module();
    return std::unique_ptr<AviFile>(module.open ? module.open(path.c_str()) : nullptr);
}

std::unique_ptr<AviVideoWriter> CreateMjpegAviFile(const std::string& path, int width, int height, int framesPerSecond,
                                                   std::string& error, AviFileSpace space) {
    const VideoModule& module = Module();
    if (!module.create) {
        error = module.error;
        return nullptr;
    }
    char reason[256] = {};
    std::unique_ptr<AviVideoWriter> writer(module.create(path.c_str(), width, height, framesPerSecond,
                                                     space == AviFileSpace::Reserved ? 1 : 0, reason, sizeof reason));
    if (!writer) error = reason;
    return writer;
}

std::optional<AudioTrack> ReadAudioTrack(const std::string& path, double maxSeconds, std::string& error) {
    const VideoModule& module = Module();
    if (!module.readAudio) {
        error = module.error;
        return std::nullopt;
    }
    AudioTrack track;
    char reason[256] = {};
    if (module.readAudio(path.c_str(), maxSeconds, &track, reason, sizeof reason)) return track;
    error = reason;
    return std::nullopt;
}

namespace {

// The cameras the module finds, then the Test Pattern.
class SystemDrivers final : public CaptureDrivers {
public:
    std::optional<CaptureDriverName> Description(int index) const override {
        if (index < 0) return std::nullopt;
        const int cameras = CameraCount();
        if (index < cameras) {
            char name[128] = {}, version[80] = {};
            if (Capture().describeCamera(index, name, sizeof name, version, sizeof version))
                return CaptureDriverName{name, version};
            return std::nullopt;
        }
        if (index == cameras) return TestPatternDevice().Name();
        return std::nullopt;
    }

    std::unique_ptr<CaptureDevice> Connect(int index, std::string& error) const override {
        const int cameras = CameraCount();
        if (index >= 0 && index < cameras) {
            char reason[256] = {};
            std::unique_ptr<CaptureDevice> device(Capture().connectCamera(index, reason, sizeof reason));
            if (!device) error = reason;
            return device;
        }
        if (index == cameras) return std::make_unique<TestPatternDevice>();
        error = "no capture driver has number " + std::to_string(index);
        return nullptr;
    }

private:
    static int CameraCount() {
        const CaptureModule& module = Capture();
        if (!module.describeCamera) return 0;
        int count = 0;
        char name[128], version[80];
        while (module.describeCamera(count, name, sizeof name, version, sizeof version)) ++count;
        return count;
    }
};

}  // namespace

const CaptureDrivers& SystemCaptureDrivers() {
    static const SystemDrivers drivers;
    return drivers;
}

}  // namespace kadivo
