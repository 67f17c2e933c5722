#include "ButterworthCutOff.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace kadivo::test {
namespace {

constexpr double kRate = 100.0;

// Twenty sines of equal amplitude and random phase up to `bandEdge` Hz, and white noise at
// the RMS of the sum divided by `signalToNoise`.
std::vector<double> BandLimited(double bandEdge, double signalToNoise, int count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> phase(0, 2 * std::numbers::pi);
    std::normal_distribution<double> noise(0, 1);
    std::vector<double> values(static_cast<std::size_t>(count), 0.0);
    for (int k = 1; k <= 20; ++k) {
        const double frequency = bandEdge * k / 20, start = phase(random);
        for (int i = 0; i < count; ++i) values[static_cast<std::size_t>(i)] += std::sin(2 * std::numbers::pi * frequency * i / kRate + start);
    }
    const double rms = std::sqrt(10.0);  // twenty unit sines
    for (double& v : values) v += rms / signalToNoise * noise(random) + 40.0;
    return values;
}

TEST(ButterworthCutOff, ResidualAnalysisFindsTheBandEdgeWhateverTheNoise) {
    unsigned seed = 1;
    for (double bandEdge : {3.0, 6.0, 10.0, 18.0})
        for (double signalToNoise : {5.0, 30.0, 300.0})
            for (int count : {500, 3000}) {
                const CutOffChoice choice = ResidualAnalysisChoice(BandLimited(bandEdge, signalToNoise, count, ++seed), kRate);
                std::printf("%g %g %d %g\n", bandEdge, signalToNoise, count, choice.cutOff);
                EXPECT_NEAR(choice.cutOff, bandEdge, 0.1 * bandEdge) << bandEdge << " Hz, S/N " << signalToNoise << ", " << count;
                // The curve falls, to a noise line that falls too.
                ASSERT_EQ(choice.curve.size(), 90u);
                EXPECT_GT(choice.curve.front().second, choice.curve.back().second);
                EXPECT_LT(choice.noiseSlope, 0.0);
            }
}

TEST(ButterworthCutOff, NoiseAloneOrNothingGetsTheLowestCutOff) {
    EXPECT_DOUBLE_EQ(ResidualAnalysisChoice(std::vector<double>(400, 3.5), kRate).cutOff, 0.5);
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0, 1);
    std::vector<double> values(2000);
    for (double& v : values) v = noise(random);
    EXPECT_LT(ResidualAnalysisChoice(values, kRate).cutOff, 2.0);
    const CutOffChoice white = WhitenessChoice(values, kRate);
    EXPECT_TRUE(white.passed);
    EXPECT_LT(white.cutOff, 2.0);
}

TEST(ButterworthCutOff, WhitenessKeepsWhatTheDataShowsToBeSignal) {
    double previous = 0;
    for (double signalToNoise : {5.0, 30.0, 300.0}) {
        const CutOffChoice choice = WhitenessChoice(BandLimited(6.0, signalToNoise, 3000, 11), kRate);
        ASSERT_TRUE(choice.passed) << signalToNoise;
        // Never below the band edge, where the residual holds signal; higher as the noise falls.
        EXPECT_GT(choice.cutOff, 6.0) << signalToNoise;
        EXPECT_GT(choice.cutOff, previous) << signalToNoise;
        previous = choice.cutOff;
        // The statistic is over its limit everywhere below the choice.
        for (const auto& [cutOff, statistic] : choice.curve) {
            if (cutOff >= choice.cutOff) break;
            EXPECT_GE(statistic, choice.limit) << cutOff;
        }
    }
}

}  // namespace
}  // namespace kadivo::test
