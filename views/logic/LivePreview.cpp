#include "LivePreview.h"

#include <utility>

namespace kadivo {

bool LivePreview::Start(int microsecondsPerFrame, std::string& error) {
    Stop();
    if (!device_.Start(microsecondsPerFrame, error)) return false;
    stopping_ = false;
    worker_ = std::thread([this] { Pump(); });
    return true;
}

void LivePreview::Stop() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    worker_.join();
    device_.Stop();
}

void LivePreview::Pump() {
    CapturedFrame frame;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
        std::string error;
        const bool taken = device_.NextFrame(frame, error);
        std::lock_guard lock(mutex_);
        if (!taken) {
            error_ = error;
            return;
        }
        std::swap(newest_, frame);
        fresh_ = true;
    }
}

bool LivePreview::TakeNewest(CapturedFrame& frame) {
    std::lock_guard lock(mutex_);
    if (!fresh_) return false;
    std::swap(frame, newest_);
    fresh_ = false;
    return true;
}

std::string LivePreview::TakeError() {
    std::lock_guard lock(mutex_);
    return std::exchange(error_, {});
}

}  // namespace kadivo
