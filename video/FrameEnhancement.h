#pragma once

#include "FramePixels.h"

#include <array>
#include <vector>

struct VopROI;

namespace kadivo {

// History codes 8..26 are the filter commands, by menu index.
constexpr int kFirstFilterCode = 8;
constexpr int kHistoryCapacity = 32;

struct EnhancementStep {
    int code = 0;
    int value = 0;
    friend bool operator==(const EnhancementStep&, const EnhancementStep&) = default;
};

// The adjustments and filters applied to a video source's current frame, recorded so that
// every newly fetched frame goes through the same chain.
class FrameEnhancement {
public:
    FrameEnhancement();
    ~FrameEnhancement();
    FrameEnhancement(const FrameEnhancement&) = delete;
    FrameEnhancement& operator=(const FrameEnhancement&) = delete;

    const RangeOfInterest& Range() const { return range_; }
    // The rectangle between two corners, in frame pixels and memory row order.
    void DefineRange(int x0, int y0, int x1, int y1);
    // The whole frame.
    void ClearRange(int width, int height);

    // Adjustment `code` to `value`: nothing when there is no frame or the value is the one
    // it has already; otherwise the frame is changed, the value kept and the step recorded.
    void Adjust(const FramePixels& frame, int code, int value);
    // Filter command `menuIndex`, applied and recorded; nothing when there is no frame.
    void Filter(const FramePixels& frame, int menuIndex);
    // Adjustment values back to neutral, history empty.
    void Reset();
    // Runs the recorded chain on a fresh frame, from neutral values, without recording.
    void Replay(const FramePixels& frame);

    // The current value of adjustment `code` (gamma as its integer part).
    int Value(int code) const;
    float Gamma() const { return gamma_; }
    const std::vector<EnhancementStep>& History() const { return history_; }

private:
    void Apply(const FramePixels& frame, const EnhancementStep& step);
    void Record(const EnhancementStep& step);

    RangeOfInterest range_;
    VopROI* roi_;
    std::array<int, 8> values_{};
    float gamma_ = 100.0f;
    std::vector<EnhancementStep> history_;
};

}  // namespace kadivo
