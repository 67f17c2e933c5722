#include "CentreOfGravity.h"
#include "DocumentFixture.h"
#include "Kinematics.h"

#include <cmath>
#include <numbers>

namespace kadivo::test {
namespace {

class KinematicsTest : public DocumentFixture {
protected:
    // World data of `frames` frames for `points` points, filled by `position`.
    template <typename Position>
    void World(int points, int frames, Position position) {
        NewSequence(points);
        doc->worldFrameCount = frames;
        doc->worldRaw = WorldData(frames + 1, points + 1);
        for (int f = 0; f < frames; ++f)
            for (int p = 0; p < points; ++p) doc->worldRaw[f][p] = position(p, f);
        doc->worldFiltered = doc->worldRaw;
    }
    void Link(int from, int slot, int to, const std::string& name = "") {
        ModelPoint& point = doc->modelPoints[static_cast<std::size_t>(from)];
        point.linkedPoint[static_cast<std::size_t>(slot)] = to;
        point.segmentName[static_cast<std::size_t>(slot)] = name;
        point.segmentCount = std::max(point.segmentCount, slot + 1);
    }
};

TEST_F(KinematicsTest, CircularMotionHasAConstantDistanceFromTheOrigin) {
    World(1, 30, [](int, int f) { return Point3{2.0 * std::cos(0.3 * f), 2.0 * std::sin(0.3 * f), 0.0}; });
    const std::vector<float> distance = LinearSeries(*doc, 0, true, Quantity::Position, Component::Distance);
    const std::vector<float> speed = LinearSeries(*doc, 0, true, Quantity::Velocity, Component::Distance);
    const std::vector<float> acceleration = LinearSeries(*doc, 0, false, Quantity::Acceleration, Component::Distance);
    for (int f = 0; f < 30; ++f) {
        EXPECT_NEAR(distance[static_cast<std::size_t>(f)], 2.0f, 1e-6f);
        EXPECT_NEAR(speed[static_cast<std::size_t>(f)], 0.0f, 1e-4f);
        EXPECT_NEAR(acceleration[static_cast<std::size_t>(f)], 0.0f, 1e-3f);
    }
}

TEST_F(KinematicsTest, UniformMotionHasTheSameVelocityInEveryFrame) {
    World(1, 10, [](int, int f) { return Point3{static_cast<double>(f), 0.0, 0.0}; });
    doc->framePeriod = 0.04f;
    for (float v : LinearSeries(*doc, 0, true, Quantity::Velocity, Component::X)) EXPECT_NEAR(v, 25.0f, 1e-4f);
    EXPECT_TRUE(LinearSeries(*doc, 5, true, Quantity::Position, Component::X).empty()) << "no such entry";
}

TEST_F(KinematicsTest, AKneeJointFromHipAndAnkleSegments) {
    World(3, 1, [](int, int) { return Point3{}; });
    doc->modelPoints[1].name = "Knee";
    doc->modelPoints[1].side = kSideLeft;
    Link(0, 0, 1, "Thigh");
    Link(1, 0, 2, "Calf");
    const std::vector<ExportJoint> joints = BuildJointList(*doc);
    ASSERT_EQ(joints.size(), 1u);
    EXPECT_EQ(joints[0].vertex, 1);
    EXPECT_EQ(joints[0].firstPoint, 0);
    EXPECT_EQ(joints[0].secondPoint, 2);
    EXPECT_EQ(joints[0].name, "Knee");
    EXPECT_EQ(joints[0].side, kSideLeft);
}

TEST_F(KinematicsTest, ARotationThrough190DegreesDoesNotJump) {
    // The vertex at the origin, the first point fixed on +X, the second turning 5° a frame.
    World(3, 39, [](int p, int f) {
        const double a = (5.0 * f + 10.0) * std::numbers::pi / 180.0;
        if (p == 0) return Point3{1, 0, 0};
        if (p == 1) return Point3{0, 0, 0};
        return Point3{std::cos(a), std::sin(a), 0};
    });
    const ExportJoint joint{1, 0, 2, kSideNone, "Point 2"};
    const std::vector<float> ccw = JointAngleSeries(doc->worldFiltered, joint, 39, 2, true);
    const std::vector<float> cw = JointAngleSeries(doc->worldFiltered, joint, 39, 2, false);
    for (int f = 0; f < 39; ++f) {
        EXPECT_NEAR(ccw[static_cast<std::size_t>(f)], 5.0 * f + 10.0, 1e-3) << f;
        EXPECT_EQ(cw[static_cast<std::size_t>(f)], -ccw[static_cast<std::size_t>(f)]);
    }
    EXPECT_NEAR(ccw.back(), 200.0f, 1e-3f);
    doc->framePeriod = 1.0f;
    EXPECT_NEAR(AngularSeries(*doc, joint, true, Quantity::Velocity, 2, true)[20], 5.0f, 1e-3f);
    for (float a : JointAngleSeries(doc->worldFiltered, joint, 39, 3, true)) EXPECT_EQ(a, 0.0f) << "no such axis";
}

TEST_F(KinematicsTest, SegmentParametersComeFromTheTableWithTheSideMultiplier) {
    World(4, 1, [](int, int) { return Point3{}; });
    for (int p = 0; p < 4; ++p) doc->modelPoints[static_cast<std::size_t>(p)].side = kSideLeft;
    doc->modelPoints[3].side = kSideNone;
    Link(0, 0, 1, "Thigh");
    Link(1, 0, 2, "trunk");
    Link(2, 0, 3, "HEAD");
    Link(3, 0, 0, "tail");
    doc->modelPoints[3].segmentParamB[0] = 0.5f;
    AssignSegmentParameters(*doc);
    EXPECT_FLOAT_EQ(doc->modelPoints[0].segmentParamB[0], 0.206f);
    EXPECT_FLOAT_EQ(doc->modelPoints[0].segmentParamA[0], 0.4f);
    EXPECT_FLOAT_EQ(doc->modelPoints[1].segmentParamB[0], 0.506f);
    EXPECT_FLOAT_EQ(doc->modelPoints[2].segmentParamB[0], 0.073f) << "the head has no side";
    EXPECT_FLOAT_EQ(doc->modelPoints[3].segmentParamB[0], 0.5f) << "no table row: kept";
    doc->modelPoints[0].side = kSideRight;
    doc->modelPoints[1].side = kSideLeft;
    AssignSegmentParameters(*doc);
    EXPECT_FLOAT_EQ(doc->modelPoints[0].segmentParamB[0], 0.103f);
    for (int p = 0; p < 4; ++p) doc->modelPoints[static_cast<std::size_t>(p)].side = kSideNone;
    AssignSegmentParameters(*doc);
    EXPECT_FLOAT_EQ(doc->modelPoints[0].segmentParamB[0], 0.103f) << "no sided point: counted once";
}

TEST_F(KinematicsTest, CentreOfGravityIsTheMassWeightedSumOfSegmentCentres) {
    World(3, 2, [](int p, int f) { return Point3{static_cast<double>(p * 2), static_cast<double>(f), 1.0}; });
    Link(0, 1, 1);  // slot 0 empty, slot 1 linked: still counted
    doc->modelPoints[0].segmentParamA[1] = 0.25f;
    doc->modelPoints[0].segmentParamB[1] = 0.5f;
    Link(1, 0, 2);
    doc->modelPoints[1].segmentParamA[0] = 0.5f;
    doc->modelPoints[1].segmentParamB[0] = 0.25f;
    Link(2, 0, 7);  // beyond the model: skipped
    doc->modelPoints[2].segmentParamB[0] = 1.0f;
    ComputeCentreOfGravity(*doc);
    // Segment 0-1: centre at x 0.5; segment 1-2: centre at x 3. G = 0.5·0.5 + 0.25·3 = 1.
    EXPECT_FLOAT_EQ(static_cast<float>(doc->worldRaw[1][3].x), 1.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(doc->worldRaw[1][3].y), 0.75f);
    EXPECT_FLOAT_EQ(static_cast<float>(doc->worldRaw[1][3].z), 0.75f);
}

TEST_F(KinematicsTest, ACentreOfGravityThatCannotBeComputedIsMissing) {
    World(3, 3, [](int p, int f) { return Point3{static_cast<double>(p), static_cast<double>(f), 0.0}; });
    Link(0, 0, 1);
    Link(1, 0, 2);
    ComputeCentreOfGravity(*doc);
    for (int f = 0; f < 3; ++f) EXPECT_EQ(doc->worldRaw[f][3], kMissingWorldPoint) << "no segment has mass";

    doc->modelPoints[0].segmentParamA[0] = 0.5f;
    doc->modelPoints[0].segmentParamB[0] = 1.0f;
    doc->worldRaw[1][1] = kMissingWorldPoint;  // an end of the weighed segment
    doc->worldRaw[2][2] = kMissingWorldPoint;  // only the massless segment's end
    ComputeCentreOfGravity(*doc);
    EXPECT_EQ(doc->worldRaw[0][3], (Point3{0.5, 0.0, 0.0}));
    EXPECT_EQ(doc->worldRaw[1][3], kMissingWorldPoint);
    EXPECT_EQ(doc->worldRaw[2][3], (Point3{0.5, 2.0, 0.0}));
}

TEST_F(KinematicsTest, MissingFramesHaveNoValueAndNeitherDoTheRatesThatNeedThem) {
    World(3, 8, [](int p, int f) { return Point3{static_cast<double>(f + p), 0.0, 0.0}; });
    doc->framePeriod = 1.0f;
    doc->worldRaw[4][0] = kMissingWorldPoint;
    const std::vector<float> x = LinearSeries(*doc, 0, false, Quantity::Position, Component::X);
    const std::vector<float> v = LinearSeries(*doc, 0, false, Quantity::Velocity, Component::X);
    const std::vector<float> a = LinearSeries(*doc, 0, false, Quantity::Acceleration, Component::Distance);
    for (int f = 0; f < 8; ++f) {
        const auto i = static_cast<std::size_t>(f);
        // The last frame's rate is extrapolated from frames 6 and 5.
        const bool noRate = (f >= 3 && f <= 5) || f == 7;
        EXPECT_EQ(std::isnan(x[i]), f == 4) << f;
        EXPECT_EQ(std::isnan(v[i]), noRate) << f;
        EXPECT_EQ(std::isnan(a[i]), noRate) << f;
        if (!std::isnan(v[i])) {
            EXPECT_FLOAT_EQ(v[i], 1.0f) << f;
        }
    }

    // A joint whose point is missing has no angle there, and turns on from the frame before.
    World(3, 5, [](int p, int f) {
        const double turn = 0.5 * f;
        return p == 2 ? Point3{std::cos(turn), std::sin(turn), 0.0} : Point3{p == 0 ? 1.0 : 0.0, 0.0, 0.0};
    });
    Link(0, 0, 1);
    Link(1, 0, 2);
    doc->worldRaw[2][2] = kMissingWorldPoint;
    const std::vector<ExportJoint> joints = BuildJointList(*doc);
    ASSERT_EQ(joints.size(), 1u);
    const std::vector<float> angle = JointAngleSeries(doc->worldRaw, joints[0], 5, 2, false);
    EXPECT_TRUE(std::isnan(angle[2]));
    EXPECT_NEAR(angle[3] - angle[1], angle[1] - angle[0] + angle[1] - angle[0], 1e-3f) << "continuous across the gap";
}

}  // namespace
}  // namespace kadivo::test
