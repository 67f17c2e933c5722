#include "ButterworthFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace kadivo::test {
namespace {

constexpr double kRate = 100.0;

std::vector<double> Sine(double frequency, int count, double amplitude = 1.0) {
    std::vector<double> values(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        values[static_cast<std::size_t>(i)] = amplitude * std::sin(2 * std::numbers::pi * frequency * i / kRate + 0.3);
    return values;
}

// The amplitude of a sine in the middle of a series, away from the ends.
double MiddleAmplitude(const std::vector<double>& values) {
    double peak = 0;
    for (std::size_t i = values.size() / 4; i < values.size() * 3 / 4; ++i) peak = std::max(peak, std::abs(values[i]));
    return peak;
}

TEST(Butterworth, SinesComeThroughWithTheDesignsGainAndNoLag) {
    const double cutOff = 6.0;
    const ButterworthDesign design = DesignButterworth(cutOff, kRate);
    EXPECT_NEAR(design.Gain(cutOff, kRate), 1.0 / std::sqrt(2.0), 1e-9) << "half power at the cut-off";
    EXPECT_NEAR(design.Gain(0.0, kRate), 1.0, 1e-12);
    for (double frequency : {0.5, 2.0, 4.0, 6.0, 8.0, 12.0}) {
        const std::vector<double> sine = Sine(frequency, 4000);
        const std::vector<double> filtered = ButterworthFilter(sine, cutOff, kRate);
        const double expected = design.Gain(frequency, kRate);
        EXPECT_NEAR(MiddleAmplitude(filtered), expected, 0.01 * expected) << frequency << " Hz";
        // Without lag the filtered sine is the sine scaled, sample by sample.
        double worst = 0;
        for (std::size_t i = 1000; i < 3000; ++i) worst = std::max(worst, std::abs(filtered[i] - expected * sine[i]));
        EXPECT_LT(worst, 0.01 * expected + 1e-6) << frequency << " Hz";
    }
}

TEST(Butterworth, EndsCarryOnTheirLevelAndSlope) {
    std::vector<double> ramp(200);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = 3.0 + 0.25 * static_cast<double>(i);
    const std::vector<double> filtered = ButterworthFilter(ramp, 5.0, kRate);
    for (std::size_t i = 0; i < ramp.size(); ++i) EXPECT_NEAR(filtered[i], ramp[i], 1e-6) << i;
}

TEST(Butterworth, ACutOffAtOrAboveHalfTheRateIsRefused) {
    EXPECT_THROW(DesignButterworth(50.0, kRate), std::invalid_argument);
    EXPECT_THROW(DesignButterworth(0.0, kRate), std::invalid_argument);
    EXPECT_THROW(ButterworthFilter({1, 2, 3}, 70.0, kRate), std::invalid_argument);
}

}  // namespace
}  // namespace kadivo::test
