#pragma once

#include "CaptureDevice.h"

#include <mutex>
#include <string>
#include <thread>

namespace kadivo {

// Takes frames from a device on a thread of its own and keeps the newest for the window
// to show, so a slow camera never holds up the user interface.
class LivePreview {
public:
    explicit LivePreview(CaptureDevice& device) : device_(device) {}
    ~LivePreview() { Stop(); }
    LivePreview(const LivePreview&) = delete;
    LivePreview& operator=(const LivePreview&) = delete;

    // Starts the device at `microsecondsPerFrame`; false with `error` set.
    bool Start(int microsecondsPerFrame, std::string& error);
    // Stops taking frames and the device; the device is free for others afterwards.
    void Stop();
    bool Running() const { return worker_.joinable(); }

    // The newest frame into `frame` when one came since the last call.
    bool TakeNewest(CapturedFrame& frame);
    // Why the device stopped delivering, once; empty while it works.
    std::string TakeError();

private:
    void Pump();

    CaptureDevice& device_;
    std::thread worker_;
    std::mutex mutex_;
    bool stopping_ = false;
    bool fresh_ = false;
    CapturedFrame newest_;
    std::string error_;
};

}  // namespace kadivo
