#include "DocumentFixture.h"
#include "Hints.h"

#include <limits>

namespace kadivo::test {
namespace {

class Navigation : public DocumentFixture {
protected:
    // Two views, both with video: view 0 of frames 0..20, view 1 of frames 0..30.
    void TwoViews() {
        NewSequence(1);
        OpenVideo("a.avi", 20);
        ASSERT_EQ(doc->AddCameraView(), 1);
        doc->SetCurrentView(1);
        OpenVideo("b.avi", 30);
        doc->SetCurrentView(0);
    }
    int FrameOf(int v) { return doc->views[static_cast<std::size_t>(v)].currentFrame; }
    void SetFrames(int a, int b) {
        doc->views[0].currentFrame = a;
        doc->views[1].currentFrame = b;
    }
};

TEST_F(Navigation, FrameNumbersAtTheEndsOfTheRangeDoNotWrapAround) {
    NewSequence(1);
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    doc->views[0].currentFrame = kMax;
    EXPECT_EQ(doc->Status().image.substr(0, 17), "Image:2147483648/");
    EXPECT_FALSE(doc->NextImage(false)) << "a view without video and records cannot step on";
    ViewFrameStore& store = doc->views[0].frameStore;
    store.NewRecord(kMin).imagePos[0] = {5, 5};
    EXPECT_EQ(store.PredictPosition(kMin, kMovement).x, -1) << "no frame before the first frame number";
    doc->views[0].currentFrame = kMin;
    EXPECT_EQ(doc->Status().image.substr(0, 18), "Image:-2147483647/");
}

TEST_F(Navigation, NextImageWithoutLockMovesOnlyTheCurrentView) {
    TwoViews();
    ASSERT_TRUE(doc->NextImage(true));
    EXPECT_EQ(FrameOf(0), 1);
    EXPECT_EQ(FrameOf(1), 0);
    EXPECT_EQ(views.hints.back(), hint::kNewFrame);
    EXPECT_EQ(views.sliderPosition, 1);
    EXPECT_EQ(views.panes[4], "Image:2/31");
}

TEST_F(Navigation, PreviousImageWithoutLockMovesEveryView) {
    TwoViews();
    SetFrames(5, 1);
    doc->options.frameStep = 2;
    doc->OnPreviousImage();
    EXPECT_EQ(FrameOf(0), 3);
    EXPECT_EQ(FrameOf(1), 0) << "clamped to the first frame";
    SetFrames(0, 9);
    views.hints.clear();
    doc->OnPreviousImage();
    EXPECT_EQ(FrameOf(1), 9) << "nothing happens while the current view is at frame 0";
    EXPECT_TRUE(views.hints.empty());
}

TEST_F(Navigation, LockedViewsStepTogetherWithinTheirOwnVideos) {
    TwoViews();
    doc->OnLockViews();
    SetFrames(19, 19);
    doc->NextImage(true);
    EXPECT_EQ(FrameOf(0), 20);
    EXPECT_EQ(FrameOf(1), 20);
    doc->NextImage(true);
    EXPECT_EQ(FrameOf(0), 20) << "view 0 is at its last frame";
    EXPECT_EQ(FrameOf(1), 21);
    SetFrames(0, 2);
    doc->OnPreviousImage();
    EXPECT_EQ(FrameOf(0), 0);
    EXPECT_EQ(FrameOf(1), 1);
}

TEST_F(Navigation, LockViewsAlignsEveryViewOnTheCurrentFrame) {
    TwoViews();
    SetFrames(7, 2);
    doc->OnLockViews();
    EXPECT_EQ(FrameOf(1), 7);
    doc->OnLockViews();
    EXPECT_EQ(doc->options.lockViews, 0);
}

TEST_F(Navigation, ViewWithoutVideoStepsOnlyAsFarAsItsRecords) {
    NewSequence(1);
    doc->options.autoAdvance = 0;
    doc->AddPoint({}, {1, 1}, true);
    doc->NextImage(true);
    EXPECT_EQ(doc->current().currentFrame, 1);
    EXPECT_EQ(views.hints.back(), hint::kNewFrameFromData) << "no video: the image comes from digitized data";
    EXPECT_FALSE(doc->NextImage(true));
    EXPECT_EQ(doc->current().currentFrame, 1);
    EXPECT_TRUE(doc->CanNextImage()) << "enabled up to the record count itself";
    doc->current().currentFrame = 2;
    EXPECT_FALSE(doc->CanNextImage());
}

TEST_F(Navigation, NextImageIsEnabledWhileTheStepLandsOnAFrameOfTheVideo) {
    NewSequence(1);
    OpenVideo("a.avi", 10);
    doc->current().currentFrame = 9;
    EXPECT_TRUE(doc->CanNextImage()) << "the last frame, 10, is one step away";
    EXPECT_TRUE(doc->NextImage(false));
    EXPECT_EQ(doc->current().currentFrame, 10);
    EXPECT_FALSE(doc->CanNextImage());
    EXPECT_FALSE(doc->NextImage(false));
    doc->SetFrameStep(3);
    doc->current().currentFrame = 6;
    EXPECT_TRUE(doc->CanNextImage()) << "6 + 3 = 9 is a frame";
    doc->current().currentFrame = 8;
    EXPECT_FALSE(doc->CanNextImage()) << "8 + 3 = 11 is not";
}

TEST_F(Navigation, JumpsRoundTheEndDownToTheStep) {
    TwoViews();
    doc->SetFrameStep(3);
    doc->OnJumpToEnd();
    EXPECT_EQ(FrameOf(0), 18);
    EXPECT_EQ(FrameOf(1), 0);
    EXPECT_EQ(views.hints.back(), hint::kRedrawFromData);
    doc->OnLockViews();
    doc->OnJumpToEnd();
    EXPECT_EQ(FrameOf(1), 30);
    doc->OnJumpToStart();
    EXPECT_EQ(FrameOf(0), 0);
    EXPECT_EQ(FrameOf(1), 0);
    EXPECT_FALSE(doc->CanJumpToStart());
    EXPECT_TRUE(doc->CanJumpToEnd());
}

TEST_F(Navigation, JumpsNeedAVideoWithMoreThanOneFrame) {
    NewSequence(1);
    doc->current().currentFrame = 3;
    doc->OnJumpToStart();
    EXPECT_EQ(doc->current().currentFrame, 3);
    EXPECT_FALSE(doc->CanJumpToEnd());
}

TEST_F(Navigation, GoToFrameRoundsAndReachesTheLastFrameButNoFurther) {
    TwoViews();
    doc->SetFrameStep(4);
    doc->GoToFrame(10, true);
    EXPECT_EQ(FrameOf(0), 8);
    EXPECT_EQ(views.hints.back(), hint::kNewFrame);
    doc->GoToFrame(17, true);
    EXPECT_EQ(FrameOf(0), 16);
    doc->GoToFrame(20, true);
    EXPECT_EQ(FrameOf(0), 20) << "the last frame, as a step from 16 reaches it";
    doc->GoToFrame(24, true);
    EXPECT_EQ(FrameOf(0), 20) << "beyond the video";
    doc->OnLockViews();
    doc->GoToFrame(28, false);
    EXPECT_EQ(FrameOf(0), 20);
    EXPECT_EQ(FrameOf(1), 28);
}

TEST_F(Navigation, NextUnfinishedImageSkipsCompleteFrames) {
    NewSequence(1);
    OpenVideo("a.avi", 10);
    doc->options.autoAdvance = 0;
    for (int frame = 0; frame < 3; ++frame) {
        doc->GoToFrame(frame, false);
        doc->AddPoint({}, {1, 1}, false);
    }
    doc->GoToFrame(0, false);
    doc->OnNextUnfinishedImage();
    EXPECT_EQ(doc->current().currentFrame, 3);
    doc->OnNextUnfinishedImage();
    EXPECT_EQ(doc->current().currentFrame, 3) << "frame 3 is not complete";
}

TEST_F(Navigation, FrameStepChangeRoundsTheCurrentFrameDown) {
    NewSequence(1);
    OpenVideo("a.avi", 100);
    doc->SetFrameStep(5);
    doc->current().currentFrame = 7;
    doc->SetFrameStep(3);
    EXPECT_EQ(doc->current().currentFrame, 6);
    EXPECT_EQ(doc->current().frameStore.frameStep, 3);
    EXPECT_EQ(doc->FrameSlider().rangeMax, 99);
}

TEST_F(Navigation, ZoomCommandsAndTheirHints) {
    NewSequence(1);
    OpenVideo("a.avi", 10);
    doc->SetZoom(2);
    EXPECT_EQ(doc->current().zoomCode, 2);
    EXPECT_EQ(Source(0).Zoom(), 0.5f);
    EXPECT_EQ(doc->current().frameSize, (FrameSize{160, 120}));
    EXPECT_EQ(views.hints.back(), hint::kRedrawResized);
    doc->SetZoom(4);
    EXPECT_EQ(views.hints.back(), hint::kRedrawFromData);
    doc->ZoomIn();
    EXPECT_EQ(doc->current().zoomCode, 6);  // factor 4
    EXPECT_EQ(views.hints.back(), hint::kRedrawFromData) << "960 pixels high";
    doc->ZoomIn();
    EXPECT_EQ(Source(0).Zoom(), 8.0f);
    EXPECT_EQ(doc->current().zoomCode, 10);
    doc->ZoomIn();
    EXPECT_EQ(Source(0).Zoom(), 16.0f);
    EXPECT_EQ(doc->current().zoomCode, 10) << "16 is not a zoom factor: the code stays";
    doc->ZoomIn();
    EXPECT_EQ(Source(0).Zoom(), 16.0f);
    doc->SetZoom(1);
    doc->ZoomOut();
    EXPECT_EQ(Source(0).Zoom(), 0.25f) << "no zooming out below a quarter";
    doc->SetZoom(3);
    doc->ZoomIn();
    EXPECT_EQ(views.hints.back(), hint::kRedrawResized) << "480 pixels high";
}

TEST_F(Navigation, SyncImageStoresTheCurrentFrame) {
    NewSequence(1);
    doc->current().currentFrame = 12;
    doc->OnSyncImage();
    EXPECT_EQ(doc->current().syncFrame, 12);
    EXPECT_EQ(views.hints.back(), hint::kNewFrame);
}

}  // namespace
}  // namespace kadivo::test
