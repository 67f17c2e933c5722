#include "AutomaticDigitizing.h"

#include "CKadivoDoc.h"
#include "MarkerTracker.h"
#include "VideoSource.h"

#include <algorithm>

namespace kadivo {

bool AutomaticDigitizing::Digitize(Point2f at) { return Place(at, true); }

bool AutomaticDigitizing::Place(Point2f at, bool byHand) {
    doc_.SetCurrentView(camera_);
    const ViewFrameStore& store = doc_.views[static_cast<std::size_t>(camera_)].frameStore;
    if (store.IsComplete(doc_.digitizeMode)) {
        host_.Redraw();
        return false;
    }
    CaptureNextTemplate(doc_, camera_, at, byHand);
    if (!doc_.AddPoint(host_.Scroll(), at, true)) return false;
    RestoreStoredView();
    host_.Redraw();
    LocateNext();
    return true;
}

bool AutomaticDigitizing::DigitizeClick(Point2f at) { return Digitize(SnappedClick(doc_, camera_, at)); }

// A frame digitized before, or the frame before it, knows where the view stood for the next
// point.
void AutomaticDigitizing::RestoreStoredView() {
    const CameraView& view = doc_.views[static_cast<std::size_t>(camera_)];
    const ViewFrameStore& store = view.frameStore;
    const int next = store.NextIndex(doc_.digitizeMode);
    if (next < 0 || next >= kModelTableSize) return;
    const auto index = static_cast<std::size_t>(next);
    for (const FrameRecord* record : {store.ActiveRecord(doc_.digitizeMode), store.PreviousRecord(view.currentFrame, doc_.digitizeMode)})
        if (record && !(record->scrollPos[index] == kNoScroll)) {
            host_.RestoreView(record->scrollPos[index], record->zoomAt[index]);
            return;
        }
}

void AutomaticDigitizing::LocateNext() {
    auto* source = dynamic_cast<VideoSource*>(doc_.views[static_cast<std::size_t>(camera_)].videoSource.get());
    const bool status = source && source->StatusDisplay();
    SearchImages images;
    const std::optional<LocatedPoint> located = LocateNextPoint(doc_, camera_, status ? &images : nullptr);
    if (status && !images.window.empty()) host_.ShowSearch(images);
    if (!located) {
        target_.reset();
        return;
    }
    const CameraView& view = doc_.views[static_cast<std::size_t>(camera_)];
    target_ = Target{located->at, view.currentFrame, view.frameStore.NextIndex(doc_.digitizeMode)};
    host_.PlaceCursor(located->at);
    if (located->lost && running_) {
        lost_ = LostMarker{target_->frame, target_->point};
        Finish(Stop::Lost);
        if (host_.ShowsMessages()) doc_.prompts().ShowMessage(kLostMessage, {kLostCaption, false, 0});
    }
}

void AutomaticDigitizing::Go() {
    if (running_) return;
    if (!host_.StartTimer(std::max(0, doc_.options.autoDigitizeInterval))) {
        doc_.prompts().ShowMessage(kTimerError, {"", true, 0});
        return;
    }
    running_ = true;
    lastStop_ = Stop::None;
    lost_.reset();
    LocateNext();
}

// The frame shown is complete: the end of the sequence, or a frame the document did not
// advance from.
bool AutomaticDigitizing::NothingLeft() const {
    return doc_.views[static_cast<std::size_t>(camera_)].frameStore.IsComplete(doc_.digitizeMode);
}

void AutomaticDigitizing::Tick() {
    if (!running_) return;
    if (NothingLeft()) {
        Finish(Stop::End);
        return;
    }
    Step();
}

void AutomaticDigitizing::SinglePoint() {
    if (running_) return;
    LocateNext();
    Step();
}

// The frame or the point may have moved on since the cursor was sent (the user stepped
// through the frames while the timer ran).
bool AutomaticDigitizing::TargetIsCurrent() const {
    const CameraView& view = doc_.views[static_cast<std::size_t>(camera_)];
    return target_ && target_->frame == view.currentFrame && target_->point == view.frameStore.NextIndex(doc_.digitizeMode);
}

void AutomaticDigitizing::Step() {
    if (target_ && !TargetIsCurrent()) {
        const bool wasRunning = running_;
        LocateNext();
        if (wasRunning && !running_) return;  // the marker was lost
    }
    // Only "None" leads by hand: otherwise a point that was not located would be stored where
    // the cursor was last sent, on the previous point.
    const bool byHand = doc_.options.locateMethod == kLocateByHand;
    std::optional<Point2f> at;
    if (target_) at = target_->at;
    else if (byHand) at = host_.Pointer();
    if (!at) {
        const CameraView& view = doc_.views[static_cast<std::size_t>(camera_)];
        lost_ = LostMarker{view.currentFrame, view.frameStore.NextIndex(doc_.digitizeMode)};
        Finish(Stop::NoPosition);
        if (!byHand && host_.ShowsMessages()) doc_.prompts().ShowMessage(NotLocatedMessage(), {kLostCaption, false, 0});
        return;
    }
    // A located point is the search's; without one, "None" took it from the user's mouse.
    if (!Place(*at, !target_)) Finish(Stop::End);
}

std::string AutomaticDigitizing::NotLocatedMessage() const {
    const CameraView& view = doc_.views[static_cast<std::size_t>(camera_)];
    const int point = view.frameStore.NextIndex(doc_.digitizeMode);
    const std::string name = point >= 0 && point < kModelTableSize ? doc_.modelPoints[static_cast<std::size_t>(point)].name
                                                                  : std::to_string(point + 1);
    return std::string(kLostMessage) + "\n\"" + name + "\" could not be located in frame " +
           std::to_string(view.currentFrame) + ": digitize it by hand, then go on.";
}

void AutomaticDigitizing::Finish(Stop reason) {
    if (!running_) return;
    host_.StopTimer();
    running_ = false;
    lastStop_ = reason;
}

}  // namespace kadivo
