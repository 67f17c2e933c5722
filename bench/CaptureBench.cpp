// Recording 10 s at 25 fps from the Test Pattern driver through the capture session, at
// 720x576 and 1280x720: the frames dropped, and the encoder's time per frame beside the
// frame period it has to keep up with.

#include "AviWriter.h"
#include "CaptureSession.h"
#include "DataDirectory.h"
#include "capture/TestPatternDevice.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace {

using namespace kadivo;
using Clock = std::chrono::steady_clock;

// Passes frames on to the video file and times each.
class TimedWriter : public AviVideoWriter {
public:
    TimedWriter(std::unique_ptr<AviVideoWriter> inner, double& seconds) : inner_(std::move(inner)), seconds_(seconds) {}
    bool WriteFrame(const std::uint8_t* rows, int stride) override {
        const auto start = Clock::now();
        const bool written = inner_->WriteFrame(rows, stride);
        seconds_ += std::chrono::duration<double>(Clock::now() - start).count();
        return written;
    }
    bool Finish() override { return inner_->Finish(); }
    int FramesWritten() const override { return inner_->FramesWritten(); }

private:
    std::unique_ptr<AviVideoWriter> inner_;
    double& seconds_;
};

void Measure(FrameSize size, const std::string& path) {
    TestPatternDevice device;
    std::string error;
    if (!device.SetFrameSize(size, error)) {
        std::printf("%s\n", error.c_str());
        return;
    }
    CaptureSettings settings;
    settings.framesPerSecond = 25;
    settings.seconds = 10;
    double encoding = 0;
    CaptureSession session(device, settings, [&](int width, int height, int rate, std::string& reason) {
        std::unique_ptr<AviVideoWriter> writer = CreateMjpegAviFile(path, width, height, rate, reason);
        return writer ? std::make_unique<TimedWriter>(std::move(writer), encoding) : nullptr;
    });
    const CaptureOutcome outcome = session.Run();
    const double perFrame = outcome.framesCaptured > 0 ? 1000.0 * encoding / outcome.framesCaptured : 0.0;
    const double period = settings.MicrosecondsPerFrame() / 1000.0;
    std::printf("capture %dx%d at 25 fps for 10 s: %d frames, %d dropped (target 0)%s\n", size.width, size.height,
                outcome.framesCaptured, outcome.framesDropped, outcome.error.empty() ? "" : (" " + outcome.error).c_str());
    std::printf("  encoder %.2f ms/frame   frame period %.2f ms   ratio %.3f (target <= 0.5)\n", perFrame, period,
                perFrame / period);
}

}  // namespace

int main() {
    std::filesystem::create_directories(CacheDirectory());
    const std::string path = CacheDirectory() + "/capture-bench-" + std::to_string(::getpid()) + ".avi";
    Measure({720, 576}, path);
    Measure({1280, 720}, path);
    std::filesystem::remove(path);
    return 0;
}
