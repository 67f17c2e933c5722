#include "AudioSync.h"
#include "FlashSync.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace kadivo::test {
namespace {

// Room noise, and a 1 kHz beep of 80 ms from `beep` seconds after the video's first frame.
AudioTrack Recording(int rate, double start, double beep, double loudness, unsigned seed) {
    AudioTrack track;
    track.sampleRate = rate;
    track.startSeconds = start;
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.02);
    for (int i = 0; i < rate * 2; ++i) {
        const double t = start + static_cast<double>(i) / rate;
        const double tone = t >= beep && t < beep + 0.08 ? loudness * std::sin(2 * std::numbers::pi * 1000 * (t - beep)) : 0.0;
        track.samples.push_back(static_cast<float>(tone + noise(random)));
    }
    return track;
}

TEST(AudioSync, TheBeepsLagIsFoundToAFractionOfAMillisecond) {
    const AudioTrack reference = Recording(48000, 0.0, 0.5, 0.5, 1);
    for (double lag : {0.0678, -0.1234, 0.0083}) {
        // Another sample rate, a track that starts later than its picture, a quieter beep.
        const AudioTrack other = Recording(44100, 0.021, 0.5 + lag, 0.2, 2);
        const std::optional<AudioLag> found = LagBetween(reference, other);
        ASSERT_TRUE(found);
        EXPECT_NEAR(found->seconds, lag, 2e-4) << lag;
        EXPECT_GT(found->peak, kTrustedAudioPeak);
    }
}

TEST(AudioSync, NoiseAloneOrSilenceIsNoEvidence) {
    AudioTrack a = Recording(8000, 0.0, 99.0, 0.0, 3), b = Recording(8000, 0.0, 99.0, 0.0, 4);
    const std::optional<AudioLag> found = LagBetween(a, b);
    ASSERT_TRUE(found);
    EXPECT_LT(found->peak, kTrustedAudioPeak);
    AudioTrack silent = a;
    std::fill(silent.samples.begin(), silent.samples.end(), 0.0f);
    EXPECT_FALSE(LagBetween(a, silent));
    EXPECT_FALSE(LagBetween(a, AudioTrack{}));
}

// A region's brightness when the light comes on at `on` (in frames) and, for a flash, goes
// off at `off`: each frame averages the light over its exposure, from k to k + 1.
std::vector<double> Brightness(double on, double off, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.3);
    std::vector<double> values;
    for (int k = 0; k < 60; ++k) {
        const double lit = std::clamp(std::min(off, k + 1.0) - std::max(on, static_cast<double>(k)), 0.0, 1.0);
        values.push_back(40.0 + 150.0 * lit + noise(random));
    }
    return values;
}

TEST(FlashSync, TheLightIsLocatedToAFractionOfAFrame) {
    for (double on : {20.3, 20.8, 21.0, 33.55}) {
        const std::optional<FlashEvent> lamp = LocateFlash(Brightness(on, 1e9, 5));
        ASSERT_TRUE(lamp) << on;
        EXPECT_TRUE(lamp->staysOn);
        EXPECT_NEAR(lamp->frame, on, 0.02) << on;
        // A flash of 0.6 frame: its middle, to within its length.
        const std::optional<FlashEvent> flash = LocateFlash(Brightness(on, on + 0.6, 6));
        ASSERT_TRUE(flash) << on;
        EXPECT_FALSE(flash->staysOn);
        EXPECT_NEAR(flash->frame, on + 0.3, 0.3) << on;
    }
}

TEST(FlashSync, NoRiseAboveTheNoiseIsNoFlash) {
    EXPECT_FALSE(LocateFlash(Brightness(1e9, 1e9, 7)));
    EXPECT_FALSE(LocateFlash(std::vector<double>(40, 100.0)));
    EXPECT_FALSE(LocateFlash({1, 2, 3}));
    // A rise at the very start has no frames before it to compare with.
    EXPECT_FALSE(LocateFlash(Brightness(1.5, 1e9, 8)));
}

}  // namespace
}  // namespace kadivo::test
