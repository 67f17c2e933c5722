#include "DigitizeGesture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kadivo {

int PointToEdit(const std::vector<Point2f>& points, Point2f press) {
    const int x = static_cast<int>(press.x), y = static_cast<int>(press.y);
    int chosen = -1;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point2f point = UsableOrMissing(points[i]);
        const int dx = static_cast<int>(point.x) - x, dy = static_cast<int>(point.y) - y;
        if (std::abs(dx) + std::abs(dy) < 5) chosen = static_cast<int>(i);
    }
    return chosen;
}

DigitizeGesture::Steps DigitizeGesture::Press(WindowPoint at, Modifiers modifiers, const Situation& situation) {
    Steps steps;
    kind_ = Kind::None;
    editIndex_ = -1;
    magnifier_ = false;
    if (!situation.hasVideo || situation.automatic) return steps;
    situation_ = situation;
    press_ = last_ = at;
    const Point2f frame = situation.geometry.ToFrame(at);
    if (situation.rangeRequested || (modifiers.control && modifiers.shift)) {
        kind_ = Kind::RangeOfInterest;
    } else if (modifiers.control) {
        kind_ = Kind::Pan;
    } else if (modifiers.shift && !situation.points.empty()) {
        editIndex_ = PointToEdit(situation.points, frame);
        kind_ = editIndex_ >= 0 ? Kind::Edit : Kind::None;
    } else if (situation.frameComplete) {
        editIndex_ = PointToEdit(situation.points, frame);
        kind_ = editIndex_ >= 0 ? Kind::Edit : Kind::Pan;
    } else {
        kind_ = Kind::Hold;
        steps.startHoldTimer = true;
    }
    return steps;
}

DigitizeGesture::Steps DigitizeGesture::Move(WindowPoint at) {
    Steps steps;
    switch (kind_) {
        case Kind::Pan:
            steps.scrollBy = {last_.x - at.x, last_.y - at.y};
            break;
        case Kind::Edit: steps.movePoint = situation_.geometry.ToFrame(at); break;
        default: break;
    }
    last_ = at;
    return steps;
}

DigitizeGesture::Steps DigitizeGesture::HoldTimerFired() {
    Steps steps;
    steps.stopHoldTimer = true;
    if (kind_ == Kind::Hold && situation_.hasVideo) {
        magnifier_ = true;
        steps.showMagnifier = true;
    }
    return steps;
}

DigitizeGesture::Steps DigitizeGesture::Release(WindowPoint at) {
    Steps steps;
    switch (kind_) {
        case Kind::RangeOfInterest: {
            const Point2f a = situation_.geometry.ToFrame(press_), b = situation_.geometry.ToFrame(at);
            steps.rangeOfInterest = FrameRect{static_cast<int>(std::min(a.x, b.x)), static_cast<int>(std::max(a.y, b.y)),
                                              static_cast<int>(std::max(a.x, b.x)), static_cast<int>(std::min(a.y, b.y))};
            steps.rangeModeEnds = true;
            break;
        }
        case Kind::Edit: steps.storePoint = situation_.geometry.ToFrame(at); break;
        case Kind::Hold:
            steps.stopHoldTimer = true;
            steps.hideMagnifier = magnifier_;
            if (!situation_.frameComplete)
                steps.digitize = DigitizedPosition(situation_.geometry, press_, at, situation_.sneakZoomPercentage);
            break;
        default: break;
    }
    kind_ = Kind::None;
    magnifier_ = false;
    return steps;
}

}  // namespace kadivo
