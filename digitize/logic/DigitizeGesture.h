#pragma once

#include "ViewGeometry.h"

#include <optional>
#include <vector>

namespace kadivo {

// A rectangle of frame pixels, corners ordered: left ≤ right, bottom ≤ top.
struct FrameRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const FrameRect&, const FrameRect&) = default;
};

// The digitized point nearest a press for editing: among `points` (the current record's
// digitized points) those within city-block distance 5 of the press point, truncated to whole
// pixels; the highest index wins. −1 when none is near.
int PointToEdit(const std::vector<Point2f>& points, Point2f press);

// One left-button gesture in a digitizing window, from button down to button up: a range of
// interest, a pan, an edit, or hold-then-digitize. The window feeds it the mouse and the hold
// timer and carries out what each step returns.
class DigitizeGesture {
public:
    enum class Kind { None, RangeOfInterest, Pan, Edit, Hold };

    struct Situation {
        bool hasVideo = false;
        bool automatic = false;        // automatic digitizing runs
        bool rangeRequested = false;   // "Range Of Interest" → "Define" was chosen
        bool frameComplete = false;
        std::vector<Point2f> points;   // the digitized points of the current record
        ViewGeometry geometry;
        int sneakZoomPercentage = 25;
    };

    struct Modifiers {
        bool control = false, shift = false;
    };

    // What the window does after a step.
    struct Steps {
        bool startHoldTimer = false;
        bool stopHoldTimer = false;
        bool showMagnifier = false;
        bool hideMagnifier = false;
        bool rangeModeEnds = false;
        WindowPoint scrollBy;                         // pan: scroll the picture by this much
        std::optional<Point2f> digitize;              // add the next point here
        std::optional<FrameRect> rangeOfInterest;     // the new range of interest
        std::optional<Point2f> movePoint;             // the edited point follows the mouse
        std::optional<Point2f> storePoint;            // the edited point's new position
    };

    Steps Press(WindowPoint at, Modifiers modifiers, const Situation& situation);
    Steps Move(WindowPoint at);
    Steps Release(WindowPoint at);
    Steps HoldTimerFired();

    Kind kind() const { return kind_; }
    int editIndex() const { return editIndex_; }
    WindowPoint pressPosition() const { return press_; }
    bool magnifierShown() const { return magnifier_; }

private:
    Kind kind_ = Kind::None;
    Situation situation_;
    WindowPoint press_, last_;
    int editIndex_ = -1;
    bool magnifier_ = false;
};

}  // namespace kadivo
