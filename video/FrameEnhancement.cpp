#include "FrameEnhancement.h"

#include "FrameFilters.h"
#include "ImageAdjustments.h"

#include <rastel.h>

#include <algorithm>

namespace kadivo {

FrameEnhancement::FrameEnhancement() : roi_(vopCreateROI(0, 0, 0, 0, 0)) {
    Reset();
    history_.reserve(kHistoryCapacity);
}

FrameEnhancement::~FrameEnhancement() { vopDeleteROI(roi_); }

void FrameEnhancement::DefineRange(int x0, int y0, int x1, int y1) {
    range_ = {std::min(x0, x1), std::max(y0, y1), std::max(x0, x1), std::min(y0, y1)};
}

void FrameEnhancement::ClearRange(int width, int height) { range_ = {0, height, width, 0}; }

void FrameEnhancement::Adjust(const FramePixels& frame, int code, int value) {
    if (!frame.data || code < 0 || code >= kFirstFilterCode || value == Value(code)) return;
    const EnhancementStep step{code, value};
    Apply(frame, step);
    Record(step);
}

void FrameEnhancement::Filter(const FramePixels& frame, int menuIndex) {
    if (!frame.data || menuIndex < 0 || menuIndex >= kFilterCommandCount) return;
    const EnhancementStep step{kFirstFilterCode + menuIndex, 0};
    Apply(frame, step);
    Record(step);
}

void FrameEnhancement::Reset() {
    values_.fill(100);
    gamma_ = 100.0f;
    history_.clear();
}

void FrameEnhancement::Replay(const FramePixels& frame) {
    if (!frame.data) return;
    values_.fill(100);
    gamma_ = 100.0f;
    for (const EnhancementStep& step : history_) Apply(frame, step);
}

int FrameEnhancement::Value(int code) const {
    if (code == kGamma) return static_cast<int>(gamma_);
    return values_[static_cast<std::size_t>(code)];
}

void FrameEnhancement::Apply(const FramePixels& frame, const EnhancementStep& step) {
    if (step.code >= kFirstFilterCode) {
        ApplyFilter(frame, roi_, range_, step.code - kFirstFilterCode);
        return;
    }
    ApplyAdjustment(frame, range_, step.code, step.value);
    if (step.code == kGamma) gamma_ = static_cast<float>(step.value);
    else values_[static_cast<std::size_t>(step.code)] = step.value;
}

// Once the history is full, further steps still change the frame but are not replayed.
void FrameEnhancement::Record(const EnhancementStep& step) {
    if (history_.size() < kHistoryCapacity) history_.push_back(step);
}

}  // namespace kadivo
