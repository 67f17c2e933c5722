// Tracking to a fraction of a pixel: a disc rendered at sub-pixel positions into a lossless
// video, followed by the document as the digitizing window does.

#include "BatchTracking.h"
#include "CKadivoDoc.h"
#include "CodedVideoWriter.h"
#include "FakePrompts.h"
#include "MarkerSearch.h"
#include "MarkerTracker.h"
#include "TempDir.h"
#include "VideoSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace kadivo::test {
namespace {

constexpr int kWidth = 320, kHeight = 240, kFrames = 40;

// The disc's centre in frame `f`, in tracking's coordinates (column, bottom-up row, pixel
// centres at whole numbers): steps of 0.37 and 0.23 pixels with a slow wobble, so that every
// fraction of a pixel comes up.
Point2f DiscCentre(int f) {
    return {static_cast<float>(120.3 + 0.37 * f + 0.6 * std::sin(0.4 * f)), static_cast<float>(100.6 + 0.23 * f + 0.5 * std::cos(0.3 * f))};
}

// Where a click on the centre digitizes it.
Point2f Digitized(Point2f inRows) { return {inRows.x, inRows.y + kClickRowOffset}; }

// Luma of a bright disc of radius `radius` on a dark ground, 8 × 8 samples a pixel.
void PaintDisc(AVFrame& frame, Point2f centre, double radius) {
    for (int top = 0; top < kHeight; ++top) {
        const int row = kHeight - 1 - top;
        for (int x = 0; x < kWidth; ++x) {
            int inside = 0;
            if (std::abs(static_cast<double>(x) - centre.x) < radius + 1 && std::abs(static_cast<double>(row) - centre.y) < radius + 1)
                for (int sy = 0; sy < 8; ++sy)
                    for (int sx = 0; sx < 8; ++sx) {
                        const double dx = x - 0.5 + (sx + 0.5) / 8.0 - centre.x, dy = row - 0.5 + (sy + 0.5) / 8.0 - centre.y;
                        inside += dx * dx + dy * dy <= radius * radius ? 1 : 0;
                    }
            frame.data[0][top * frame.linesize[0] + x] = static_cast<std::uint8_t>(40 + (180 * inside + 32) / 64);
        }
    }
    for (int plane = 1; plane < 3; ++plane)
        for (int y = 0; y < kHeight / 2; ++y) std::memset(frame.data[plane] + y * frame.linesize[plane], 128, kWidth / 2);
}

class SubPixelTracking : public ::testing::Test {
protected:
    FakePrompts prompts;
    TempDir dir;
    std::string video = dir.Path("disc.mkv");
    // The disc's radius in each frame.
    std::function<double(int)> radius = [](int) { return 5.0; };

    void WriteVideo() {
        CodedVideo spec;
        spec.path = video;
        spec.encoder = "ffv1";
        spec.width = kWidth;
        spec.height = kHeight;
        spec.frames = kFrames;
        spec.bFrames = 0;
        spec.paint = [this](AVFrame& frame, int index) { PaintDisc(frame, DiscCentre(index), radius(index)); };
        ASSERT_EQ(WriteCodedVideo(spec), "");
    }
    void SetUp() override { WriteVideo(); }

    // RMS distance in pixels of the tracked disc from its true centre over every frame.
    double TrackedError(int method, bool bright, bool exact) {
        CKadivoDoc doc(prompts, MakeVideoSourceFactory(prompts));
        NewSequenceSetup setup;
        setup.pointCount = 1;
        setup.modelPoints[0].name = "Disc";
        setup.exactPositions = exact;
        prompts.wizardResult = setup;
        EXPECT_TRUE(doc.OnNewDocument());
        EXPECT_EQ(doc.OpenVideoFile(video, false), 1);
        auto& source = static_cast<VideoSource&>(*doc.views[0].videoSource);
        source.SetTemplateMethod(method);
        source.SetTracking({bright ? 6 : 4, bright, false});
        HeadlessTrackingHost host;
        AutomaticDigitizing tracking(doc, host);
        EXPECT_TRUE(tracking.Digitize(Digitized(DiscCentre(0))));
        tracking.Go();
        for (int ticks = 0; tracking.Running() && ticks < 1000; ++ticks) tracking.Tick();
        double squares = 0.0;
        int frames = 0;
        for (const FrameRecord& record : doc.views[0].frameStore.records()) {
            if (record.digitizedCount < 1) continue;
            const Point2f at = record.imagePos[0], truth = Digitized(DiscCentre(record.frame));
            squares += std::pow(at.x - truth.x, 2) + std::pow(at.y - truth.y, 2);
            ++frames;
        }
        EXPECT_EQ(frames, kFrames);
        return std::sqrt(squares / std::max(frames, 1));
    }
};

TEST_F(SubPixelTracking, ADiscMovingBySubPixelStepsIsFollowedWithinATenthOfAPixel) {
    // A bright marker is found afresh in every frame, so its errors do not add up.
    for (int method : {1, 0}) {
        const double error = TrackedError(method, true, true);
        std::printf("%s + Bright Marker: RMS %.3f px from the true centre\n", method == 1 ? "SAVD" : "Convolution", error);
        EXPECT_LE(error, 0.1) << method;
    }
    EXPECT_GT(TrackedError(1, true, false), 0.2) << "whole pixels, as sequences without exact positions track";
    // A template is taken again in every frame; refined against the one placed by hand as
    // well, the steps' small errors do not add up, where whole pixels drift by pixels.
    for (int method : {1, 0}) {
        const double subPixel = TrackedError(method, false, true), whole = TrackedError(method, false, false);
        std::printf("%s: RMS %.3f px, with whole pixels %.3f px\n", method == 1 ? "SAVD" : "Convolution", subPixel, whole);
        EXPECT_LE(subPixel, 0.1) << method;
        EXPECT_GT(whole, 1.0) << method;
    }
}

TEST_F(SubPixelTracking, AMarkerThatGrowsIsNotHeldToItsOldLook) {
    // From a radius of 5 to 9 pixels: the look of the marker placed by hand no longer fits, so
    // each frame's own template carries the track, and it stays closer than whole pixels do.
    radius = [](int f) { return 5.0 + 0.1 * f; };
    WriteVideo();
    for (int method : {1, 0}) {
        const double subPixel = TrackedError(method, false, true), whole = TrackedError(method, false, false);
        std::printf("growing disc, %s: RMS %.3f px, with whole pixels %.3f px\n", method == 1 ? "SAVD" : "Convolution", subPixel, whole);
        EXPECT_LT(subPixel, whole) << method;
    }
}

// A disc of radius 4 drawn at (cx, cy) into a 64 × 64 frame, 8 × 8 samples a pixel.
class DiscFrame {
public:
    DiscFrame(double cx, double cy) : pixels_(static_cast<std::size_t>(kStride * 64)) {
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                int inside = 0;
                for (int s = 0; s < 64; ++s) {
                    const double dx = x - 0.5 + (s % 8 + 0.5) / 8.0 - cx, dy = y - 0.5 + (s / 8 + 0.5) / 8.0 - cy;
                    inside += dx * dx + dy * dy <= 16.0 ? 1 : 0;
                }
                const auto value = static_cast<std::uint8_t>(30 + (200 * inside + 32) / 64);
                for (int c = 0; c < 3; ++c) pixels_[static_cast<std::size_t>(y * kStride + 3 * x + c)] = value;
            }
    }
    GreyFrame Grey() const { return {{const_cast<std::uint8_t*>(pixels_.data()), 64, 64, 24}, {}}; }

private:
    static constexpr int kStride = 64 * 3;
    std::vector<std::uint8_t> pixels_;
};

TEST(SubPixelMatch, OneStepOfATemplateLandsWithinAFewHundredthsOfAPixel) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> where(28.0, 36.0), step(-2.5, 2.5);
    for (TemplateMethod method : {TemplateMethod::Savd, TemplateMethod::Convolution}) {
        double worst = 0.0, worstWhole = 0.0;
        for (int trial = 0; trial < 40; ++trial) {
            const double ax = where(random), ay = where(random), bx = ax + step(random), by = ay + step(random);
            const DiscFrame before(ax, ay), after(bx, by);
            SearchSettings settings;
            settings.method = method;
            settings.searchSize = 30;
            settings.templateSize = 15;
            MarkerTemplate marker;
            const Point2f a{static_cast<float>(ax), static_cast<float>(ay)};
            CaptureTemplate(before.Grey(), a, settings.templateSize, 0, marker);
            for (bool subPixel : {true, false}) {
                settings.subPixel = subPixel;
                const Point2f m = SearchMarker(after.Grey(), marker, a, {}, settings);
                const SearchOffset origin = SearchWindowOrigin(a, settings.searchSize);
                const double x = origin.x + static_cast<double>(m.x) + (subPixel ? marker.offsetX : 0.0f);
                const double y = origin.y + static_cast<double>(m.y) + (subPixel ? marker.offsetY : 0.0f);
                double& record = subPixel ? worst : worstWhole;
                record = std::max(record, std::hypot(x - bx, y - by));
            }
        }
        EXPECT_LT(worst, 0.06) << static_cast<int>(method);
        EXPECT_GT(worstWhole, 0.5) << "whole pixels";
    }
}

TEST(MarkerCentroid, FindsDiscsAtRandomSubPixelPositions) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> where(20.0, 40.0);
    double worst = 0.0;
    for (int trial = 0; trial < 50; ++trial) {
        const double cx = where(random), cy = where(random);
        const DiscFrame disc(cx, cy);
        const Point2f found = MarkerCentroid(disc.Grey(), {static_cast<float>(std::round(cx)), static_cast<float>(std::round(cy))}, 6);
        worst = std::max(worst, std::hypot(found.x - cx, found.y - cy));
    }
    EXPECT_LT(worst, 0.03);
}

}  // namespace
}  // namespace kadivo::test
