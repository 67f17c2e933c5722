#include "ButterworthFilter.h"
#include "Differentiation.h"
#include "DocumentFixture.h"
#include "GapInterpolation.h"
#include "LowPassFilter.h"
#include "WorldSmoothing.h"

#include <cmath>
#include <numbers>

namespace kadivo::test {
namespace {

std::vector<float> Sine(int n, double hz, double rate, double amplitude = 1.0) {
    std::vector<float> series;
    for (int i = 0; i < n; ++i) series.push_back(static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate)));
    return series;
}

TEST(LowPassFilter, KeepsTheLowAndRemovesTheHighFrequencies) {
    for (int n : {100, 256, 300, 1000}) {
        const std::vector<float> slow = Sine(n, 1.0, 50.0), fast = Sine(n, 20.0, 50.0);
        std::vector<float> mixed(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) mixed[static_cast<std::size_t>(i)] = 3.0f + slow[static_cast<std::size_t>(i)] + fast[static_cast<std::size_t>(i)];
        const std::vector<float> filtered = LowPassFilter(mixed, 6.0f, 50.0f);
        ASSERT_EQ(filtered.size(), mixed.size());
        for (int i = n / 10; i < n - n / 10; ++i)
            EXPECT_NEAR(filtered[static_cast<std::size_t>(i)], 3.0f + slow[static_cast<std::size_t>(i)], 0.05f) << n << " at " << i;
    }
}

TEST(LowPassFilter, ACutOffAboveTheNyquistRateRemovesNothing) {
    const std::vector<float> noisy = Sine(64, 11.0, 25.0);
    const std::vector<float> filtered = LowPassFilter(noisy, 1000.0f, 25.0f);
    for (std::size_t i = 0; i < noisy.size(); ++i) EXPECT_NEAR(filtered[i], noisy[i], 1e-5f);
}

TEST(LowPassFilter, ForwardAndInverseTransformRestoreTheData) {
    std::vector<double> d(1025, 0.0);
    for (int i = 1; i <= 1024; ++i) d[static_cast<std::size_t>(i)] = std::sin(i * 0.37) + i % 5;
    const std::vector<double> original = d;
    ComplexFft(d.data(), 512, 1);
    ComplexFft(d.data(), 512, -1);
    for (int i = 1; i <= 1024; ++i) EXPECT_NEAR(d[static_cast<std::size_t>(i)] / 512, original[static_cast<std::size_t>(i)], 1e-12);
}

TEST(Differentiation, SquaresGiveLinearVelocitiesAndConstantAccelerations) {
    std::vector<float> squares;
    for (int i = 0; i < 10; ++i) squares.push_back(static_cast<float>(i * i));  // exact in float
    const std::vector<float> v = DifferentiateSeries(squares, 1.0f, 1);
    const std::vector<float> a = DifferentiateSeries(squares, 1.0f, 2);
    for (int i = 1; i < 9; ++i) {
        EXPECT_EQ(v[static_cast<std::size_t>(i)], static_cast<float>(2 * i));
        EXPECT_EQ(a[static_cast<std::size_t>(i)], 2.0f);
    }
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(v[9], 18.0f);
    EXPECT_EQ(a[0], 2.0f);
    EXPECT_EQ(a[9], 2.0f);
    EXPECT_FLOAT_EQ(CentralDifference(1.0f, 2.0f, 0.04f), 12.5f);
}

TEST(Differentiation, ShortSeriesAreDifferentiatedAsFarAsTheyAllow) {
    EXPECT_TRUE(DifferentiateSeries({}, 1.0f, 1).empty());
    EXPECT_EQ(DifferentiateSeries({5.0f}, 1.0f, 1), (std::vector<float>{0.0f}));
    EXPECT_EQ(DifferentiateSeries({1.0f, 3.0f}, 0.5f, 1), (std::vector<float>{4.0f, 4.0f}));
    EXPECT_EQ(DifferentiateSeries({1.0f, 3.0f}, 0.5f, 2), (std::vector<float>{0.0f, 0.0f}));
    EXPECT_EQ(DifferentiateSeries({0.0f, 1.0f, 4.0f}, 1.0f, 1), (std::vector<float>{2.0f, 2.0f, 2.0f}));
}

TEST(CubicSpline, NaturalSplineThroughALineIsTheLine) {
    const double x[5] = {0, 0, 2, 5, 9}, y[5] = {0, 1, 5, 11, 19};
    double d[5], value = -1;
    SplineSecondDerivatives(x, y, 4, 1e30, 1e30, d);
    for (int k = 1; k <= 4; ++k) EXPECT_NEAR(d[k], 0.0, 1e-12);
    SplineEvaluate(x, y, d, 4, 12.0, value);
    EXPECT_NEAR(value, 25.0, 1e-12) << "extrapolated with the last interval";
    const double same[5] = {0, 1, 1, 1, 1};
    value = -7;
    SplineEvaluate(same, y, d, 4, 1.0, value);
    EXPECT_EQ(value, -7) << "coinciding knots leave the value alone";
}

class GapsTest : public DocumentFixture {
protected:
    // One view, one point; frames listed in `missing` hold no position. Raw X of frame f is 10·f.
    void Build(int frames, const std::vector<int>& missing, int mode) {
        NewSequence(1);
        doc->options.interpolation = mode;
        for (int f = 0; f < frames; ++f) {
            FrameRecord& record = doc->current().frameStore.NewRecord(f);
            record.digitizedCount = 1;
            const bool gap = std::find(missing.begin(), missing.end(), f) != missing.end();
            record.imagePos[0] = gap ? kNoPosition : Point2f{1, 1};
        }
        doc->worldFrameCount = frames;
        doc->worldRaw = WorldData(frames + 1, 2);
        for (int f = 0; f < frames; ++f) doc->worldRaw[f][0] = {f * 10.0 + (f % 2), -1.0 * f, 0.5};
        for (int f : missing) doc->worldRaw[f][0] = {999, 999, 999};
    }
    double X(int f) { return doc->worldRaw[f][0].x; }
};

TEST_F(GapsTest, LinearRuleExtendsTheEndsAndBridgesTheGaps) {
    Build(10, {0, 1, 2, 4, 9}, 1);
    InterpolateGaps(*doc);
    // Valid frames 3, 5, 6, 7, 8 with X = 31, 51, 60, 71, 80.
    EXPECT_DOUBLE_EQ(X(0), 31 - 3 * 10.0);
    EXPECT_DOUBLE_EQ(X(2), 31 - 10.0);
    EXPECT_DOUBLE_EQ(X(4), (31 + 51) / 2.0);
    EXPECT_DOUBLE_EQ(X(9), 80 + (80 - 71));
    EXPECT_DOUBLE_EQ(doc->worldRaw[9][0].z, 0.5);
}

TEST_F(GapsTest, FrameZeroMissingFollowsTheFirstTwoValidFrames) {
    Build(5, {0}, 1);
    InterpolateGaps(*doc);
    EXPECT_DOUBLE_EQ(X(0), 2 * X(1) - X(2));
}

TEST_F(GapsTest, NothingHappensWithoutTwoValidFramesOrWithSeveralViews) {
    Build(4, {0, 1, 2}, 1);
    InterpolateGaps(*doc);
    EXPECT_EQ(X(0), 999);
    Build(4, {0}, 1);
    doc->AddCameraView();
    InterpolateGaps(*doc);
    EXPECT_EQ(X(0), 999);
}

TEST_F(GapsTest, SplineRuleUsesFourKnotsAndSkipsPointsWithFewerValidFrames) {
    Build(12, {1, 10, 11}, 2);
    InterpolateGaps(*doc);
    // Nine valid frames 0, 2..9: knots at positions 0, 2, 4, 6 are frames 0, 3, 5, 7.
    const double x[5] = {0, 0, 3, 5, 7};
    const double y[5] = {0, X(0), X(3), X(5), X(7)};
    double d[5], expected = 0;
    SplineSecondDerivatives(x, y, 4, 1e30, 1e30, d);
    SplineEvaluate(x, y, d, 4, 11.0, expected);
    EXPECT_DOUBLE_EQ(X(11), expected);
    Build(5, {0, 2}, 2);
    InterpolateGaps(*doc);
    EXPECT_EQ(X(0), 999) << "three valid frames are too few for four knots";
}

TEST_F(GapsTest, SmoothingCopiesFiltersAndFindsTheExtent) {
    Build(30, {}, 0);
    doc->options.filtering = 0;
    SmoothWorldData(*doc);
    for (int f = 0; f < 30; ++f) EXPECT_EQ(doc->worldFiltered[f][0], doc->worldRaw[f][0]);
    ComputeWorldExtent(*doc);
    EXPECT_EQ(doc->worldExtent.maximum.x, 291.0);
    EXPECT_EQ(doc->worldExtent.minimum.y, -29.0);
    doc->options.filtering = 1;
    doc->options.smoothError = 0.0;
    SmoothWorldData(*doc);
    for (int f = 0; f < 30; ++f) EXPECT_NEAR(doc->worldFiltered[f][0].x, doc->worldRaw[f][0].x, 1e-5);
    doc->options.filtering = 2;
    doc->framePeriod = 0.02f;
    SmoothWorldData(*doc);
    // The mirrored series is zero-padded to the transform's length, so a constant rings a little.
    EXPECT_NEAR(doc->worldFiltered[15][0].z, 0.5, 0.02);
    // The Butterworth filter, series by series; at or above half the rate the data stay as measured.
    doc->options.filtering = kButterworthFiltering;
    doc->options.cutOffFrequency = 5.0f;
    SmoothWorldData(*doc);
    std::vector<double> x;
    for (int f = 0; f < 30; ++f) x.push_back(doc->worldRaw[f][0].x);
    const std::vector<double> expected = ButterworthFilter(x, 5.0, 1.0 / doc->framePeriod);
    for (int f = 0; f < 30; ++f) EXPECT_FLOAT_EQ(static_cast<float>(doc->worldFiltered[f][0].x), static_cast<float>(expected[static_cast<std::size_t>(f)]));
    doc->options.cutOffFrequency = 25.0f;
    SmoothWorldData(*doc);
    for (int f = 0; f < 30; ++f) EXPECT_EQ(doc->worldFiltered[f][0], doc->worldRaw[f][0]);
}

TEST_F(GapsTest, AnAutomaticCutOffIsChosenPerCoordinateFromItsLongestRunAndUsedForEveryRun) {
    Build(400, {}, 0);
    doc->framePeriod = 0.01f;
    // x a 3 Hz sine, y a 12 Hz one, with a gap: frames 0..89 and 100..399.
    for (int f = 0; f < 400; ++f)
        doc->worldRaw[f][0] = {std::sin(2 * std::numbers::pi * 3 * f / 100.0) + 0.01 * ((f * 7919) % 13 - 6),
                               std::sin(2 * std::numbers::pi * 12 * f / 100.0) + 0.01 * ((f * 104729) % 11 - 5), 0.5};
    for (int f = 90; f < 100; ++f) doc->worldRaw[f][0] = kMissingWorldPoint;
    doc->options.filtering = kButterworthFiltering;
    doc->options.cutOffFrequency = 60.0f;  // beyond half the rate: only short series would need it
    doc->options.cutOffMethod = kResidualAnalysisCutOff;
    SmoothWorldData(*doc);
    const std::vector<SolvedRun> runs = SolvedRuns(doc->worldRaw, 0, 400);
    ASSERT_EQ(runs.size(), 2u);
    for (int axis : {0, 1}) {
        CutOffChoice choice;
        const std::optional<double> cutOff = ButterworthCutOffOf(*doc, RunSeries(doc->worldRaw, 0, axis, runs[1]), &choice);
        ASSERT_TRUE(cutOff.has_value());
        // Above the sine, which keeps nine tenths of its amplitude or more.
        const double sine = axis == 0 ? 3.0 : 12.0;
        EXPECT_GT(*cutOff, 1.3 * sine);
        EXPECT_LT(*cutOff, 1.5 * sine);
        for (const SolvedRun& run : runs) {
            const std::vector<float> series = RunSeries(doc->worldRaw, 0, axis, run);
            const std::vector<double> expected = ButterworthFilter({series.begin(), series.end()}, *cutOff, 100.0);
            for (int f = run.first; f < run.last; ++f)
                EXPECT_NEAR(Axis(doc->worldFiltered[f][0], axis), expected[static_cast<std::size_t>(f - run.first)], 1e-6);
        }
    }
    // A coordinate too short to choose from takes the given cut-off, or stays as measured.
    EXPECT_FALSE(ButterworthCutOffOf(*doc, std::vector<float>(kFewestValuesForACutOff - 1, 1.0f)).has_value());
    doc->options.cutOffFrequency = 8.0f;
    EXPECT_EQ(ButterworthCutOffOf(*doc, std::vector<float>(kFewestValuesForACutOff - 1, 1.0f)), 8.0);
}

TEST_F(GapsTest, UnsolvedFramesStayMissingAndTheRunsBesideThemAreSmoothedApart) {
    Build(40, {}, 0);
    for (int f : {12, 13}) doc->worldRaw[f][0] = kMissingWorldPoint;
    doc->framePeriod = 0.02f;
    for (int filtering : {1, 2}) {
        doc->options.filtering = filtering;
        doc->options.smoothError = -1.0;
        doc->options.cutOffFrequency = 6.0f;
        SmoothWorldData(*doc);
        EXPECT_EQ(doc->worldFiltered[12][0], kMissingWorldPoint);
        EXPECT_EQ(doc->worldFiltered[13][0], kMissingWorldPoint);
        for (int f : {10, 11, 14, 15})
            EXPECT_NEAR(doc->worldFiltered[f][0].y, -1.0 * f, 2.0) << "filter " << filtering << ", frame " << f;
    }
    ComputeWorldExtent(*doc);
    EXPECT_LT(doc->worldExtent.maximum.x, 500.0) << "the missing marker is no coordinate";
}

}  // namespace
}  // namespace kadivo::test
