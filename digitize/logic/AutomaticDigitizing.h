#pragma once

#include "Geometry.h"
#include "MarkerSearch.h"

#include <optional>
#include <string>

namespace kadivo {

class CKadivoDoc;

// What automatic digitizing needs of the window it runs in.
class TrackingHost {
public:
    virtual ~TrackingHost() = default;
    // Starts the ticks of automatic digitizing; false when no timer could be had.
    virtual bool StartTimer(int milliseconds) = 0;
    virtual void StopTimer() = 0;
    // Where the view stands while a point is digitized, stored with the point.
    virtual ScrollPos Scroll() const = 0;
    // Brings the view to a scroll position and zoom stored for the next point.
    virtual void RestoreView(ScrollPos scroll, int zoomCode) = 0;
    virtual void Redraw() = 0;
    // Moves the mouse cursor over frame position `at`.
    virtual void PlaceCursor(Point2f at) = 0;
    // The frame position under the mouse, when the mouse is over the frame: with the locate
    // method "None" an automatic step takes it, so the user leads the digitizing by hand.
    virtual std::optional<Point2f> Pointer() const = 0;
    // Whether the user is told of a lost marker; tracking in batches reports it afterwards.
    virtual bool ShowsMessages() const = 0;
    // A search ran while the view's status display is on.
    virtual void ShowSearch(const SearchImages&) {}
};

// Digitizing the points of one camera view one after the other: each point placed, by a
// click or by the timer, captures its template, is added, and the next point is located and
// the cursor moved there. "Go" confirms each located point on a timer until the sequence ends
// or a marker is lost.
class AutomaticDigitizing {
public:
    static constexpr const char* kLostMessage = "The point location not found!";
    static constexpr const char* kLostCaption = "Attention";
    static constexpr const char* kTimerError = "Error starting Windows timer";

    // Lost: the match moved beyond the threshold. NoPosition: nothing was located (no
    // template, or no position in the frame before) and nothing may be taken instead.
    enum class Stop { None, ByUser, Lost, End, NoPosition };
    struct LostMarker {
        int frame = 0;
        int point = 0;
    };

    AutomaticDigitizing(CKadivoDoc& doc, TrackingHost& host) : doc_(doc), host_(host) {}

    void SetCamera(int view) { camera_ = view; }
    int Camera() const { return camera_; }
    bool Running() const { return running_; }
    // Why the last run ended, and where a lost or unlocated marker was.
    Stop LastStop() const { return lastStop_; }
    std::optional<LostMarker> Lost() const { return lost_; }

    // Where the cursor was sent for the next point of the frame shown, if anywhere.
    std::optional<Point2f> CursorTarget() const { return TargetIsCurrent() ? std::optional<Point2f>(target_->at) : std::nullopt; }
    // A point placed by hand at frame position `at`; false when the document refused it.
    bool Digitize(Point2f at);
    // A click at `at`: the point goes where the click snaps to (see SnappedClick).
    bool DigitizeClick(Point2f at);
    // Locates the next point and moves the cursor there.
    void LocateNext();
    // "Go": starts the timer (ignored while running).
    void Go();
    // "Stop".
    void StopRunning() { Finish(Stop::ByUser); }
    // A timer tick: one step, or the end when the current frame has nothing left to digitize.
    void Tick();
    // "Single Point": locates the next point and takes it, without the timer.
    void SinglePoint();

private:
    // Stores a point at `at`; `byHand` when the user, not the search, put it there.
    bool Place(Point2f at, bool byHand);
    // Where the cursor was sent, for which frame and point.
    struct Target {
        Point2f at;
        int frame = 0;
        int point = 0;
    };

    void Step();
    void RestoreStoredView();
    bool TargetIsCurrent() const;
    void Finish(Stop reason);
    bool NothingLeft() const;
    // "The point location not found!" naming the next point and its frame.
    std::string NotLocatedMessage() const;

    CKadivoDoc& doc_;
    TrackingHost& host_;
    int camera_ = 0;
    bool running_ = false;
    std::optional<Target> target_;
    Stop lastStop_ = Stop::None;
    std::optional<LostMarker> lost_;
};

}  // namespace kadivo
