#include "DocumentFixture.h"
#include "Reconstruction.h"
#include "SequenceFile.h"
#include "SubFramePositions.h"
#include "SyntheticCameras.h"

#include <cmath>

namespace kadivo::test {
namespace {

TEST(SubFramePositions, TheCubicIsExactForCubicsAndFallsBackToTheLine) {
    for (double t : {0.0, 0.25, 0.4, 0.9}) {
        const std::array<double, 4> w = CubicWeights(t);
        EXPECT_NEAR(w[0] + w[1] + w[2] + w[3], 1.0, 1e-12);
        const auto cubic = [](double x) { return 2 - x + 0.5 * x * x - 0.25 * x * x * x; };
        const ImagePoint before{cubic(-1), 1}, at{cubic(0), 1}, next{cubic(1), 1}, after{cubic(2), 1};
        EXPECT_NEAR(BetweenFrames(&before, at, next, &after, t).x, cubic(t), 1e-12) << t;
        // Without the outer frames (or with their point missing) the straight line.
        const ImagePoint missing{-1, -1};
        EXPECT_NEAR(BetweenFrames(nullptr, at, next, &after, t).x, at.x + t * (next.x - at.x), 1e-12);
        EXPECT_NEAR(BetweenFrames(&before, at, next, &missing, t).x, at.x + t * (next.x - at.x), 1e-12);
        // Never across a missing point.
        EXPECT_EQ(BetweenFrames(&before, missing, next, &after, t).x, -1);
        EXPECT_EQ(BetweenFrames(&before, at, missing, &after, t).x, -1);
    }
}

// A marker circling at 5 m/s, filmed at 50 frames a second by two cameras, the second of
// which started 3.4 frames after the first: the scene at time t is its frame 50·t + 3.4.
class SubFrameSync : public DocumentFixture {
protected:
    static constexpr double kRate = 50.0, kLag = 3.4;
    static constexpr int kFrames = 120;

    static Point3 Marker(double t) {
        return {1.0 + 0.5 * std::cos(10 * t), 1.0 + 0.5 * std::sin(10 * t), 1.0 + 0.2 * std::sin(20 * t)};
    }

    void SetUp() override {
        DocumentFixture::SetUp();
        NewSequence(1);
        doc->AddCameraView();
        doc->options.exactPositions = 1;
        doc->dlt = ExactTable({kLeft, kRight});
        doc->dltValid = true;
        for (int v = 0; v < 2; ++v) {
            const Camera& camera = v == 0 ? kLeft : kRight;
            ViewFrameStore& store = doc->views[static_cast<std::size_t>(v)].frameStore;
            for (int frame = 0; frame < kFrames + 8; ++frame) {
                const double t = (frame - (v == 0 ? 0.0 : kLag)) / kRate;
                const auto [u, w] = camera.Project(Marker(t));
                FrameRecord& record = store.NewRecord(frame);
                record.digitizedCount = 1;
                record.imagePos[0] = {static_cast<float>(u), static_cast<float>(w)};
            }
        }
        doc->views[1].syncFrame = 3;  // the sync image: the whole frames
    }

    // The largest distance from the truth over the world frames, in metres.
    double WorstError() {
        TransformImageData(*doc);
        double worst = 0;
        for (int f = 2; f < kFrames; ++f) {
            const Point3 p = doc->worldRaw[f][0], truth = Marker(f / kRate);
            EXPECT_NE(p, kMissingWorldPoint) << f;
            worst = std::max(worst, std::hypot(p.x - truth.x, p.y - truth.y, p.z - truth.z));
        }
        return worst;
    }
};

TEST_F(SubFrameSync, TheFractionOfAFrameTakesTheSecondViewAtTheFirstViewsInstants) {
    const double wholeFramesOnly = WorstError();
    EXPECT_GT(wholeFramesOnly, 0.02) << "0.4 frame at 5 m/s is 40 mm along the path";
    ASSERT_TRUE(doc->SetSyncFractions({0.0, 0.4}));
    EXPECT_LT(WorstError(), 0.001);
    // The same offset as whole frames in the fraction and none in the sync image.
    doc->views[1].syncFrame = 0;
    ASSERT_TRUE(doc->SetSyncFractions({0.0, 3.4}));
    EXPECT_LT(WorstError(), 0.001);
}

TEST_F(SubFrameSync, FractionsAreOneUndoableEditKeptInTheFile) {
    EXPECT_FALSE(doc->SetSyncFractions({0.0}));
    EXPECT_FALSE(doc->SetSyncFractions({0.0, std::nan("")}));
    ASSERT_TRUE(doc->SetSyncFractions({0.7, -0.25}));
    EXPECT_EQ(doc->views[0].syncFraction, 0.0) << "the first view is the reference";
    EXPECT_EQ(doc->views[1].syncFraction, -0.25);
    EXPECT_TRUE(doc->IsModified());
    doc->Undo();
    EXPECT_EQ(doc->views[1].syncFraction, 0.0);
    doc->Redo();
    EXPECT_EQ(doc->views[1].syncFraction, -0.25);
    auto back = std::make_unique<CKadivoDoc>(prompts, videos.Factory());
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    ReadSequence(bytes.data(), bytes.size(), *back);
    EXPECT_EQ(back->views[1].syncFraction, -0.25);
    EXPECT_EQ(back->views[1].syncFrame, 3);
}

TEST_F(SubFrameSync, WithoutRecordsToTakePositionsTowardsTheViewStops) {
    // The second view's last records lie past the first view's: it stops where frame
    // k + 1 is not there, and the frames after it have no spatial position.
    ASSERT_TRUE(doc->SetSyncFractions({0.0, 4.5}));
    TransformImageData(*doc);
    const int last = kFrames + 8 - 1;            // the second view's last frame
    const int lastSeen = last - 1 - 3 - 4;       // world frame f takes its frames 3 + f + 4 and the next
    EXPECT_NE(doc->worldRaw[lastSeen][0], kMissingWorldPoint);
    EXPECT_EQ(doc->worldRaw[lastSeen + 1][0], kMissingWorldPoint);
}

}  // namespace
}  // namespace kadivo::test
