#include "DocumentFixture.h"
#include "SyntheticCameras.h"
#include "ViewScene.h"

namespace kadivo::test {
namespace {

class Scene : public DocumentFixture {
protected:
    // Two views of the synthetic cameras with their exact parameters; point 0 of frame 0
    // digitized where each camera sees `world`.
    void TwoCalibratedViews(const Point3& world) {
        NewSequence(3);
        doc->modelPoints[0].linkedPoint[0] = 1;
        OpenVideo("a.avi", 20);
        doc->AddCameraView();
        doc->SetCurrentView(1);
        OpenVideo("b.avi", 20);
        doc->dlt = ExactTable({kLeft, kRight});
        doc->dltValid = true;
        for (int v = 0; v < 2; ++v) {
            doc->SetCurrentView(v);
            const auto [u, w] = (v == 0 ? kLeft : kRight).Project(world);
            doc->AddPoint({}, {static_cast<float>(u), static_cast<float>(w)}, false);
        }
    }
};

TEST_F(Scene, ThePointsOfTheFrameWithTheirSegments) {
    NewSequence(3);
    doc->modelPoints[0].linkedPoint[0] = 1;
    doc->modelPoints[1].linkedPoint[0] = 2;
    OpenVideo("a.avi", 20);
    doc->AddPoint({}, {10, 20}, false);
    doc->AddPoint({}, {30, 40}, false);
    ViewScene scene = BuildViewScene(*doc, 0, 320, 240);
    ASSERT_EQ(scene.crosses.size(), 2u);
    EXPECT_EQ(scene.crosses[1].at, (Point2f{30, 40}));
    ASSERT_EQ(scene.segments.size(), 1u) << "point 2 is not digitized yet";
    EXPECT_EQ(scene.segments[0].to, (Point2f{30, 40}));
    EXPECT_TRUE(scene.syncFrame) << "frame 0 is the sync frame of a new view";
    EXPECT_TRUE(scene.guides.empty()) << "no calibration";
    doc->options.autoAdvance = 0;
    doc->MarkPointMissingInFrame();
    scene = BuildViewScene(*doc, 0, 320, 240);
    EXPECT_EQ(scene.crosses.size(), 2u) << "a missing point has no cross";
    EXPECT_EQ(scene.segments.size(), 1u);
}

TEST_F(Scene, CalibrationModeShowsTheCalibrationPointsOnly) {
    NewSequence(3, 4);
    doc->modelPoints[0].linkedPoint[0] = 1;
    OpenVideo("a.avi", 20);
    doc->SwitchToCalibration();
    doc->AddPoint({}, {10, 20}, false);
    doc->AddPoint({}, {30, 40}, false);
    const ViewScene scene = BuildViewScene(*doc, 0, 320, 240);
    EXPECT_EQ(scene.crosses.size(), 2u);
    EXPECT_TRUE(scene.segments.empty());
}

TEST_F(Scene, TheNextPointSeenInAnotherViewGivesItsEpipolarLine) {
    const Point3 world{1.2, 0.8, 1.1};
    TwoCalibratedViews(world);
    // View 1 has point 0; view 0 has it too, so the next point (1) is seen nowhere yet.
    EXPECT_TRUE(BuildViewScene(*doc, 0, 2000, 2000).guides.empty());
    doc->SetCurrentView(1);
    doc->RemoveLastPoint();
    const ViewScene scene = BuildViewScene(*doc, 1, 2000, 2000);
    ASSERT_EQ(scene.guides.size(), 1u);
    EXPECT_EQ(scene.guides[0].sourceView, 0);
    const auto [u, v] = kRight.Project(world);
    ASSERT_EQ(scene.guides[0].path.size(), 2u) << "without a lens the line's two ends";
    const ImagePointD from = scene.guides[0].path.front(), to = scene.guides[0].path.back();
    const ImageLine line{to.y - from.y, from.x - to.x, to.x * from.y - from.x * to.y};
    EXPECT_LT(line.Distance(u, v), 0.5);
}

TEST_F(Scene, AMisclickShowsAsASuspectResidual) {
    const Point3 world{1.0, 1.0, 1.0};
    TwoCalibratedViews(world);
    std::optional<double> residual = PointResidual(*doc, 1, 0);
    ASSERT_TRUE(residual);
    EXPECT_LT(*residual, ViewScene::kSuspectResidual);
    EXPECT_FALSE(BuildViewScene(*doc, 1, 2000, 2000).crosses[0].suspect);
    const Point2f seen = doc->current().frameStore.GetPoint(0, kMovement);
    doc->MovePoint(0, {seen.x + 15.0f, seen.y});
    const ViewScene scene = BuildViewScene(*doc, 1, 2000, 2000);
    EXPECT_TRUE(scene.crosses[0].suspect);
    EXPECT_GT(*scene.crosses[0].residual, ViewScene::kSuspectResidual);
    EXPECT_EQ(PositionReadout({12.345f, 6.5f}, std::nullopt), "12.35/6.50");
    EXPECT_EQ(PositionReadout({1, 2}, 0.25), "1.00/2.00  residual 0.25 px");
}

TEST_F(Scene, TheSyncFramesTieTheViewsTogether) {
    const Point3 world{0.5, 1.5, 0.5};
    TwoCalibratedViews(world);
    doc->views[1].syncFrame = 3;  // view 1's frame 3 is the moment of view 0's frame 0
    EXPECT_FALSE(PointResidual(*doc, 0, 0)) << "view 1 has nothing at its frame 3";
    doc->SetCurrentView(1);
    doc->GoToFrame(3, true);
    const auto [u, v] = kRight.Project(world);
    doc->AddPoint({}, {static_cast<float>(u), static_cast<float>(v)}, false);
    EXPECT_TRUE(PointResidual(*doc, 0, 0));
    EXPECT_TRUE(BuildViewScene(*doc, 1, 2000, 2000).syncFrame);
}

}  // namespace
}  // namespace kadivo::test
