#include "DemoSceneThroughLens.h"
#include "DocumentFixture.h"
#include "Reconstruction.h"
#include "WorldCompletion.h"

#include <cmath>
#include <limits>

namespace kadivo::test {
namespace {

struct Camera {
    double l[12];  // 1-based DLT parameters
    Point2f Project(const Point3& p) const {
        const double d = l[9] * p.x + l[10] * p.y + l[11] * p.z + 1.0;
        return {static_cast<float>((l[1] * p.x + l[2] * p.y + l[3] * p.z + l[4]) / d),
                static_cast<float>((l[5] * p.x + l[6] * p.y + l[7] * p.z + l[8]) / d)};
    }
};

const Camera kCameras[] = {
    {{0, 310.0, 40.0, -60.0, 120.0, 15.0, -20.0, 330.0, 90.0, 0.02, 0.01, 0.03}},
    {{0, -280.0, 55.0, 90.0, 700.0, 25.0, 300.0, -35.0, 80.0, -0.03, 0.02, 0.01}},
    {{0, 40.0, 300.0, 50.0, 200.0, 290.0, -30.0, 60.0, 150.0, 0.01, -0.02, 0.02}},
};

// A limb of three points swinging in space.
Point3 Truth(int point, int frame) {
    const double angle = 0.05 * frame;
    return {0.5 + 0.3 * point * std::cos(angle), 0.4 + 0.3 * point * std::sin(angle), 0.6 + 0.1 * point};
}

class Transform : public DocumentFixture {
protected:
    static constexpr int kFrames = 40;

    // One view of two points with a planar calibration: a 2 m by 1 m rectangle seen as
    // 400 by 200 pixels from (100, 100). The view's frames are the caller's.
    ViewFrameStore& PlanarSequence() {
        NewSequence(2, 4);
        InstallSequenceSteps(doc->steps);
        doc->calibrationType = 2;
        doc->calibrationPoints = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}, {}};
        ViewFrameStore& store = doc->current().frameStore;
        store.calibrationPointCount = 4;
        const Point2f image[4] = {{100, 100}, {500, 100}, {500, 300}, {100, 300}};
        for (int i = 0; i < 4; ++i) store.calibrationRecord.imagePos[static_cast<std::size_t>(i)] = image[i];
        store.calibrationRecord.digitizedCount = 4;
        return store;
    }

    // A sequence of `cameras` cameras with a complete calibration cube and kFrames digitized frames.
    void Build(int cameras) {
        NewSequence(3, 8);
        InstallSequenceSteps(doc->steps);
        UseUnitCubeControlPoints();
        doc->options.filtering = 0;
        for (int v = 1; v < cameras; ++v) doc->AddCameraView();
        for (int v = 0; v < cameras; ++v) {
            ViewFrameStore& store = doc->views[static_cast<std::size_t>(v)].frameStore;
            store.calibrationPointCount = 8;
            for (int i = 0; i < 8; ++i) store.calibrationRecord.imagePos[static_cast<std::size_t>(i)] = kCameras[v].Project(doc->calibrationPoints[static_cast<std::size_t>(i)]);
            store.calibrationRecord.digitizedCount = 8;
            for (int f = 0; f < kFrames; ++f) {
                FrameRecord& record = store.NewRecord(f);
                record.digitizedCount = 3;
                for (int p = 0; p < 3; ++p) record.imagePos[static_cast<std::size_t>(p)] = kCameras[v].Project(Truth(p, f));
            }
        }
    }
};

TEST_F(Transform, TwoAndThreeCamerasReconstructTheMotionWithinThePixelQuantisation) {
    for (int cameras : {2, 3}) {
        Build(cameras);
        doc->OnTransformImageData();
        ASSERT_TRUE(doc->dltValid);
        EXPECT_EQ(doc->dlt.parameterCount, 11);
        ASSERT_EQ(doc->worldFrameCount, kFrames);
        for (int f = 0; f < kFrames; ++f) {
            for (int p = 0; p < 3; ++p) {
                const Point3 got = doc->worldRaw[f][p];
                const Point3 want = Truth(p, f);
                // A pixel of these cameras spans about 1/300 of a unit.
                EXPECT_NEAR(got.x, want.x, 0.01) << cameras << " views, frame " << f << " point " << p;
                EXPECT_NEAR(got.y, want.y, 0.01);
                EXPECT_NEAR(got.z, want.z, 0.01);
            }
        }
        EXPECT_EQ(doc->worldFiltered[10][1], doc->worldRaw[10][1]) << "no filtering copies";
        EXPECT_EQ(prompts.progressText, "Transformation of Image points...");
        EXPECT_EQ(prompts.progressRange, kFrames);
        EXPECT_EQ(prompts.progressSteps, kFrames);
        EXPECT_FALSE(prompts.progressShown);
        EXPECT_LT(doc->worldExtent.minimum.x, doc->worldExtent.maximum.x);
    }
}

// The demo scene through a lens of strength `k1` with the two options: the RMS error in
// millimetres of the transformation.
double TransformedDemoSceneError(CKadivoDoc& doc, bool exactPositions, double k1 = 0.0, int lensTerms = 0) {
    DigitizeDemoScene(doc, k1);
    for (CameraView& view : doc.views) view.frameSize = {samples::DemoScene::kWidth, samples::DemoScene::kHeight};
    doc.options.exactPositions = exactPositions ? 1 : 0;
    doc.options.lensFromControlPoints = lensTerms;
    doc.OnTransformImageData();
    return DemoSceneErrorMillimetres(doc);
}

TEST_F(Transform, ExactPositionsReconstructTheDemoSceneToATenthOfAMillimetre) {
    for (bool exact : {false, true}) {
        NewSequence(samples::DemoScene::kMarkers, samples::DemoScene::kControlPoints);
        InstallSequenceSteps(doc->steps);
        doc->AddCameraView();
        const double error = TransformedDemoSceneError(*doc, exact);
        if (exact) EXPECT_LE(error, 0.1) << "positions as stored";
        else EXPECT_GT(error, 2.0) << "whole pixels, as sequences of before compute";
    }
}

TEST_F(Transform, LensesSolvedFromTheControlPointsTakeTheDistortionOut) {
    // A mild wide-angle lens, and a strong one: about 5 and 30 pixels at the picture's corners.
    for (double k1 : {-0.1, -0.6})
        for (int terms : {0, 1, 2}) {
            NewSequence(samples::DemoScene::kMarkers, samples::DemoScene::kControlPoints);
            InstallSequenceSteps(doc->steps);
            doc->AddCameraView();
            const double error = TransformedDemoSceneError(*doc, true, k1, terms);
            if (terms == 0) {
                EXPECT_GT(error, k1 < -0.5 ? 10.0 : 2.0) << "the lens left in, k1 " << k1;
                EXPECT_FALSE(doc->views[0].lens);
                continue;
            }
            EXPECT_LE(error, 1.0) << "k1 " << k1 << ", terms " << terms;
            ASSERT_TRUE(doc->views[1].lens);
            EXPECT_NEAR(doc->views[1].lens->k1, k1, 1e-3);
            EXPECT_LT(doc->dlt.Residual(1), 0.01) << "in the picture's pixels";
        }
}

TEST_F(Transform, APointMissingInOneOfThreeViewsIsSolvedAndInTwoIsMarked) {
    Build(3);
    doc->views[0].frameStore.NewRecord(0);  // a later duplicate of frame 0 is not used
    FrameRecord& a = const_cast<FrameRecord&>(doc->views[0].frameStore.records()[5]);
    a.imagePos[1] = kNoPosition;
    FrameRecord& b = const_cast<FrameRecord&>(doc->views[1].frameStore.records()[6]);
    FrameRecord& c = const_cast<FrameRecord&>(doc->views[2].frameStore.records()[6]);
    b.imagePos[2] = kNoPosition;
    c.imagePos[2] = kNoPosition;
    doc->OnTransformImageData();
    EXPECT_NEAR(doc->worldRaw[5][1].x, Truth(1, 5).x, 0.01);
    EXPECT_EQ(doc->worldRaw[6][2], kMissingWorldPoint);
    EXPECT_NEAR(doc->worldRaw[6][1].y, Truth(1, 6).y, 0.01);
}

TEST_F(Transform, SyncFramesAlignTheViewsAndAGapStopsAView) {
    Build(2);
    doc->views[1].syncFrame = 3;  // view 1's frame 3 is sequence frame 0
    doc->OnTransformImageData();
    EXPECT_EQ(doc->worldFrameCount, kFrames);
    // Frame 37 onwards view 1 has no record (frames 40..): only view 0 is left, which a
    // spatial calibration cannot use alone.
    EXPECT_EQ(doc->worldRaw[37][0], kMissingWorldPoint);
}

TEST_F(Transform, WorldFramesFollowTheShortestViewAndAreReused) {
    Build(2);
    doc->views[1].frameStore.NewRecord(kFrames);
    PrepareWorldData(*doc);
    EXPECT_EQ(doc->worldFrameCount, kFrames);
    const Point3* before = doc->worldRaw[0];
    PrepareWorldData(*doc);
    EXPECT_EQ(doc->worldRaw[0], before) << "same count: the arrays are reused";
    EXPECT_EQ(doc->worldRaw.frames(), kFrames + 1);
    doc->views[0].frameStore.NewRecord(kFrames);
    PrepareWorldData(*doc);
    EXPECT_EQ(doc->worldFrameCount, kFrames + 1);
}

TEST_F(Transform, OneViewGivesThePlanarReconstruction) {
    ViewFrameStore& store = PlanarSequence();
    FrameRecord& record = store.NewRecord(0);
    record.imagePos[0] = {300, 200};
    record.imagePos[1] = kNoPosition;
    record.digitizedCount = 2;
    doc->OnTransformImageData();
    EXPECT_EQ(doc->dlt.parameterCount, 8);
    EXPECT_NEAR(doc->worldRaw[0][0].x, 1.0, 1e-9);
    EXPECT_NEAR(doc->worldRaw[0][0].y, 0.5, 1e-9);
    EXPECT_EQ(doc->worldRaw[0][0].z, 0.0);
    EXPECT_EQ(doc->worldRaw[0][1], kMissingWorldPoint);
}

TEST_F(Transform, PositionsThatAreNotNumbersAreMissingPoints) {
    Build(2);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    auto record = [&](int view, int frame) -> FrameRecord& {
        return const_cast<FrameRecord&>(doc->views[static_cast<std::size_t>(view)].frameStore.records()[static_cast<std::size_t>(frame)]);
    };
    for (int v = 0; v < 2; ++v) {
        record(v, 4).imagePos[0] = {nan, 10.0f};
        record(v, 5).imagePos[1] = {inf, -inf};
        record(v, 6).imagePos[2] = {3.0e9f, 12.0f};
    }
    doc->OnTransformImageData();
    EXPECT_EQ(doc->worldRaw[4][0], kMissingWorldPoint);
    EXPECT_EQ(doc->worldRaw[5][1], kMissingWorldPoint);
    EXPECT_EQ(doc->worldRaw[6][2], kMissingWorldPoint);
    EXPECT_NEAR(doc->worldRaw[4][1].x, Truth(1, 4).x, 0.01) << "the other points of the frame are solved";
    EXPECT_NEAR(doc->worldRaw[7][0].x, Truth(0, 7).x, 0.01);
    // A calibration point that is not a number is a missing one, not a wild pixel.
    doc->views[0].frameStore.calibrationRecord.imagePos[0] = {nan, nan};
    EXPECT_EQ(UsableOrMissing(doc->views[0].frameStore.calibrationRecord.imagePos[0]), kNoPosition);
}

TEST_F(Transform, FrameNumbersAtTheEndOfTheRangeDoNotWrapAround) {
    ViewFrameStore& store = PlanarSequence();
    constexpr int kLast = std::numeric_limits<int>::max();
    for (int frame : {kLast - 1, kLast}) {
        FrameRecord& record = store.NewRecord(frame);
        record.imagePos[0] = {300, 200};
        record.imagePos[1] = {100, 100};
        record.digitizedCount = 2;
    }
    doc->current().syncFrame = kLast - 1;
    doc->OnTransformImageData();
    ASSERT_EQ(doc->worldFrameCount, 2);
    EXPECT_NEAR(doc->worldRaw[1][0].x, 1.0, 1e-6);
    EXPECT_NEAR(doc->worldRaw[1][1].y, 0.0, 1e-6);
}

}  // namespace
}  // namespace kadivo::test
