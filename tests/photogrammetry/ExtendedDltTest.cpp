#include "ExtendedDlt.h"
#include "LensDistortion.h"

#include "DemoScene.h"

#include <gtest/gtest.h>


namespace kadivo {
namespace {

using Scene = samples::DemoScene;

constexpr FrameSize kPicture{Scene::kWidth, Scene::kHeight};

// The demo's first camera behind a lens whose principal point and focal length are the
// camera's own: the lens the extended DLT describes.
LensModel DemoLens(double k1, double k2, double p1 = 0.0, double p2 = 0.0) {
    LensModel lens;
    lens.width = Scene::kWidth;
    lens.height = Scene::kHeight;
    lens.fx = lens.fy = 850.0;
    lens.cx = Scene::kWidth / 2.0;
    lens.cy = Scene::kHeight - Scene::kHeight / 2.0;
    lens.k1 = k1;
    lens.k2 = k2;
    lens.p1 = p1;
    lens.p2 = p2;
    lens.source = LensSource::ControlPoints;
    return lens;
}

// Control points spread through a box seen by the demo's first camera: a 3 × 3 × 3 lattice.
std::vector<Point3> Lattice() {
    std::vector<Point3> points;
    for (double x : {0.8, 2.0, 3.2})
        for (double y : {0.0, 0.9, 1.8})
            for (double z : {0.6, 0.0, -0.6}) points.push_back({x, y, z});
    return points;
}

std::vector<ImagePoint> Seen(const LensModel& lens, const std::vector<Point3>& world) {
    const Scene::Camera camera = Scene::Cameras()[0];
    std::vector<ImagePoint> seen;
    for (const Point3& w : world) {
        const Scene::Image ideal = Scene::Project(camera, {w.x, w.y, w.z});
        seen.push_back(PositionOfPicture(lens, DistortPicturePoint(lens, PictureOfPosition(lens, {ideal.u, ideal.v}))));
    }
    return seen;
}

TEST(ExtendedDlt, RecoversTheLensOfExactControlPoints) {
    const std::vector<Point3> world = Lattice();
    const LensModel truth = DemoLens(-0.2, 0.05);
    const std::optional<LensModel> radial =
        SolveLensFromControlPoints(Seen(truth, world), world, static_cast<int>(world.size()), true, LensTerms::Radial, kPicture);
    ASSERT_TRUE(radial);
    EXPECT_NEAR(radial->k1, truth.k1, 1e-6);
    EXPECT_NEAR(radial->k2, truth.k2, 1e-5);
    EXPECT_NEAR(radial->fx, 850.0, 1e-4);
    EXPECT_NEAR(radial->cx, truth.cx, 1e-4);
    EXPECT_NEAR(radial->cy, truth.cy, 1e-4);
    EXPECT_EQ(radial->source, LensSource::ControlPoints);
    EXPECT_EQ(radial->width, Scene::kWidth);

    const LensModel decentred = DemoLens(-0.15, 0.02, 0.002, -0.001);
    const std::optional<LensModel> tangential = SolveLensFromControlPoints(
        Seen(decentred, world), world, static_cast<int>(world.size()), true, LensTerms::RadialAndTangential, kPicture);
    ASSERT_TRUE(tangential);
    EXPECT_NEAR(tangential->k1, decentred.k1, 1e-6);
    EXPECT_NEAR(tangential->p1, decentred.p1, 1e-7);
    EXPECT_NEAR(tangential->p2, decentred.p2, 1e-7);
}

TEST(ExtendedDlt, TooFewPointsOrNoPictureSolveNothing) {
    EXPECT_EQ(ExtendedDltUnknowns(true, LensTerms::Radial), 13);
    EXPECT_EQ(ExtendedDltPointsNeeded(true, LensTerms::Radial), 7);
    EXPECT_EQ(ExtendedDltPointsNeeded(true, LensTerms::RadialAndTangential), 8);
    EXPECT_EQ(ExtendedDltPointsNeeded(false, LensTerms::Radial), 6);
    std::vector<Point3> world = Lattice();
    const std::vector<ImagePoint> seen = Seen(DemoLens(-0.1, 0.0), world);
    EXPECT_FALSE(SolveLensFromControlPoints(seen, world, 6, true, LensTerms::Radial, kPicture));
    EXPECT_TRUE(SolveLensFromControlPoints(seen, world, 7, true, LensTerms::Radial, kPicture));
    EXPECT_FALSE(SolveLensFromControlPoints(seen, world, 27, true, LensTerms::Radial, FrameSize{}));
}

TEST(ExtendedDlt, APlanarViewGetsItsLensCentredOnThePicture) {
    // A wall of 5 × 4 control points seen square on through a lens centred on the picture.
    std::vector<Point3> world;
    std::vector<ImagePoint> seen;
    LensModel truth = DemoLens(0.0, 0.0);
    truth.cx = Scene::kWidth / 2.0;
    truth.cy = Scene::kHeight / 2.0;
    truth.fx = truth.fy = std::hypot(Scene::kWidth, Scene::kHeight) / 2.0;
    truth.k1 = -0.08;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 4; ++j) {
            world.push_back({0.5 * i, 0.5 * j, 0.0});
            const ImagePoint ideal{40.0 + 105.0 * i, 30.0 + 110.0 * j};
            seen.push_back(PositionOfPicture(truth, DistortPicturePoint(truth, PictureOfPosition(truth, ideal))));
        }
    const std::optional<LensModel> lens =
        SolveLensFromControlPoints(seen, world, static_cast<int>(world.size()), false, LensTerms::Radial, kPicture);
    ASSERT_TRUE(lens);
    EXPECT_NEAR(lens->k1, truth.k1, 1e-6);
    EXPECT_DOUBLE_EQ(lens->cx, truth.cx);
}

}  // namespace
}  // namespace kadivo
