#include "DocumentFixture.h"
#include "FilterEvidence.h"
#include "GcvSpline.h"
#include "WorldSmoothing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kadivo::test {
namespace {

// One point whose x is a 4 Hz sine at 100 frames a second with a little noise, y a slow
// ramp and z constant; frames 0..9 unsolved, so the longest run starts at frame 10.
class FilterEvidence : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        NewSequence(1);
        doc->framePeriod = 0.01f;
        doc->worldFrameCount = 300;
        doc->worldRaw = WorldData(301, 2);
        for (int f = 0; f < 10; ++f) doc->worldRaw[f][0] = kMissingWorldPoint;
        for (int f = 10; f < 300; ++f)
            doc->worldRaw[f][0] = {std::sin(2 * std::numbers::pi * 4 * f / 100.0) + 0.02 * (((f * 7919) % 17) / 8.0 - 1), 0.01 * f, 2.0};
    }
    std::vector<CoordinateEvidence> Evidence(int filtering, int method = kGivenCutOff) {
        doc->options.filtering = filtering;
        doc->options.cutOffMethod = method;
        SmoothWorldData(*doc);
        return FilterEvidenceOf(*doc, 0);
    }
};

TEST_F(FilterEvidence, EachFilterShowsTheRunItSmoothedAndTheCurveOfItsChoice) {
    // The spline: the GCV function is lowest at (or next to) the parameter it chose.
    std::vector<CoordinateEvidence> spline = Evidence(1);
    ASSERT_EQ(spline.size(), 3u);
    const CoordinateEvidence& x = spline[0];
    EXPECT_EQ(x.firstFrame, 10);
    ASSERT_EQ(x.raw.size(), 290u);
    EXPECT_EQ(x.filtered[5], doc->worldFiltered[15][0].x);
    ASSERT_TRUE(x.smoothingParameter);
    EXPECT_EQ(x.criterion, "GCV");
    ASSERT_EQ(x.curve.size(), 33u);
    const auto lowest = std::min_element(x.curve.begin(), x.curve.end(), [](auto a, auto b) { return a.second < b.second; });
    EXPECT_NEAR(std::log10(lowest->first), std::log10(*x.smoothingParameter), 0.26);
    // Each axis shows the parameter its own series gets.
    for (int axis = 0; axis < 2; ++axis) {
        const std::vector<float> series = RunSeries(doc->worldRaw, 0, axis, {10, 300});
        std::vector<double> smoothed;
        GcvStatistics alone;
        ASSERT_TRUE(GcvSmooth({series.begin(), series.end()}, doc->options.splineOrder + 1, doc->options.smoothError, smoothed, &alone));
        ASSERT_TRUE(spline[static_cast<std::size_t>(axis)].smoothingParameter);
        EXPECT_EQ(*spline[static_cast<std::size_t>(axis)].smoothingParameter, alone.p) << "axis " << axis;
    }

    // The low-pass filter: the spectrum's peak at the sine, its cut-off as set.
    doc->options.cutOffFrequency = 7.0f;
    const CoordinateEvidence lowPass = Evidence(kFrequencyFiltering)[0];
    EXPECT_EQ(lowPass.cutOffHz, 7.0);
    const auto peak = std::max_element(lowPass.curve.begin(), lowPass.curve.end(), [](auto a, auto b) { return a.second < b.second; });
    EXPECT_NEAR(peak->first, 4.0, 0.2);
    EXPECT_NEAR(peak->second, 1.0, 0.35);  // a sine of amplitude 1, spread over the bins beside it
    EXPECT_NEAR(lowPass.curve.back().first, 50.0, 1e-4);

    // The Butterworth filter by residual analysis: the cut-off the smoothing used, the
    // residual curve and its noise line.
    const std::vector<CoordinateEvidence> residual = Evidence(kButterworthFiltering, kResidualAnalysisCutOff);
    CutOffChoice choice;
    EXPECT_EQ(residual[0].cutOffHz, ButterworthCutOffOf(*doc, RunSeries(doc->worldRaw, 0, 0, {10, 300}), &choice));
    EXPECT_GT(*residual[0].cutOffHz, 4.0);
    EXPECT_EQ(residual[0].criterion, "RMS residual");
    ASSERT_TRUE(residual[0].noiseLine);
    EXPECT_EQ(residual[0].curve, choice.curve);
    // By whiteness, with its limit.
    const CoordinateEvidence white = Evidence(kButterworthFiltering, kWhitenessCutOff)[0];
    ASSERT_TRUE(white.limit);
    EXPECT_EQ(white.criterion, "whiteness statistic");
    // Without filtering there is nothing to show but the data.
    const CoordinateEvidence none = Evidence(0)[0];
    EXPECT_TRUE(none.curve.empty());
    EXPECT_EQ(none.filtered, none.raw);
    EXPECT_STREQ(FilterName(none.filtering), "none");
}

TEST_F(FilterEvidence, NothingForAnEntryNeverSolvedOrOutOfRange) {
    for (int f = 0; f < 300; ++f) doc->worldRaw[f][1] = kMissingWorldPoint;
    SmoothWorldData(*doc);
    EXPECT_TRUE(FilterEvidenceOf(*doc, 1).empty());
    EXPECT_TRUE(FilterEvidenceOf(*doc, 2).empty());
    EXPECT_TRUE(FilterEvidenceOf(*doc, -1).empty());
}

}  // namespace
}  // namespace kadivo::test
