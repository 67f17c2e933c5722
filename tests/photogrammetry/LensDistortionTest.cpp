#include "LensDistortion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kadivo {
namespace {

LensModel Lens(double k1, double k2 = 0.0, double k3 = 0.0, double p1 = 0.0, double p2 = 0.0) {
    LensModel lens;
    lens.width = 1280;
    lens.height = 720;
    lens.fx = 1400.0;
    lens.fy = 1390.0;
    lens.cx = 652.0;
    lens.cy = 351.0;
    lens.k1 = k1;
    lens.k2 = k2;
    lens.k3 = k3;
    lens.p1 = p1;
    lens.p2 = p2;
    return lens;
}

// The largest distance over a dense grid of the picture, corners and edges included, between
// a picture point and the distortion of its correction.
double WorstRoundTrip(const LensModel& lens) {
    double worst = 0.0;
    for (int row = 0; row <= 72; ++row)
        for (int column = 0; column <= 128; ++column) {
            const PicturePoint seen{column * lens.width / 128.0, row * lens.height / 72.0};
            const std::optional<PicturePoint> ideal = UndistortPicturePoint(lens, seen);
            if (!ideal) return HUGE_VAL;
            const PicturePoint back = DistortPicturePoint(lens, *ideal);
            worst = std::max(worst, std::hypot(back.u - seen.u, back.v - seen.v));
        }
    return worst;
}

TEST(LensDistortion, CorrectionInvertsTheLensEverywhereInThePicture) {
    for (double k1 = -0.4; k1 <= 0.2001; k1 += 0.05) EXPECT_LT(WorstRoundTrip(Lens(k1)), 1e-3) << "k1 = " << k1;
    // An action camera's barrel lens: strong, with higher orders and a decentred element.
    EXPECT_LT(WorstRoundTrip(Lens(-0.38, 0.16, -0.03, 0.001, -0.0015)), 1e-3);
    EXPECT_LT(WorstRoundTrip(Lens(0.12, -0.05, 0.0, -0.002, 0.003)), 1e-3);
}

// The fast correction that positions go through agrees with the full solve on a grid four
// times denser than its own, off its nodes, and beyond the picture.
TEST(LensDistortion, TheTabulatedCorrectionAgreesWithTheFullSolve) {
    // A lens whose fold lies inside the picture: its corners have no correction.
    LensModel folding = Lens(-0.4);
    folding.fx = folding.fy = 500.0;
    for (const LensModel& lens : {Lens(-0.4), Lens(0.2), Lens(-0.38, 0.16, -0.03, 0.001, -0.0015), Lens(0.12, -0.05, 0.0, -0.002, 0.003), folding}) {
        const LensCorrection correction(lens);
        double worst = 0.0;
        for (double v = -3.3; v <= lens.height + 3.0; v += 1.9)
            for (double u = -2.7; u <= lens.width + 3.0; u += 1.9) {
                const std::optional<PicturePoint> fast = correction.Undistort({u, v}), full = UndistortPicturePoint(lens, {u, v});
                ASSERT_EQ(fast.has_value(), full.has_value()) << u << ", " << v;
                if (fast) worst = std::max(worst, std::hypot(fast->u - full->u, fast->v - full->v));
            }
        EXPECT_LT(worst, 1e-3) << "k1 = " << lens.k1;
    }
    EXPECT_EQ(CorrectionFor(Lens(-0.1)).get(), CorrectionFor(Lens(-0.1)).get()) << "one table a lens";
}

TEST(LensDistortion, IdealPointsComeBackWhereTheyWere) {
    const LensModel lens = Lens(-0.25, 0.08, 0.0, 0.0008, 0.0004);
    for (double u : {0.0, 100.5, 640.25, 1279.0})
        for (double v : {0.0, 333.3, 719.0}) {
            const PicturePoint shown = DistortPicturePoint(lens, {u, v});
            const std::optional<PicturePoint> ideal = UndistortPicturePoint(lens, shown);
            ASSERT_TRUE(ideal);
            EXPECT_NEAR(ideal->u, u, 1e-6);
            EXPECT_NEAR(ideal->v, v, 1e-6);
        }
    // At the principal point the lens changes nothing.
    const PicturePoint centre = DistortPicturePoint(lens, {lens.cx, lens.cy});
    EXPECT_DOUBLE_EQ(centre.u, lens.cx);
    EXPECT_DOUBLE_EQ(centre.v, lens.cy);
}

TEST(LensDistortion, BeyondTheFoldThereIsNoCorrection) {
    // r(1 − 0.4 r²) is largest at r = 0.913 (0.609): no ideal point is shown farther out.
    LensModel lens = Lens(-0.4);
    lens.fx = lens.fy = 500.0;
    lens.cx = 640.0;
    lens.cy = 360.0;
    EXPECT_FALSE(UndistortPicturePoint(lens, {640.0 + 0.65 * 500.0, 360.0}));
    EXPECT_TRUE(UndistortPicturePoint(lens, {640.0 + 0.55 * 500.0, 360.0}));
}

TEST(LensDistortion, DigitizedPositionsCountFromTheBottom) {
    const LensModel lens = Lens(0.0);
    const PicturePoint picture = PictureOfPosition(lens, {10.0, 700.0});
    EXPECT_DOUBLE_EQ(picture.v, 20.0);
    const ImagePoint back = PositionOfPicture(lens, picture);
    EXPECT_DOUBLE_EQ(back.y, 700.0);
}

}  // namespace
}  // namespace kadivo
