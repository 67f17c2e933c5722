// The 95 % bands against noisy re-digitizations of the demo with a known digitizing error.

#include "DemoScene.h"
#include "Differentiation.h"
#include "DocumentFixture.h"
#include "Reconstruction.h"
#include "Uncertainty.h"
#include "WorldCompletion.h"

#include <cmath>
#include <random>

namespace kadivo::test {
namespace {

using samples::DemoScene;

class UncertaintyTest : public DocumentFixture {
protected:
    static constexpr double kSigma = 0.5;  // pixels, the sequence's digitizing error

    void SetUp() override {
        DocumentFixture::SetUp();
        NewSequence(DemoScene::kMarkers);
        doc->AddCameraView();
        doc->framePeriod = 1.0f / DemoScene::kFramesPerSecond;
        doc->options.exactPositions = 1;
        doc->options.digitizingError = kSigma;
        // The demo's cameras as the calibration, without residuals: the digitizing error is all there is.
        doc->dlt.viewCount = 2;
        doc->dlt.parameterCount = 11;
        for (const DemoScene::Camera& camera : DemoScene::Cameras()) doc->dlt.values.insert(doc->dlt.values.end(), camera.begin(), camera.end());
        doc->dlt.residuals = {0.0, 0.0};
        doc->dltValid = true;
        doc->steps.refreshWorldData = CompleteWorldData;
        // Every frame of both views digitized (the first view has its frame 0 from the start).
        for (int v = 0; v < 2; ++v) {
            ViewFrameStore& store = doc->views[static_cast<std::size_t>(v)].frameStore;
            const auto byFrame = store.RecordIndexByFrame();
            for (int f = 0; f < DemoScene::kFrames; ++f)
                if (!byFrame.contains(f)) store.NewRecord(f);
        }
    }

    // Every marker digitized anew with Gaussian error of kSigma, then transformed.
    void Redigitize(std::mt19937& random) {
        std::normal_distribution<double> error(0.0, kSigma);
        for (int v = 0; v < 2; ++v) {
            const DemoScene::Camera camera = DemoScene::Cameras()[static_cast<std::size_t>(v)];
            ViewFrameStore& store = doc->views[static_cast<std::size_t>(v)].frameStore;
            const auto byFrame = store.RecordIndexByFrame();
            for (int f = 0; f < DemoScene::kFrames; ++f) {
                const int index = byFrame.at(f);
                FrameRecord record = store.records()[static_cast<std::size_t>(index)];
                record.digitizedCount = DemoScene::kMarkers;
                for (int p = 0; p < DemoScene::kMarkers; ++p) {
                    const DemoScene::Image at = DemoScene::Project(camera, DemoScene::Markers(f)[static_cast<std::size_t>(p)]);
                    record.imagePos[static_cast<std::size_t>(p)] = {static_cast<float>(at.u + error(random)), static_cast<float>(at.v + error(random))};
                }
                store.SwapRecord(index, record);
            }
        }
        TransformImageData(*doc);
    }

    // The true series of a marker's coordinate, differentiated as the kinematics differentiate.
    static std::vector<float> Truth(int point, int axis, Quantity quantity) {
        std::vector<float> positions;
        for (int f = 0; f < DemoScene::kFrames; ++f) {
            const DemoScene::Point p = DemoScene::Markers(f)[static_cast<std::size_t>(point)];
            positions.push_back(static_cast<float>(axis == 0 ? p.x : axis == 1 ? p.y : p.z));
        }
        if (quantity == Quantity::Position) return positions;
        return DifferentiateSeries(positions, 1.0f / DemoScene::kFramesPerSecond, 1);
    }
};

TEST_F(UncertaintyTest, TheBandsOfPositionAndVelocityCoverTheTruthNineteenTimesInTwenty) {
    // A cut-off well above the walk's motion, so that what the band leaves out (the filter's
    // own distortion of the movement) stays small beside the noise.
    doc->options.filtering = kButterworthFiltering;
    doc->options.cutOffFrequency = 12.0f;
    std::mt19937 random(2026);
    for (Quantity quantity : {Quantity::Position, Quantity::Velocity}) {
        long long inside = 0, all = 0;
        for (int trial = 0; trial < 200; ++trial) {
            Redigitize(random);
            for (int p = 0; p < DemoScene::kMarkers; ++p)
                for (int axis = 0; axis < 3; ++axis) {
                    const auto component = static_cast<Component>(axis);
                    const std::vector<float> value = LinearSeries(*doc, p, true, quantity, component);
                    const std::vector<float> half = WorldUncertainty(*doc).LinearHalfWidths(p, true, quantity, component);
                    const std::vector<float> truth = Truth(p, axis, quantity);
                    for (int f = 0; f < DemoScene::kFrames; ++f, ++all)
                        inside += std::abs(value[static_cast<std::size_t>(f)] - truth[static_cast<std::size_t>(f)]) <= half[static_cast<std::size_t>(f)];
                }
        }
        const double coverage = static_cast<double>(inside) / static_cast<double>(all);
        EXPECT_NEAR(coverage, 0.95, 0.03) << (quantity == Quantity::Position ? "position" : "velocity");
    }
}

TEST_F(UncertaintyTest, DistancesAndAnglesTakeTheirCoordinatesBandsByTheirFirstOrderTerms) {
    doc->options.filtering = 0;
    std::mt19937 random(7);
    Redigitize(random);
    // The knee's angle between the hip and the ankle.
    ModelPoint& knee = doc->modelPoints[5];
    knee.segmentCount = 1;
    knee.linkedPoint[0] = 6;
    doc->modelPoints[4].segmentCount = 1;
    doc->modelPoints[4].linkedPoint[0] = 5;
    const std::vector<ExportJoint> joints = BuildJointList(*doc);
    ASSERT_FALSE(joints.empty());
    const WorldUncertainty uncertainty(*doc);
    const std::vector<float> angle = uncertainty.AngularHalfWidths(joints[0], false, Quantity::Position, 2, false);
    const std::vector<float> rate = uncertainty.AngularHalfWidths(joints[0], false, Quantity::Velocity, 2, false);
    for (int f = 0; f < DemoScene::kFrames; ++f) {
        // The distance's variance is a mean of the coordinates' by the direction's squares.
        float widest = 0, narrowest = 1e9f;
        for (int axis = 0; axis < 3; ++axis) {
            const float half = uncertainty.LinearHalfWidths(0, false, Quantity::Position, static_cast<Component>(axis))[static_cast<std::size_t>(f)];
            widest = std::max(widest, half);
            narrowest = std::min(narrowest, half);
        }
        const float distance = uncertainty.LinearHalfWidths(0, false, Quantity::Position, Component::Distance)[static_cast<std::size_t>(f)];
        EXPECT_GE(distance, narrowest * 0.999f) << f;
        EXPECT_LE(distance, widest * 1.001f) << f;
        // A few millimetres on segments of some 0.4 m: a fraction of a degree, more for its rate.
        EXPECT_GT(angle[static_cast<std::size_t>(f)], 0.05f) << f;
        EXPECT_LT(angle[static_cast<std::size_t>(f)], 3.0f) << f;
        EXPECT_GT(rate[static_cast<std::size_t>(f)], angle[static_cast<std::size_t>(f)]) << "per second at 50 frames a second";
    }
    // And the angle's band covers the true angle nineteen times in twenty.
    WorldData truth(DemoScene::kFrames + 1, DemoScene::kMarkers + 1);
    for (int f = 0; f < DemoScene::kFrames; ++f)
        for (int p = 0; p < DemoScene::kMarkers; ++p) {
            const DemoScene::Point m = DemoScene::Markers(f)[static_cast<std::size_t>(p)];
            truth[f][p] = {m.x, m.y, m.z};
        }
    const std::vector<float> trueAngle = JointAngleSeries(truth, joints[0], DemoScene::kFrames, 2, false);
    long long inside = 0, all = 0;
    for (int trial = 0; trial < 100; ++trial) {
        Redigitize(random);
        const std::vector<float> value = AngularSeries(*doc, joints[0], false, Quantity::Position, 2, false);
        const std::vector<float> half = WorldUncertainty(*doc).AngularHalfWidths(joints[0], false, Quantity::Position, 2, false);
        for (int f = 0; f < DemoScene::kFrames; ++f, ++all)
            inside += std::abs(value[static_cast<std::size_t>(f)] - trueAngle[static_cast<std::size_t>(f)]) <= half[static_cast<std::size_t>(f)];
    }
    EXPECT_NEAR(static_cast<double>(inside) / static_cast<double>(all), 0.95, 0.03);
}

}  // namespace
}  // namespace kadivo::test
