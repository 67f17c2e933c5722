#pragma once

#include "WindowState.h"

#include <optional>
#include <string>

namespace kadivo {

class CKadivoDoc;

// The animation window's state without a widget: its options and orientation (the record
// the sequence file keeps), playing, and the mouse.
class AnimationState {
public:
    static constexpr int kMinSpeed = 1, kMaxSpeed = 100;
    static constexpr float kPanLimit = 2.0f;
    static constexpr double kHomeDistance = -10.0;

    enum class Play { Stopped, Playing, Paused };
    enum class DragMode { Rotate, Zoom, Shift };

    explicit AnimationState(AnimationWindowState record) : record_(record) {}

    const AnimationWindowState& record() const { return record_; }
    AnimationWindowState& record() { return record_; }
    Play play() const { return play_; }
    int animFrame() const { return animFrame_; }

    // "Play" from frame 0, "Pause" (on and off), "Stop" (the frame stays).
    void PlayFromStart();
    void TogglePause();
    void Stop() { play_ = Play::Stopped; }
    // "Reset Orientation": no rotation, the home distance; the shift stays.
    void ResetOrientation();
    // The timer's period: 1000 / speed milliseconds, truncated.
    int TimerPeriod() const;
    // A timer tick: the next frame, round to 0 after the last of `frames`.
    void Tick(int frames);

    // The mouse: rotate, zoom (Ctrl) or shift (Shift) while the left button is held.
    void SetDragMode(DragMode mode) { dragMode_ = mode; }
    void Press(int x, int y);
    void Release() { dragging_ = false; }
    // Applies the movement since the last position; false when no drag is under way.
    bool Move(int x, int y);
    // "X:%2.0f°/Y:%2.0f°".
    std::string ReadOut() const;

    // The frame to draw: while playing or paused the animation's own, else the current view's
    // current record's frame from its sync frame (0 without a record); nothing outside the
    // world data.
    std::optional<int> FrameToShow(const CKadivoDoc& doc) const;

private:
    AnimationWindowState record_;
    Play play_ = Play::Stopped;
    int animFrame_ = 0;
    bool dragging_ = false;
    int lastX_ = 0, lastY_ = 0;
    DragMode dragMode_ = DragMode::Rotate;
};

}  // namespace kadivo
