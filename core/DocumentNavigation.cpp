#include "CKadivoDoc.h"

#include <algorithm>

namespace kadivo {

void CKadivoDoc::AnnounceFrameStep(int view) {
    Announce(HasVideo(currentView) ? ChangeSet(Change::Frame) : Change::Frame | Change::NoVideo, view);
}

// A view with video stops one step before its last frame; one without video can go only
// as far as its store has records.
bool CKadivoDoc::ViewCanStepForward(int v) const {
    const CameraView& view = views[static_cast<std::size_t>(v)];
    if (HasVideo(v)) return view.currentFrame <= LastFrame(v) - options.frameStep;
    return view.currentFrame < view.frameStore.recordCount();
}

bool CKadivoDoc::NextImage(bool notify) {
    bool movedCurrent = false;
    for (int v = 0; v < viewCount(); ++v) {
        if (!options.lockViews && v != currentView) continue;
        if (!ViewCanStepForward(v)) {
            if (!options.lockViews) return false;
            continue;
        }
        CameraView& view = views[static_cast<std::size_t>(v)];
        view.currentFrame += options.frameStep;
        view.frameStore.SetCurrentFrame(view.currentFrame, digitizeMode);
        movedCurrent = movedCurrent || v == currentView;
    }
    if (notify) AnnounceFrameStep(options.lockViews ? kAllViews : currentView);
    return movedCurrent;
}

void CKadivoDoc::OnPreviousImage() {
    bool moved = false;
    if (options.lockViews || current().currentFrame > 0) {
        for (CameraView& view : views) {
            if (options.lockViews && view.currentFrame <= 0) continue;
            view.currentFrame = std::max(0, view.currentFrame - options.frameStep);
            view.frameStore.SetCurrentFrame(view.currentFrame, digitizeMode);
            moved = true;
        }
    }
    if (!moved) return;
    AnnounceFrameStep(kAllViews);
}

void CKadivoDoc::OnJumpToStart() {
    if (options.lockViews) {
        for (CameraView& view : views) {
            view.currentFrame = 0;
            view.frameStore.SetCurrentFrame(0, digitizeMode);
        }
    } else {
        if (LastFrame(currentView) <= 0) return;
        current().currentFrame = 0;
        current().frameStore.SetCurrentFrame(0, digitizeMode);
    }
    Announce(Change::Frame | Change::Redraw, options.lockViews ? kAllViews : currentView);
}

void CKadivoDoc::OnJumpToEnd() {
    if (LastFrame(currentView) <= 0) return;
    for (int v = 0; v < viewCount(); ++v) {
        if (!options.lockViews && v != currentView) continue;
        CameraView& view = views[static_cast<std::size_t>(v)];
        view.currentFrame = RoundToStep(LastFrame(v));
        view.frameStore.SetCurrentFrame(view.currentFrame, digitizeMode);
    }
    Announce(Change::Frame | Change::Redraw, options.lockViews ? kAllViews : currentView);
}

void CKadivoDoc::GoToFrame(int frame, bool notify) {
    const int target = RoundToStep(frame);
    auto canMove = [&](int v) {
        const CameraView& view = views[static_cast<std::size_t>(v)];
        if (!HasVideo(v) && view.currentFrame >= view.frameStore.recordCount()) return false;
        // Every frame the video has, the last included: the slider reaches it as the stepping does.
        return target >= 0 && target <= LastFrame(v);
    };
    if (!options.lockViews && !canMove(currentView)) return;
    for (int v = 0; v < viewCount(); ++v) {
        if (!options.lockViews && v != currentView) continue;
        if (!canMove(v)) continue;
        CameraView& view = views[static_cast<std::size_t>(v)];
        view.currentFrame = target;
        view.frameStore.SetCurrentFrame(target, digitizeMode);
    }
    if (notify) AnnounceFrameStep(options.lockViews ? kAllViews : currentView);
}

void CKadivoDoc::ShowFrameInCurrentView(int frame) {
    if (views.empty() || frame < 0 || (HasVideo(currentView) && frame > LastFrame(currentView))) return;
    CameraView& view = current();
    if (view.currentFrame == frame) return;
    view.currentFrame = frame;
    view.frameStore.SetCurrentFrame(frame, digitizeMode);
    AnnounceFrameStep(currentView);
}

void CKadivoDoc::OnNextUnfinishedImage() {
    CameraView& view = current();
    if (digitizeMode != kMovement || !view.frameStore.IsComplete(kMovement)) return;
    while (view.currentFrame <= LastFrame(currentView) - options.frameStep) {
        view.currentFrame += options.frameStep;
        view.frameStore.SetCurrentFrame(view.currentFrame, kMovement);
        if (!view.frameStore.IsComplete(kMovement)) break;
    }
    AnnounceFrameStep(currentView);
}

// Enabled exactly when the step lands on a frame the video has, as NextImage takes it.
bool CKadivoDoc::CanNextImage() const {
    const CameraView& view = current();
    if (HasVideo(currentView)) return ViewCanStepForward(currentView);
    return view.currentFrame <= view.frameStore.recordCount();
}

bool CKadivoDoc::CanPreviousImage() const { return current().currentFrame > 0; }

bool CKadivoDoc::CanJumpToStart() const { return current().currentFrame > 0 && LastFrame(currentView) > 0; }

bool CKadivoDoc::CanJumpToEnd() const {
    return LastFrame(currentView) > 0 && current().currentFrame <= LastFrame(currentView);
}

// --- zoom -----------------------------------------------------------------------------------

void CKadivoDoc::SetViewZoom(int v, int code) {
    CameraView& view = views[static_cast<std::size_t>(v)];
    view.zoomCode = code;
    view.videoSource->SetZoom(ZoomFactor(code));
    view.frameSize = view.videoSource->DisplaySize();
}

void CKadivoDoc::SetZoom(int code) {
    if (code < 1 || code > kZoomCodeCount) return;
    SetViewZoom(currentView, code);
    const ChangeSet what = Change::Zoom | Change::Redraw;
    Announce(options.autoResize && ZoomFactor(code) < 2.0f ? what | Change::FitWindow : what);
}

namespace {

// The zoom code of `factor`, or 0 when it is not one of the twelve factors.
int ZoomCodeOf(float factor) {
    for (int code = 1; code <= CKadivoDoc::kZoomCodeCount; ++code)
        if (CKadivoDoc::ZoomFactor(code) == factor) return code;
    return 0;
}

}  // namespace

void CKadivoDoc::ZoomIn() {
    const float factor = current().videoSource->Zoom();
    if (factor < 10.0f) ApplyZoomFactor(factor * 2.0f);
}

void CKadivoDoc::ZoomOut() {
    const float factor = current().videoSource->Zoom();
    if (factor > 0.25f) ApplyZoomFactor(factor / 2.0f);
}

// The code changes only when the factor is one of the twelve; the source takes it anyway.
void CKadivoDoc::ApplyZoomFactor(float factor) {
    CameraView& view = current();
    if (const int code = ZoomCodeOf(factor)) view.zoomCode = code;
    view.videoSource->SetZoom(factor);
    view.frameSize = view.videoSource->DisplaySize();
    const ChangeSet what = Change::Zoom | Change::Redraw;
    Announce(view.frameSize.height < 600 && options.autoResize ? what | Change::FitWindow : what);
}

}  // namespace kadivo
