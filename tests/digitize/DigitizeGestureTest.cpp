#include "DigitizeGesture.h"
#include "DigitizingWindowValues.h"

#include <gtest/gtest.h>

namespace kadivo::test {
namespace {

TEST(ViewGeometryTest, WindowPointsBecomeFrameCoordinatesAndBack) {
    const ViewGeometry zoomed{2.0f, 0, 0, 480, {}};
    EXPECT_EQ(zoomed.ToFrame({100, 50}), (Point2f{50, 215})) << "zoom 2, a frame displayed 480 high";
    const ViewGeometry scrolled{1.0f, 30, 20, 576, {}};
    EXPECT_EQ(scrolled.ToFrame({10, 100}), (Point2f{40, 456}));
    for (const ViewGeometry& g : {zoomed, scrolled, ViewGeometry{0.5f, 4, 8, 288, {}}}) {
        const WindowPoint back = g.ToWindow(g.ToFrame({123, 77}));
        EXPECT_DOUBLE_EQ(back.x, 123);
        EXPECT_DOUBLE_EQ(back.y, 77);
    }
}

TEST(ViewGeometryTest, AnUndistortedFrameShowsPointsWhereTheLensCorrectionPutsThem) {
    const LensModel barrel{300.0, 300.0, 160.0, 120.0, -0.3, 0.05, 0.0, 0.001, 0.0, 320, 240, LensSource::Checkerboard};
    const ViewGeometry plain{2.0f, 10, 5, 480, {}};
    const ViewGeometry undistorted{2.0f, 10, 5, 480, barrel};
    // A corner point moves outwards, the principal point stays; every window point comes back.
    const Point2f corner{300.0f, 220.0f};
    EXPECT_GT(undistorted.ToWindow(corner).x, plain.ToWindow(corner).x + 5.0);
    const Point2f centre{160.0f, 120.0f};
    EXPECT_NEAR(undistorted.ToWindow(centre).x, plain.ToWindow(centre).x, 1e-3);
    for (const WindowPoint w : {WindowPoint{0, 0}, WindowPoint{300, 200}, WindowPoint{13.5, 401.25}}) {
        const WindowPoint back = undistorted.ToWindow(undistorted.ToFrame(w));
        EXPECT_NEAR(back.x, w.x, 1e-3);
        EXPECT_NEAR(back.y, w.y, 1e-3);
    }
}

TEST(ViewGeometryTest, TheDragIsDividedByTheSneakZoomFactor) {
    const ViewGeometry g{1.0f, 0, 0, 240, {}};
    EXPECT_EQ(SneakZoomFactor(25), 4);
    EXPECT_EQ(SneakZoomFactor(33), 3);
    EXPECT_EQ(SneakZoomFactor(100), 1);
    // 8 window pixels right and 4 down move the point 2 right and 1 down from the press point.
    EXPECT_EQ(DigitizedPosition(g, {100, 100}, {108, 104}, 25), (Point2f{102, 139}));
    EXPECT_EQ(DigitizedPosition(g, {100, 100}, {100, 100}, 25), g.ToFrame({100, 100})) << "a quick click lands where pressed";
    EXPECT_EQ(DigitizedPosition(g, {100, 100}, {110, 100}, 10), (Point2f{101, 140}));
}

TEST(PointToEditTest, TheHighestIndexWithinCityBlockFourWins) {
    const std::vector<Point2f> points{{100, 100}, {102, 101}, {200, 200}, {103.9f, 100}};
    EXPECT_EQ(PointToEdit(points, {101.5f, 100.2f}), 3) << "|dx| + |dy| of 2, 1 and 2 after truncation";
    EXPECT_EQ(PointToEdit(points, {96, 100}), 0);
    EXPECT_EQ(PointToEdit(points, {95, 100}), -1) << "five away is too far";
    EXPECT_EQ(PointToEdit(points, {150, 150}), -1);
}

class Gesture : public ::testing::Test {
protected:
    DigitizeGesture gesture;
    DigitizeGesture::Situation situation;
    void SetUp() override {
        situation.hasVideo = true;
        situation.geometry = {1.0f, 0, 0, 240, {}};
        situation.points = {{50, 190}};
    }
};

TEST_F(Gesture, PressesAreIgnoredWithoutVideoOrWhileAutomatic) {
    situation.hasVideo = false;
    EXPECT_FALSE(gesture.Press({10, 10}, {}, situation).startHoldTimer);
    EXPECT_EQ(gesture.kind(), DigitizeGesture::Kind::None);
    situation.hasVideo = true;
    situation.automatic = true;
    gesture.Press({10, 10}, {}, situation);
    EXPECT_EQ(gesture.kind(), DigitizeGesture::Kind::None);
    EXPECT_FALSE(gesture.Release({10, 10}).digitize);
}

TEST_F(Gesture, HoldThenReleaseDigitizesAndTheTimerShowsTheMagnifier) {
    EXPECT_TRUE(gesture.Press({100, 100}, {}, situation).startHoldTimer);
    EXPECT_EQ(gesture.kind(), DigitizeGesture::Kind::Hold);
    const auto fired = gesture.HoldTimerFired();
    EXPECT_TRUE(fired.stopHoldTimer);
    EXPECT_TRUE(fired.showMagnifier);
    const auto released = gesture.Release({108, 104});
    EXPECT_TRUE(released.hideMagnifier);
    ASSERT_TRUE(released.digitize);
    EXPECT_EQ(*released.digitize, (Point2f{102, 139}));
}

TEST_F(Gesture, TheTestsOfAPressComeInTheirOrder) {
    gesture.Press({10, 10}, {true, true}, situation);
    EXPECT_EQ(gesture.kind(), DigitizeGesture::Kind::RangeOfInterest) << "Ctrl+Shift";
    gesture.Press({10, 10}, {true, false}, situation);
    EXPECT_EQ(gesture.kind(), DigitizeGesture::Kind::Pan);
    gesture.Press({51, 51}, {false, true}, situation);
    EXPECT_EQ(gesture.kind(), DigitizeGesture::Kind::Edit) << "Shift on a frame with points";
    gesture.Press({150, 150}, {false, true}, situation);
    EXPECT_EQ(gesture.kind(), DigitizeGesture::Kind::None) << "Shift far from every point ends at once";
    situation.frameComplete = true;
    gesture.Press({150, 150}, {}, situation);
    EXPECT_EQ(gesture.kind(), DigitizeGesture::Kind::Pan) << "a complete frame pans where nothing is near";
    EXPECT_FALSE(gesture.Release({150, 150}).digitize) << "a click on a complete frame never adds";
    situation.rangeRequested = true;
    gesture.Press({150, 150}, {}, situation);
    EXPECT_EQ(gesture.kind(), DigitizeGesture::Kind::RangeOfInterest) << "after Define";
}

TEST_F(Gesture, EditingMovesThePointAndStoresItAtRelease) {
    situation.frameComplete = true;
    gesture.Press({52, 49}, {}, situation);
    ASSERT_EQ(gesture.kind(), DigitizeGesture::Kind::Edit);
    EXPECT_EQ(gesture.editIndex(), 0);
    EXPECT_EQ(*gesture.Move({60, 60}).movePoint, (Point2f{60, 180}));
    EXPECT_EQ(*gesture.Release({70, 60}).storePoint, (Point2f{70, 180}));
}

TEST_F(Gesture, PanningScrollsByTheMouseMovementAndTheRangeIsOrdered) {
    gesture.Press({100, 100}, {true, false}, situation);
    const auto moved = gesture.Move({90, 105});
    EXPECT_EQ(moved.scrollBy, (WindowPoint{10, -5}));
    gesture.Release({90, 105});
    gesture.Press({200, 50}, {true, true}, situation);
    const auto range = gesture.Release({20, 150});
    ASSERT_TRUE(range.rangeOfInterest);
    EXPECT_EQ(*range.rangeOfInterest, (FrameRect{20, 190, 200, 90}));
    EXPECT_TRUE(range.rangeModeEnds);
}

TEST(DigitizingWindowValuesTest, TheNamedValuesAreReadAndWrittenAndTheRestKept) {
    DigitizingWindowState state;
    state.values[5] = 77;  // a display word
    state.values[DigitizingWindowValues::kCameraIndex] = 2;
    DigitizingWindowValues values = DigitizingWindowValues::From(state);
    EXPECT_EQ(values.sneakZoomPercentage, 25);
    EXPECT_EQ(values.cameraIndex, 2);
    values.sneakZoomPercentage = 10;
    values.rangeOfInterest = {1, 200, 300, 4};
    const DigitizingWindowState written = values.WriteInto(state);
    EXPECT_EQ(written.values[1], 10);
    EXPECT_EQ(written.values[2], 10);
    EXPECT_EQ(written.values[5], 77);
    EXPECT_EQ(written.values[29], 1);
    EXPECT_EQ(written.values[26], 4);
    EXPECT_EQ(DigitizingWindowValues::From(written).rangeOfInterest, (FrameRect{1, 200, 300, 4}));
    state.values[1] = 0;
    EXPECT_EQ(DigitizingWindowValues::From(state).sneakZoomPercentage, 25) << "a percentage of 0 would divide by zero";
}

}  // namespace
}  // namespace kadivo::test
