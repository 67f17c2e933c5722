#pragma once

#include "CaptureDevice.h"

#include <chrono>

namespace kadivo {

// A capture driver without hardware: a disc circling on a grey ground, the frame counter
// in the code block of the top-left corner (16 squares of 8 x 8 pixels, least significant
// bit first, then the stream tag 1 in the next 8), at the requested rate. A consumer more
// than the buffers behind loses frames as with a camera.
class TestPatternDevice : public CaptureDevice {
public:
    static constexpr const char* kName = "Test Pattern";
    static constexpr const char* kVersion = "1.0";

    struct Options {
        int dropEvery = 0;      // > 0: every n-th frame is lost on purpose
        int bufferCount = 32;   // frames a consumer may fall behind before they are lost
        bool realTime = true;   // false: each frame comes at once, stamped as if on time
    };

    TestPatternDevice() : TestPatternDevice(Options{}) {}
    explicit TestPatternDevice(Options options) : options_(options) {}

    CaptureDriverName Name() const override { return {kName, kVersion}; }
    CaptureAbilities Abilities() const override;
    CaptureFormat Format() const override { return {size_.width, size_.height, 24}; }
    bool SetFrameSize(FrameSize size, std::string& error) override;
    std::vector<CaptureControl> Controls() const override;
    bool SetControl(const std::string& name, int value) override;

    bool Start(int microsecondsPerFrame, std::string& error) override;
    bool NextFrame(CapturedFrame& frame, std::string& error) override;
    void Stop() override { running_ = false; }

    // Draws frame `counter` of the pattern.
    void Draw(std::int64_t counter, CapturedFrame& frame) const;

private:
    using Clock = std::chrono::steady_clock;

    Options options_;
    FrameSize size_{640, 480};
    int brightness_ = 40;  // the ground
    int contrast_ = 255;   // the disc
    bool running_ = false;
    int period_ = 0;
    Clock::time_point origin_;
    std::int64_t next_ = 0;
};

}  // namespace kadivo
