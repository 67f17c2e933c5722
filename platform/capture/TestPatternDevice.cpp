#include "TestPatternDevice.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace kadivo {

namespace {

constexpr FrameSize kSizes[] = {{160, 120}, {320, 240}, {640, 480}, {720, 576}, {768, 576}, {1280, 720}};
// Frames of one turn of the disc.
constexpr int kTurn = 100;

int RowStride(int width) { return ((width * 24 + 31) / 32) * 4; }

}  // namespace

CaptureAbilities TestPatternDevice::Abilities() const {
    CaptureAbilities abilities;
    abilities.bufferCount = options_.bufferCount;
    abilities.frameSizes.assign(std::begin(kSizes), std::end(kSizes));
    abilities.bitDepths = {24};
    return abilities;
}

bool TestPatternDevice::SetFrameSize(FrameSize size, std::string& error) {
    if (std::find(std::begin(kSizes), std::end(kSizes), size) == std::end(kSizes)) {
        error = "the test pattern has no frames of " + std::to_string(size.width) + "x" + std::to_string(size.height);
        return false;
    }
    size_ = size;
    return true;
}

std::vector<CaptureControl> TestPatternDevice::Controls() const {
    return {{"Brightness", 0, 255, 1, brightness_, 40}, {"Contrast", 0, 255, 1, contrast_, 255}};
}

bool TestPatternDevice::SetControl(const std::string& name, int value) {
    if (value < 0 || value > 255) return false;
    if (name == "Brightness") brightness_ = value;
    else if (name == "Contrast") contrast_ = value;
    else return false;
    return true;
}

bool TestPatternDevice::Start(int microsecondsPerFrame, std::string& error) {
    if (microsecondsPerFrame <= 0) {
        error = "the frame period must be positive";
        return false;
    }
    period_ = microsecondsPerFrame;
    origin_ = Clock::now();
    next_ = 0;
    running_ = true;
    return true;
}

bool TestPatternDevice::NextFrame(CapturedFrame& frame, std::string& error) {
    if (!running_) {
        error = "the test pattern is not running";
        return false;
    }
    std::int64_t counter = next_;
    if (options_.dropEvery > 0 && (counter + 1) % options_.dropEvery == 0) ++counter;
    if (options_.realTime) {
        const auto due = [&](std::int64_t k) { return origin_ + std::chrono::microseconds(k * period_); };
        // A consumer more than the buffers behind finds only the newest frame.
        const auto now = Clock::now();
        if (now - due(counter) > std::chrono::microseconds(std::int64_t{options_.bufferCount} * period_))
            counter = std::chrono::duration_cast<std::chrono::microseconds>(now - origin_).count() / period_;
        std::this_thread::sleep_until(due(counter));
    }
    Draw(counter, frame);
    frame.timestampMicroseconds = counter * period_;
    next_ = counter + 1;
    return true;
}

void TestPatternDevice::Draw(std::int64_t counter, CapturedFrame& frame) const {
    const int width = size_.width, height = size_.height, stride = RowStride(width);
    frame.width = width;
    frame.height = height;
    frame.rows.assign(static_cast<std::size_t>(stride) * height, static_cast<std::uint8_t>(brightness_));
    // Rows are stored bottom up; `top` counts from the top of the picture.
    const auto pixel = [&](int column, int top) {
        return frame.rows.data() + static_cast<std::ptrdiff_t>(height - 1 - top) * stride + 3 * column;
    };

    const double angle = 2.0 * 3.14159265358979323846 * static_cast<double>(counter % kTurn) / kTurn;
    const int cx = static_cast<int>(std::lround(width / 2.0 + 0.3 * width * std::cos(angle)));
    const int cy = static_cast<int>(std::lround(height / 2.0 + 0.25 * height * std::sin(angle)));
    const int radius = std::max(5, static_cast<int>(std::lround(std::min(width, height) / 40.0)));
    for (int top = std::max(0, cy - radius); top <= std::min(height - 1, cy + radius); ++top)
        for (int column = std::max(0, cx - radius); column <= std::min(width - 1, cx + radius); ++column)
            if ((column - cx) * (column - cx) + (top - cy) * (top - cy) <= radius * radius)
                std::fill_n(pixel(column, top), 3, static_cast<std::uint8_t>(contrast_));

    const std::uint32_t code = static_cast<std::uint32_t>(counter & 0xFFFF) | (1u << 16);
    for (int bit = 0; bit < 24; ++bit) {
        const std::uint8_t level = (code >> bit) & 1u ? 255 : 0;
        const int left = 8 * (bit % 8), top = 8 * (bit / 8);
        for (int r = top; r < top + 8 && r < height; ++r)
            for (int c = left; c < left + 8 && c < width; ++c) std::fill_n(pixel(c, r), 3, level);
    }
}

}  // namespace kadivo
