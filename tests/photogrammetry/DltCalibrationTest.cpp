#include "CDltCalibration.h"
#include "CalibrateViews.h"
#include "DocumentFixture.h"
#include "SyntheticCameras.h"
#include "TempDir.h"

#include <cmath>

namespace kadivo::test {
namespace {

TEST(DltCalibration, SpatialCamerasReproduceTheirProjectionsWithinQuantisation) {
    const std::vector<Point3> world = CubePoints();
    DltParameterTable table;
    const int p = CDltCalibration(table).Calibrate({Pixels(kLeft, world), Pixels(kRight, world)}, world,
                                                   static_cast<int>(world.size()), 2);
    EXPECT_EQ(p, 11);
    for (int view = 1; view <= 2; ++view) {
        const Camera& camera = view == 1 ? kLeft : kRight;
        for (const Point3& point : world) {
            const auto [u, v] = ProjectDlt(table, view, point);
            const auto [tu, tv] = camera.Project(point);
            EXPECT_NEAR(u, tu, 1.5);
            EXPECT_NEAR(v, tv, 1.5);
        }
        EXPECT_LT(table.Residual(view), 1.0);
        EXPECT_GT(table.Residual(view), 0.0) << "truncation leaves some residual";
    }
    EXPECT_EQ(table.GetParameter(12, 1), 0.0);
    EXPECT_EQ(table.GetParameter(1, 3), 0.0);
}

TEST(DltCalibration, PlanarCameraFromOneView) {
    // A planar homography and a 3×3 grid in the plane Z = 0; Z of the points is ignored.
    const double l[9] = {0, 200.0, 12.0, 50.0, -8.0, 190.0, 40.0, 0.01, -0.02};
    std::vector<Point3> world;
    std::vector<ImagePoint> pixels;
    for (double x : {0.0, 1.0, 2.0}) {
        for (double y : {0.0, 1.0, 2.0}) {
            world.push_back({x, y, 5.0});
            const double d = l[7] * x + l[8] * y + 1.0;
            pixels.push_back({std::trunc((l[1] * x + l[2] * y + l[3]) / d), std::trunc((l[4] * x + l[5] * y + l[6]) / d)});
        }
    }
    DltParameterTable table;
    EXPECT_EQ(CDltCalibration(table).Calibrate({pixels}, world, 9, 1), 8);
    for (std::size_t i = 0; i < world.size(); ++i) {
        const auto [u, v] = ProjectDlt(table, 1, world[i]);
        EXPECT_NEAR(u, pixels[i].x, 1.0);
        EXPECT_NEAR(v, pixels[i].y, 1.0);
    }
    EXPECT_EQ(table.GetParameter(9, 1), 0.0) << "L9 does not exist in a planar calibration";
    const auto rows = DltParameterRows(table, 1);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[0].first, "L1");
    EXPECT_EQ(rows[7].first, "L8");
    EXPECT_EQ(rows[8].first, "RMS");
}

TEST(DltCalibration, DegenerateControlPointsAreToldApartFromGoodOnes) {
    const std::vector<Point3> cube = CubePoints();
    EXPECT_FALSE(DltSystemIsDegenerate(Pixels(kLeft, cube), cube, static_cast<int>(cube.size()), true));
    // Coplanar points cannot fix the 11-parameter DLT; they do fix the planar one.
    std::vector<Point3> plane;
    for (double x : {0.0, 1.0, 2.0})
        for (double y : {0.0, 1.0, 2.0}) plane.push_back({x, y, 0.0});
    const int n = static_cast<int>(plane.size());
    EXPECT_TRUE(DltSystemIsDegenerate(Pixels(kLeft, plane), plane, n, true));
    EXPECT_FALSE(DltSystemIsDegenerate(Pixels(kLeft, plane), plane, n, false));
    // Collinear and identical points fix neither.
    std::vector<Point3> line, same(6, Point3{1, 1, 1});
    for (int i = 0; i < 6; ++i) line.push_back({0.5 * i, 0.25 * i, 0.0});
    EXPECT_TRUE(DltSystemIsDegenerate(Pixels(kLeft, line), line, 6, false));
    EXPECT_TRUE(DltSystemIsDegenerate(Pixels(kLeft, same), same, 6, false));
    // Too few points for the parameters.
    EXPECT_TRUE(DltSystemIsDegenerate(Pixels(kLeft, cube), cube, 5, true));
    // The calibration of such points reports a perfect fit all the same: hence the check.
    DltParameterTable table;
    CDltCalibration(table).Calibrate({Pixels(kLeft, same)}, same, 6, 1);
    EXPECT_LT(table.Residual(1), 1e-6);
}

class CalibrateViewsTest : public DocumentFixture {
protected:
    void SetUp() override {
        NewSequence(2, 4);
        InstallCalibrationSteps(doc->steps);
    }
    void DigitizeCalibration(int view, const std::vector<Point2f>& points) {
        doc->SetCurrentView(view);
        doc->SwitchToCalibration();
        for (Point2f p : points) doc->AddPoint({}, p, false);
        doc->SwitchToMovement();
    }
};

TEST_F(CalibrateViewsTest, OneCompleteViewGetsEightParametersEvenWithAFrameProfile) {
    doc->calibrationType = 1;
    doc->calibrationPoints = {{0, 0, 0}, {1, 0, 3}, {1, 1, 3}, {0, 1, 0}, {}};
    DigitizeCalibration(0, {{100.9f, 100}, {200, 100}, {200, 200}, {-0.5f, 200}});
    EXPECT_TRUE(doc->current().frameStore.calibrationDirty);
    CalibrateViews(*doc);
    EXPECT_TRUE(doc->dltValid);
    EXPECT_EQ(doc->dlt.parameterCount, 8);
    EXPECT_FALSE(doc->current().frameStore.calibrationDirty);
    // Truncation toward zero: 100.9 → 100 and −0.5 → 0, so (0,0) maps to (100,100), (0,1) to (0,200).
    const auto [u0, v0] = ProjectDlt(doc->dlt, 1, {0, 0, 0});
    EXPECT_NEAR(u0, 100.0, 1e-6);
    EXPECT_NEAR(v0, 100.0, 1e-6);
    const auto [u3, v3] = ProjectDlt(doc->dlt, 1, {0, 1, 0});
    EXPECT_NEAR(u3, 0.0, 1e-6);
    EXPECT_NEAR(v3, 200.0, 1e-6);
}

TEST_F(CalibrateViewsTest, PostureRuleDerivesTheFrameFromTheSubjectHeight) {
    doc->calibrationType = 0;
    doc->calibrationPoints = {{}, {}, {}, {0, 1.8, 0}, {}};
    DigitizeCalibration(0, {{300, 100}, {250, 400}, {350, 999}, {300, 700}});
    CalibrateViews(*doc);
    const double h = (400.0 - 100.0) * 1.8 / (700.0 - 100.0);
    EXPECT_EQ(doc->calibrationPoints[1], (Point3{-0.9, h, 0}));
    EXPECT_EQ(doc->calibrationPoints[2], (Point3{0.9, h, 0}));
    EXPECT_EQ(doc->calibrationPoints[3], (Point3{0, 1.8, 0}));
    EXPECT_TRUE(doc->dltValid);
}

TEST_F(CalibrateViewsTest, PostureWithTheFirstAndFourthPointLevelLeavesTheCalibrationAlone) {
    doc->calibrationType = 0;
    doc->calibrationPoints = {{}, {}, {}, {0, 1.8, 0}, {}};
    DigitizeCalibration(0, {{300, 100}, {250, 400}, {350, 400}, {300, 100}});
    CalibrateViews(*doc);
    EXPECT_FALSE(doc->dltValid);
    EXPECT_TRUE(doc->dlt.empty());
    EXPECT_EQ(doc->calibrationPoints[3], (Point3{0, 1.8, 0}));
    EXPECT_TRUE(PosturePointsLevel(*doc)) << "which the command line says";
    doc->calibrationType = 2;
    EXPECT_FALSE(PosturePointsLevel(*doc)) << "only the posture method scales by the rows";
}

TEST_F(CalibrateViewsTest, SeveralViewsCalibrateOnlyWhenAllAreComplete) {
    doc->calibrationPointCount = 8;
    doc->calibrationType = 1;
    std::vector<Point3> world = CubePoints();
    world.resize(8);
    doc->calibrationPoints = world;
    doc->calibrationPoints.push_back({});
    for (CameraView& view : doc->views) view.frameStore.calibrationPointCount = 8;
    doc->AddCameraView();
    doc->AddCameraView();
    auto digitize = [&](int view, const Camera& camera) {
        std::vector<Point2f> points;
        for (ImagePoint p : Pixels(camera, world)) points.push_back({static_cast<float>(p.x), static_cast<float>(p.y)});
        DigitizeCalibration(view, points);
    };
    digitize(0, kLeft);
    digitize(1, kRight);
    CalibrateViews(*doc);
    EXPECT_FALSE(doc->dltValid) << "two of three complete: nothing, silently";
    digitize(2, kLeft);
    CalibrateViews(*doc);
    EXPECT_TRUE(doc->dltValid);
    EXPECT_EQ(doc->dlt.parameterCount, 11);
    EXPECT_EQ(doc->dlt.viewCount, 3);
}

TEST_F(CalibrateViewsTest, WithoutAProfileTheTransformAsksForOne) {
    InstallCalibrationSteps(doc->steps);
    doc->calibrationPoints.clear();
    prompts.ExpectQuestion("The Calibration Profile has not been Selected.\nSelect one Now ?", Answer::No);
    doc->OnTransformImageData();
    EXPECT_EQ(prompts.askedButtons.back(), Buttons::YesNoCancel);
    EXPECT_TRUE(prompts.shownSheets.empty());
    prompts.ExpectQuestion("The Calibration Profile has not been Selected.\nSelect one Now ?", Answer::Yes);
    doc->OnTransformImageData();
    ASSERT_EQ(prompts.shownSheets.size(), 1u);
    EXPECT_EQ(prompts.shownSheets[0].startPage, 0);
}

TEST_F(CalibrateViewsTest, OpeningASingleCalibratedViewCalibratesIt) {
    doc->calibrationPoints = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {}};
    DigitizeCalibration(0, {{100, 100}, {200, 100}, {200, 200}, {100, 200}});
    TempDir dir;
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("calibrated.kdv")));
    auto reopened = std::make_unique<CKadivoDoc>(prompts, videos.Factory());
    InstallCalibrationSteps(reopened->steps);
    ASSERT_TRUE(reopened->OnOpenDocument(dir.Path("calibrated.kdv")));
    EXPECT_TRUE(reopened->dltValid);
    EXPECT_EQ(reopened->dlt.parameterCount, 8);
    const auto [u, v] = ProjectDlt(reopened->dlt, 1, {1, 1, 0});
    EXPECT_NEAR(u, 200.0, 1e-6);
    EXPECT_NEAR(v, 200.0, 1e-6);
}

}  // namespace
}  // namespace kadivo::test
