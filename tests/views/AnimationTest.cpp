// The animation window's state and the scene of a frame, without a widget or GL.

#include "AnimationScene.h"
#include "AnimationState.h"
#include "DocumentFixture.h"
#include "WorldCompletion.h"

namespace kadivo::test {
namespace {

TEST(AnimationPlaying, TheTimerPeriodIsTruncatedAndFramesGoRound) {
    AnimationState state{AnimationWindowState{}};
    EXPECT_EQ(state.TimerPeriod(), 33);
    state.record().speed = 7;
    EXPECT_EQ(state.TimerPeriod(), 142);
    state.record().speed = 0;  // a hostile file
    EXPECT_EQ(state.TimerPeriod(), 1000);

    state.PlayFromStart();
    std::vector<int> shown{state.animFrame()};
    for (int tick = 0; tick < 5; ++tick) {
        state.Tick(4);
        shown.push_back(state.animFrame());
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 0, 1}));
    state.TogglePause();
    EXPECT_EQ(state.play(), AnimationState::Play::Paused);
    state.TogglePause();
    EXPECT_EQ(state.play(), AnimationState::Play::Playing);
    state.Stop();
    EXPECT_EQ(state.animFrame(), 1) << "Stop keeps the frame";
    state.TogglePause();
    EXPECT_EQ(state.play(), AnimationState::Play::Stopped);
}

TEST(AnimationMouse, RotateZoomAndShift) {
    AnimationState state{AnimationWindowState{}};
    EXPECT_FALSE(state.Move(10, 10)) << "no button held";
    state.Press(100, 300);
    state.Move(100, 100);  // 200 pixels up
    EXPECT_EQ(state.record().rotX, -400.0) << "not wrapped: only 360 and more start again";
    state.Move(130, 280);  // 180 down, 30 right
    EXPECT_EQ(state.record().rotX, -40.0);
    EXPECT_EQ(state.record().rotY, 60.0);
    EXPECT_EQ(state.ReadOut(), "X:-40\u00B0/Y:60\u00B0");
    state.Move(280, 280);  // 150 right: 360
    EXPECT_EQ(state.record().rotY, 0.0);

    state.SetDragMode(AnimationState::DragMode::Zoom);
    state.Move(280, 300);
    EXPECT_DOUBLE_EQ(state.record().distance, -11.0);
    state.SetDragMode(AnimationState::DragMode::Shift);
    state.Move(580, 250);
    EXPECT_FLOAT_EQ(state.record().panX, 2.0f) << "kept within ±2";
    EXPECT_FLOAT_EQ(state.record().panY, 0.5f);
    state.Release();
    EXPECT_FALSE(state.Move(600, 600));

    state.ResetOrientation();
    EXPECT_EQ(state.record().rotX, 0.0);
    EXPECT_EQ(state.record().distance, -10.0);
    EXPECT_FLOAT_EQ(state.record().panX, 2.0f) << "the shift stays";
}

// A model of three points in a line, world data of `frames` frames.
class AnimationDocument : public DocumentFixture {
protected:
    void Build(int frames) {
        NewSequence(3);
        doc->modelPoints[0].linkedPoint[0] = 1;
        doc->modelPoints[1].linkedPoint[0] = 2;
        doc->modelPoints[1].side = kSideLeft;
        doc->modelPoints[2].side = kSideNone;
        doc->modelPoints[0].side = kSideRight;
        OpenVideo("a.avi", frames - 1);
        doc->worldFrameCount = frames;
        doc->worldFiltered = WorldData(frames, 4);
        doc->worldRaw = WorldData(frames, 4);
        for (int f = 0; f < frames; ++f)
            for (int p = 0; p < 4; ++p) {
                doc->worldFiltered[f][p] = {double(p), double(f), 0.0};
                doc->worldRaw[f][p] = {double(p), double(f), 1.0};
            }
        doc->worldExtent.minimum.y = -0.5;
    }
};

TEST_F(AnimationDocument, TheFrameShownFollowsTheDocumentUnlessPlaying) {
    Build(10);
    AnimationState state{AnimationWindowState{}};
    EXPECT_EQ(state.FrameToShow(*doc), std::optional<int>(0)) << "no record yet";
    doc->GoToFrame(6, false);
    DigitizeFrame();
    doc->GoToFrame(6, false);
    doc->current().syncFrame = 2;
    EXPECT_EQ(state.FrameToShow(*doc), std::optional<int>(4));
    state.PlayFromStart();
    for (int tick = 0; tick < 7; ++tick) state.Tick(10);
    EXPECT_EQ(state.FrameToShow(*doc), std::optional<int>(7));
    state.Stop();
    doc->current().syncFrame = 8;
    EXPECT_EQ(state.FrameToShow(*doc), std::nullopt) << "before the world data";
}

TEST_F(AnimationDocument, TheSceneOfAFrame) {
    Build(5);
    AnimationWindowState options;
    options.jointColor = 0x0000FF;  // red
    AnimationScene scene = BuildAnimationScene(*doc, options, 3);
    ASSERT_EQ(scene.joints.size(), 4u) << "three points and the centre of gravity";
    EXPECT_EQ(scene.joints[1].at, (Point3{1, 3, 0}));
    EXPECT_EQ(scene.joints[0].colour, (AnimationScene::Colour{1, 0, 0}));
    EXPECT_EQ(scene.joints[3].colour, kCentreOfGravityColour);
    ASSERT_EQ(scene.segments.size(), 2u);
    EXPECT_EQ(scene.segments[1].from, (Point3{1, 3, 0}));
    EXPECT_EQ(scene.segments[1].to, (Point3{2, 3, 0}));
    EXPECT_EQ(scene.floorHeight, -0.5);
    EXPECT_EQ(scene.style, AnimationScene::Style::Solid);

    options.useUnfiltered = 1;
    options.extrudeLeft = 1;
    options.showCenterOfGravity = 0;
    options.segmentStyle = 2;
    scene = BuildAnimationScene(*doc, options, 3);
    ASSERT_EQ(scene.joints.size(), 3u);
    EXPECT_DOUBLE_EQ(scene.joints[0].at.z, 1.0) << "right side stays";
    EXPECT_DOUBLE_EQ(scene.joints[1].at.z, 1.3) << "left side forward";
    EXPECT_DOUBLE_EQ(scene.joints[2].at.z, 1.15) << "no side between";
    EXPECT_EQ(scene.style, AnimationScene::Style::Line);

    EXPECT_TRUE(BuildAnimationScene(*doc, options, 5).joints.empty()) << "past the world data";
}

TEST_F(AnimationDocument, AMissingPointGoesWithItsSegmentsWhenMissingPointsAreHidden) {
    Build(5);
    doc->GoToFrame(2, false);
    doc->AddPoint({0, 0}, {10, 10}, false);
    doc->AddPoint({0, 0}, kNoPosition, false);  // point 1 missing
    doc->AddPoint({0, 0}, {30, 10}, false);
    AnimationWindowState options;
    EXPECT_EQ(BuildAnimationScene(*doc, options, 2).segments.size(), 2u) << "shown by default";
    options.showMissing = 0;
    const AnimationScene scene = BuildAnimationScene(*doc, options, 2);
    ASSERT_EQ(scene.joints.size(), 3u);
    EXPECT_EQ(scene.joints[0].at, (Point3{0, 2, 0}));
    EXPECT_EQ(scene.joints[1].at, (Point3{2, 2, 0}));
    EXPECT_TRUE(scene.segments.empty()) << "both segments touch the missing point";
    EXPECT_EQ(BuildAnimationScene(*doc, options, 1).segments.size(), 2u) << "another frame";
}

TEST_F(AnimationDocument, WhatNoViewsSolvedIsNotDrawnEvenWithMissingPointsShown) {
    Build(5);
    doc->worldFiltered[3][1] = kMissingWorldPoint;
    doc->worldFiltered[3][doc->pointCount] = kMissingWorldPoint;
    const AnimationScene scene = BuildAnimationScene(*doc, AnimationWindowState{}, 3);
    ASSERT_EQ(scene.joints.size(), 2u) << "no centre of gravity, no point 1";
    EXPECT_NE(scene.joints[1].colour, kCentreOfGravityColour);
    EXPECT_TRUE(scene.segments.empty());
}

}  // namespace
}  // namespace kadivo::test
