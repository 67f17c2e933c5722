#include "AnimationState.h"

#include "AppendFormat.h"
#include "CKadivoDoc.h"
#include "FrameArithmetic.h"

#include <algorithm>

namespace kadivo {

namespace {

// Angles of a full turn or more start again from 0; negative ones are left as they are.
double Wrapped(double angle) { return angle >= 360.0 ? 0.0 : angle; }

}  // namespace

void AnimationState::PlayFromStart() {
    play_ = Play::Playing;
    animFrame_ = 0;
}

void AnimationState::TogglePause() {
    if (play_ == Play::Playing) play_ = Play::Paused;
    else if (play_ == Play::Paused) play_ = Play::Playing;
}

void AnimationState::ResetOrientation() {
    record_.rotX = record_.rotY = record_.rotZ = 0.0;
    record_.distance = kHomeDistance;
}

int AnimationState::TimerPeriod() const { return 1000 / std::clamp(static_cast<int>(record_.speed), kMinSpeed, kMaxSpeed); }

void AnimationState::Tick(int frames) {
    ++animFrame_;
    if (animFrame_ >= frames) animFrame_ = 0;
}

void AnimationState::Press(int x, int y) {
    dragging_ = true;
    lastX_ = x;
    lastY_ = y;
}

bool AnimationState::Move(int x, int y) {
    if (!dragging_) return false;
    const int dx = x - lastX_, dy = y - lastY_;
    lastX_ = x;
    lastY_ = y;
    switch (dragMode_) {
        case DragMode::Rotate:
            record_.rotX += 2.0 * dy;
            record_.rotY += 2.0 * dx;
            break;
        case DragMode::Zoom: record_.distance -= 0.05 * dy; break;
        case DragMode::Shift:
            record_.panX = std::clamp(record_.panX + 0.01f * static_cast<float>(dx), -kPanLimit, kPanLimit);
            record_.panY = std::clamp(record_.panY - 0.01f * static_cast<float>(dy), -kPanLimit, kPanLimit);
            break;
    }
    record_.rotX = Wrapped(record_.rotX);
    record_.rotY = Wrapped(record_.rotY);
    record_.rotZ = Wrapped(record_.rotZ);
    return true;
}

std::string AnimationState::ReadOut() const {
    std::string text;
    AppendFormat(text, "X:%2.0f\u00B0/Y:%2.0f\u00B0", record_.rotX, record_.rotY);
    return text;
}

std::optional<int> AnimationState::FrameToShow(const CKadivoDoc& doc) const {
    // A paused animation stays on its frame.
    int frame = animFrame_;
    if (play_ == Play::Stopped) {
        if (doc.views.empty()) return std::nullopt;
        const CameraView& view = doc.current();
        const FrameRecord* record = view.frameStore.currentRecord();
        const std::optional<int> shown = record ? OffsetFrame(record->frame, -static_cast<long long>(view.syncFrame)) : 0;
        if (!shown) return std::nullopt;
        frame = *shown;
    }
    if (frame < 0 || frame >= doc.worldFrameCount) return std::nullopt;
    return frame;
}

}  // namespace kadivo
