#pragma once

#include "CaptureDevice.h"

#include <chrono>

namespace kadivo {

// A capture driver without hardware: a disc circling on a grey ground, the frame counter
// in the code block of the top-left corner (16 squares of 8 x 8 pixels, least significant
// bit first, then the stream tag 1 in the next 8), at the requested rate. Frames the
// consumer is too slow to take are lost as a camera loses them, and `dropEvery` > 0 loses
// every n-th frame on purpose.
class TestPatternDevice : public CaptureDevice {
public:
    static constexpr const char* kName = "Test Pattern";
    static constexpr const char* kVersion = "1.0";
    static constexpr int kBufferCount = 4;

    explicit TestPatternDevice(int dropEvery = 0) : dropEvery_(dropEvery) {}

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

    int dropEvery_;
    FrameSize size_{640, 480};
    int brightness_ = 40;  // the ground
    int contrast_ = 255;   // the disc
    bool running_ = false;
    int period_ = 0;
    Clock::time_point origin_;
    std::int64_t next_ = 0;
};

}  // namespace kadivo
