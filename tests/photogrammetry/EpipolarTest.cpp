#include "CalibrationReport.h"
#include "DocumentFixture.h"
#include "Epipolar.h"
#include "SyntheticCameras.h"
#include "WorldCompletion.h"

#include <random>

namespace kadivo::test {
namespace {

TEST(Epipolar, ThePointsTrueImageLiesOnItsEpipolarLine) {
    const DltParameterTable table = ExactTable({kLeft, kRight});
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-0.5, 2.5);
    for (int i = 0; i < 200; ++i) {
        const Point3 world{coordinate(random), coordinate(random), coordinate(random)};
        const auto [u, v] = kLeft.Project(world);
        const std::optional<ImageLine> line = EpipolarLine(table, 1, u, v, 2);
        ASSERT_TRUE(line);
        const auto [tu, tv] = kRight.Project(world);
        EXPECT_LT(line->Distance(tu, tv), 0.5) << "point " << i;
        // And the other way round.
        const std::optional<ImageLine> back = EpipolarLine(table, 2, tu, tv, 1);
        ASSERT_TRUE(back);
        EXPECT_LT(back->Distance(u, v), 0.5);
    }
}

TEST(Epipolar, OnlyBetweenTwoSpatialViews) {
    DltParameterTable table = ExactTable({kLeft, kRight});
    EXPECT_FALSE(EpipolarLine(table, 1, 10, 10, 1));
    EXPECT_FALSE(EpipolarLine(table, 1, 10, 10, 3));
    table.parameterCount = 8;
    EXPECT_FALSE(EpipolarLine(table, 1, 10, 10, 2));
}

TEST(Epipolar, LinesAreClippedToTheFrame) {
    const auto diagonal = ClipToFrame({1.0, -1.0, 0.0}, 640, 360);  // y = x
    ASSERT_TRUE(diagonal);
    EXPECT_NEAR(std::min(diagonal->first.x, diagonal->second.x), 0.0, 1e-9);
    EXPECT_NEAR(std::max(diagonal->first.x, diagonal->second.x), 360.0, 1e-9);
    const auto level = ClipToFrame({0.0, 1.0, -100.0}, 640, 360);  // y = 100
    ASSERT_TRUE(level);
    EXPECT_NEAR(std::abs(level->first.x - level->second.x), 640.0, 1e-9);
    EXPECT_FALSE(ClipToFrame({0.0, 1.0, -400.0}, 640, 360)) << "above the frame";
}

TEST(Epipolar, TheResidualShowsAMisclick) {
    const DltParameterTable table = ExactTable({kLeft, kRight});
    const Point3 world{1.0, 0.5, 1.5};
    const auto [lu, lv] = kLeft.Project(world);
    const auto [ru, rv] = kRight.Project(world);
    const Point2f left{static_cast<float>(lu), static_cast<float>(lv)};
    const Point2f right{static_cast<float>(ru), static_cast<float>(rv)};
    const std::vector<ViewPositions> truncated(2, ViewPositions(false, std::nullopt));
    const std::optional<double> good = ReconstructionResidual(table, {{1, left}, {2, right}}, truncated);
    ASSERT_TRUE(good);
    EXPECT_LT(*good, 1.5) << "pixel truncation only";
    const std::optional<double> bad = ReconstructionResidual(table, {{1, left}, {2, {right.x + 12.0f, right.y}}}, truncated);
    ASSERT_TRUE(bad);
    EXPECT_GT(*bad, 3.0);
    EXPECT_FALSE(ReconstructionResidual(table, {{1, left}}, truncated)) << "one view";
}

class CalibrationReportTest : public DocumentFixture {};

TEST_F(CalibrationReportTest, ADisplacedControlPointComesOutWorst) {
    const std::vector<Point3> world = CubePoints();
    NewSequence(2, static_cast<int>(world.size()));
    InstallSequenceSteps(doc->steps);
    doc->calibrationType = 1;
    doc->calibrationPoints = world;
    doc->calibrationPoints.push_back({});
    doc->AddCameraView();
    for (int v = 0; v < 2; ++v) {
        ViewFrameStore& store = doc->views[static_cast<std::size_t>(v)].frameStore;
        const std::vector<ImagePoint> pixels = Pixels(v == 0 ? kLeft : kRight, world);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            store.calibrationRecord.imagePos[i] = {static_cast<float>(pixels[i].x), static_cast<float>(pixels[i].y)};
            if (v == 1 && i == 7) store.calibrationRecord.imagePos[i].x += 5.0f;  // a mis-click of 5 px
        }
        store.calibrationRecord.digitizedCount = static_cast<int>(pixels.size());
    }
    doc->steps.calibrateViews(*doc);
    ASSERT_EQ(doc->dlt.parameterCount, 11);
    const std::vector<ControlPointError> report = CalibrationReport(*doc, 2);
    ASSERT_EQ(report.size(), world.size());
    EXPECT_EQ(report.front().point, 7);
    EXPECT_GT(report.front().leaveOneOut, 3.0);
    EXPECT_GE(report.front().leaveOneOut, report.back().leaveOneOut);
    EXPECT_EQ(ControlPointErrorLine({7, 1.2345, 6.5}), "point 8\treprojection 1.234 px\tleave-one-out 6.500 px");
    EXPECT_TRUE(CalibrationReport(*doc, 3).empty());
}

}  // namespace
}  // namespace kadivo::test
