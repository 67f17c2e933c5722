#include "CKadivoDoc.h"

#include <algorithm>

namespace kadivo {

namespace {

bool Flagged(const std::vector<int>& flags, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < flags.size() && flags[static_cast<std::size_t>(index)] != 0;
}

}  // namespace

int CKadivoDoc::AddPoint(ScrollPos scroll, Point2f pos, bool advance) {
    const EditScope edit(*this, "Add Point");
    CameraView& view = current();
    if (!view.frameStore.AddPoint(pos, view.zoomCode, scroll, view.currentFrame, digitizeMode)) return 0;
    if (!modified_) modified_ = true;
    if (digitizeMode == kCalibration) {
        dltValid = false;
        Announce(Change::Points);
        return 1;
    }
    return FillAndAdvance(advance, 1);
}

// Fills the points configured as missing or static and moves on past complete frames.
// Announces the new points, unless the frames they led to were announced already.
int CKadivoDoc::FillAndAdvance(bool advance, int result) {
    CameraView& view = current();
    ViewFrameStore& store = view.frameStore;
    const int startFrame = view.currentFrame;
    for (;;) {
        const int frameBefore = view.currentFrame;
        const int countBefore = store.NextIndex(kMovement);
        if (!store.IsComplete(kMovement)) {
            const int next = store.NextIndex(kMovement);
            if (Flagged(view.missingFlags, next))
                store.AddPoint(kNoPosition, view.zoomCode, store.PreviousScroll(view.currentFrame), view.currentFrame,
                               kMovement);
            else if (Flagged(view.staticFlags, next))
                store.CopyFromPrevious(view.currentFrame, kMovement);
        }
        if (store.IsComplete(kMovement)) {
            while (view.currentFrame <= LastFrame(currentView) - options.frameStep && options.autoAdvance &&
                   digitizeMode == kMovement) {
                if (!NextImage(advance)) break;
                result = 2;
                if (!store.IsComplete(kMovement)) break;
            }
        }
        const int next = store.NextIndex(kMovement);
        if (!Flagged(view.missingFlags, next) && !Flagged(view.staticFlags, next)) break;
        if (view.currentFrame > LastFrame(currentView) - options.frameStep || !options.autoAdvance) break;
        // A static point without a previous frame cannot be filled: stop rather than spin.
        if (view.currentFrame == frameBefore && store.NextIndex(kMovement) == countBefore) break;
    }
    if (result == 2 && view.videoSource->FetchFrame(view.currentFrame, false)) view.videoSource->PrepareDisplayImage();
    const bool moved = view.currentFrame != startFrame;
    if (!moved) Announce(Change::Points);
    else if (!advance) Announce(Change::Points | Change::Frame | (HasVideo(currentView) ? ChangeSet() : Change::NoVideo),
                                options.lockViews ? kAllViews : currentView);
    return result;
}

int CKadivoDoc::MarkPointMissingInFrame() {
    if (digitizeMode == kCalibration) {
        prompts_.ShowMessage("When digitizing the Calibration no points can be missing!");
        return 0;
    }
    const EditScope edit(*this, "Missing");
    CameraView& view = current();
    ViewFrameStore& store = view.frameStore;
    if (!store.AddPoint(kNoPosition, view.zoomCode, store.PreviousScroll(view.currentFrame), view.currentFrame,
                        kMovement))
        return 0;
    modified_ = true;
    return FillAndAdvance(true, 1);
}

void CKadivoDoc::RemoveLastPoint() {
    const EditScope edit(*this, "Erase Last Point");
    CameraView& view = current();
    ViewFrameStore& store = view.frameStore;
    if (digitizeMode == kCalibration) {
        dltValid = false;
        store.RemoveLastPoint(kCalibration);
    } else {
        store.RemoveLastPoint(kMovement);
        for (int last = store.NextIndex(kMovement) - 1;
             last >= 0 && (Flagged(view.missingFlags, last) || Flagged(view.staticFlags, last));
             last = store.NextIndex(kMovement) - 1)
            store.RemoveLastPoint(kMovement);
    }
    modified_ = true;
    Announce(Change::Points | Change::PointsRemoved);
}

void CKadivoDoc::OnPointMissing() {
    const EditScope edit(*this, "Point Missing");
    CameraView& view = current();
    const int next = view.frameStore.NextIndex(digitizeMode);
    if (next >= 0 && next < pointCount) view.missingFlags[static_cast<std::size_t>(next)] = 1;
    // The point added announces itself; a complete frame only gained the flag.
    if (AddPoint(kNoScroll, kNoPosition, true) == 0) Announce(Change::Points);
}

void CKadivoDoc::OnPointStatic() {
    CameraView& view = current();
    const FrameRecord* previous = view.frameStore.PreviousRecord(view.currentFrame, digitizeMode);
    if (!previous) return;
    const int next = view.frameStore.NextIndex(digitizeMode);
    if (next < 0 || next >= kModelTableSize) return;
    const EditScope edit(*this, "Point Static");
    const auto index = static_cast<std::size_t>(next);
    const Point2f pos = previous->imagePos[index];
    const ScrollPos scroll = previous->scrollPos[index];
    AddPoint(scroll, pos, true);
    if (next < pointCount) views[static_cast<std::size_t>(currentView)].staticFlags[index] = 1;
}

void CKadivoDoc::OnClearAllPoints() {
    const EditScope edit(*this, "Clear All Points");
    current().frameStore.ClearPoints(digitizeMode);
    modified_ = true;
    Announce(Change::Points | Change::Redraw);
}

void CKadivoDoc::MovePoint(int index, Point2f pos) {
    const EditScope edit(*this, "Move Point");
    current().frameStore.SetPoint(pos, index, digitizeMode);
    if (digitizeMode == kCalibration) dltValid = false;
    modified_ = true;
    Announce(Change::Points | Change::PointsRemoved);
}

void CKadivoDoc::FreezeZoomAndScroll(ScrollPos scroll) {
    if (!HasVideo(currentView)) return;
    const EditScope edit(*this, "Freeze Zoom/Position");
    CameraView& view = current();
    view.frameStore.SetAllZoomAndScroll(view.currentFrame, view.zoomCode, scroll, digitizeMode);
    modified_ = true;
}

void CKadivoDoc::Undo() {
    if (!history_.CanUndo()) return;
    history_.Undo();
    AfterUndoOrRedo();
}

void CKadivoDoc::Redo() {
    if (!history_.CanRedo()) return;
    history_.Redo();
    AfterUndoOrRedo();
}

// Every view may show other points, another frame or another model now.
void CKadivoDoc::AfterUndoOrRedo() {
    for (CameraView& view : views) view.frameStore.SetCurrentFrame(view.currentFrame, digitizeMode);
    modified_ = true;
    Announce(Change::Points | Change::PointsRemoved | Change::Frame | Change::Model | Change::SyncFrame | Change::Redraw,
             kAllViews);
}

void CKadivoDoc::SwitchToCalibration() {
    digitizeMode = kCalibration;
    CameraView& view = current();
    ViewFrameStore& store = view.frameStore;
    const std::string openName = view.videoSource->FileName();
    if (!store.calibrationVideoName.empty() && store.calibrationVideoName != openName)
        OpenVideoFile(store.calibrationVideoName, false);
    else if (store.calibrationVideoName.empty())
        store.calibrationVideoName = openName;
    current().frameStore.calibrationPointCount = calibrationPointCount;
    Announce(Change::Mode);
}

void CKadivoDoc::OnCalibrationCommand() {
    if (digitizeMode != kCalibration) SwitchToCalibration();
}

void CKadivoDoc::OnMovementCommand() {
    if (digitizeMode == kMovement) return;
    if (!current().frameStore.IsComplete(kCalibration) &&
        prompts_.Ask("The Calibration frame is not finished!\nProced to digitize movement ?", Buttons::YesNoCancel) !=
            Answer::Yes)
        return;
    const bool calibrationChanged =
        !dltValid || std::any_of(views.begin(), views.end(), [](const CameraView& v) { return v.frameStore.calibrationDirty; });
    SwitchToMovement();
    if (CanTransformImageData() && calibrationChanged &&
        prompts_.Ask("Transform Data Now ?", Buttons::YesNo) == Answer::Yes)
        OnTransformImageData();
}

void CKadivoDoc::SwitchToMovement() {
    digitizeMode = kMovement;
    const CameraView& view = current();
    const std::string movementVideo = view.frameStore.videoFileName;
    if (!movementVideo.empty() && movementVideo != view.videoSource->FileName()) OpenVideoFile(movementVideo, false);
    current().frameStore.SetCurrentFrame(current().currentFrame, kMovement);
    Announce(Change::Mode);
}

}  // namespace kadivo
