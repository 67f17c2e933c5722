#include "FrameEnhancement.h"

#include "AviFile.h"
#include "FakePrompts.h"
#include "FrameCode.h"
#include "FrameFilters.h"
#include "ImageAdjustments.h"
#include "VideoSource.h"

#include <rastel.h>

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

namespace kadivo::test {
namespace {

// A 24-bit frame of `width` x `height` pixels with padded rows.
struct TestFrame {
    int width, height;
    std::vector<std::uint8_t> bytes;
    TestFrame(int w, int h, std::uint8_t fill = 0)
        : width(w), height(h), bytes(static_cast<std::size_t>(BitmapRowStride(w, 24) * h), fill) {}
    FramePixels Pixels() { return {bytes.data(), width, height, 24}; }
    std::uint8_t* At(int x, int row) { return bytes.data() + row * BitmapRowStride(width, 24) + 3 * x; }
    void Set(int x, int row, std::array<std::uint8_t, 3> bgr) { std::copy(bgr.begin(), bgr.end(), At(x, row)); }
    std::array<std::uint8_t, 3> Get(int x, int row) { return {At(x, row)[0], At(x, row)[1], At(x, row)[2]}; }
};

std::array<std::uint8_t, 3> Adjusted(std::array<std::uint8_t, 3> bgr, int code, int value) {
    TestFrame frame(1, 1);
    frame.Set(0, 0, bgr);
    ApplyAdjustment(frame.Pixels(), {0, 1, 1, 0}, code, value);
    return frame.Get(0, 0);
}

using Bgr = std::array<std::uint8_t, 3>;

TEST(ImageAdjustments, IntegerArithmeticOfEachAdjustment) {
    EXPECT_EQ(Adjusted({200, 100, 1}, kBrightness, 50), (Bgr{100, 50, 0}));
    EXPECT_EQ(Adjusted({200, 100, 1}, kBrightness, 200), (Bgr{255, 200, 2}));
    EXPECT_EQ(Adjusted({0, 255, 128}, kContrast, 50), (Bgr{64, 191, 128}));
    EXPECT_EQ(Adjusted({0, 255, 100}, kContrast, 200), (Bgr{0, 255, 72}));
    // Gamma 2: c * c / 255, rounded.
    EXPECT_EQ(Adjusted({100, 255, 0}, kGamma, 200), (Bgr{39, 255, 0}));
    EXPECT_EQ(Adjusted({100, 255, 0}, kGamma, 0), (Bgr{255, 255, 255}));

    // Tonal ranges by the byte sum: > 510 highlight, 255..510 midtone, < 255 shadow.
    EXPECT_EQ(Adjusted({200, 200, 111}, kHighlight, 50), (Bgr{100, 100, 55}));
    EXPECT_EQ(Adjusted({200, 200, 110}, kHighlight, 50), (Bgr{200, 200, 110}));
    EXPECT_EQ(Adjusted({200, 200, 110}, kMidtone, 50), (Bgr{100, 100, 55}));
    EXPECT_EQ(Adjusted({100, 100, 55}, kMidtone, 50), (Bgr{50, 50, 27}));
    EXPECT_EQ(Adjusted({100, 100, 54}, kMidtone, 50), (Bgr{100, 100, 54}));
    EXPECT_EQ(Adjusted({100, 100, 54}, kShadow, 200), (Bgr{200, 200, 108}));
    EXPECT_EQ(Adjusted({100, 100, 55}, kShadow, 200), (Bgr{100, 100, 55}));
}

TEST(ImageAdjustments, HueAndSaturationGoThroughLightnessAndBack) {
    EXPECT_EQ(Adjusted({0, 0, 255}, kHue, 100), (Bgr{0, 0, 255}));
    // Green (hue 1/3) doubled is hue 2/3: blue.
    EXPECT_EQ(Adjusted({0, 255, 0}, kHue, 200), (Bgr{255, 0, 0}));
    EXPECT_EQ(Adjusted({0, 0, 255}, kSaturation, 0), (Bgr{127, 127, 127}));
    // Saturation above 1 drives channels past the ends; they are limited to 0..255.
    const Bgr saturated = Adjusted({60, 90, 200}, kSaturation, 200);
    EXPECT_EQ(saturated[2], 255);
    EXPECT_EQ(saturated[0], 0);
    // Grey has no hue or saturation to change.
    EXPECT_EQ(Adjusted({90, 90, 90}, kHue, 170), (Bgr{90, 90, 90}));
}

TEST(ImageAdjustments, OnlyTheRangeOfInterestInsideTheFrameChanges) {
    TestFrame frame(5, 4, 100);
    ApplyAdjustment(frame.Pixels(), {3, 9, 9, 2}, kBrightness, 150);  // reaches past the frame
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(frame.Get(x, row)[1], x >= 3 && row >= 2 ? 150 : 100) << x << "," << row;
    // Padding bytes after each row stay as they were.
    EXPECT_EQ(frame.bytes[15], 100);

    std::vector<std::uint8_t> palettised(8 * 2, 7);
    ApplyAdjustment({palettised.data(), 8, 2, 8}, {0, 2, 8, 0}, kBrightness, 200);
    EXPECT_EQ(palettised, std::vector<std::uint8_t>(16, 7)) << "palette indices are not colours";
}

TEST(FrameEnhancement, StepsAreRecordedOnceAndOnlyWhenTheValueChanges) {
    TestFrame frame(3, 3, 100);
    FrameEnhancement enhancement;
    enhancement.ClearRange(3, 3);
    enhancement.Adjust(frame.Pixels(), kBrightness, 100);
    EXPECT_TRUE(enhancement.History().empty()) << "the value it already has";
    enhancement.Adjust(FramePixels{}, kBrightness, 120);
    enhancement.Filter(FramePixels{}, kSharpen);
    EXPECT_TRUE(enhancement.History().empty()) << "a view without video has nothing to enhance";
    enhancement.Adjust(frame.Pixels(), kBrightness, 120);
    enhancement.Adjust(frame.Pixels(), kBrightness, 150);
    EXPECT_EQ(frame.Get(1, 1)[0], 180) << "100 x 1.2 x 1.5";
    enhancement.Adjust(frame.Pixels(), kGamma, 150);
    EXPECT_EQ(enhancement.Gamma(), 150.0f);
    enhancement.Filter(frame.Pixels(), kSharpen);
    EXPECT_EQ(enhancement.History(),
              (std::vector<EnhancementStep>{{kBrightness, 120}, {kBrightness, 150}, {kGamma, 150}, {kFirstFilterCode + kSharpen, 0}}));

    // A fresh frame goes through the same chain from neutral values.
    TestFrame fresh(3, 3, 100);
    enhancement.Replay(fresh.Pixels());
    EXPECT_EQ(fresh.bytes, frame.bytes);
    EXPECT_EQ(enhancement.History().size(), 4u) << "replay records nothing";
    EXPECT_EQ(enhancement.Value(kBrightness), 150);

    enhancement.Reset();
    EXPECT_TRUE(enhancement.History().empty());
    EXPECT_EQ(enhancement.Value(kBrightness), 100);
    EXPECT_EQ(enhancement.Value(kGamma), 100);
}

TEST(FrameEnhancement, AZeroHeightRangeChangesNothingButIsRecorded) {
    TestFrame frame(4, 4, 90);
    const std::vector<std::uint8_t> before = frame.bytes;
    FrameEnhancement enhancement;
    enhancement.DefineRange(1, 2, 3, 2);
    EXPECT_EQ(enhancement.Range(), (RangeOfInterest{1, 2, 3, 2}));
    enhancement.Adjust(frame.Pixels(), kContrast, 50);
    enhancement.Filter(frame.Pixels(), kBlur);
    EXPECT_EQ(frame.bytes, before);
    EXPECT_EQ(enhancement.Value(kContrast), 50);
    EXPECT_EQ(enhancement.History().size(), 2u);

    // Corners in any order make the same rectangle.
    enhancement.DefineRange(3, 0, 1, 4);
    EXPECT_EQ(enhancement.Range(), (RangeOfInterest{1, 4, 3, 0}));

    // A range dragged past the frame's corner filters the part inside it.
    enhancement.DefineRange(-5, -3, 2, 2);
    frame.Set(0, 0, {0, 0, 0});
    enhancement.Filter(frame.Pixels(), kDilate);
    EXPECT_EQ(frame.Get(0, 0), (Bgr{90, 90, 90}));
    EXPECT_EQ(frame.Get(3, 3), (Bgr{90, 90, 90}));
}

TEST(FrameEnhancement, TheHistoryHoldsThirtyTwoSteps) {
    TestFrame frame(2, 2, 10);
    FrameEnhancement enhancement;
    enhancement.ClearRange(2, 2);
    for (int i = 0; i < 40; ++i) enhancement.Adjust(frame.Pixels(), kContrast, 101 + i);
    EXPECT_EQ(enhancement.History().size(), 32u);
    EXPECT_EQ(enhancement.Value(kContrast), 140) << "steps past the history still apply";
}

// Every filter command calls the library on the frame exactly as a direct call with the
// same headers does; the median reads an untouched copy.
TEST(FrameFilters, EachCommandMatchesTheLibraryCall) {
    std::mt19937 random(3);
    TestFrame original(13, 9);
    for (auto& byte : original.bytes) byte = static_cast<std::uint8_t>(random());
    const RangeOfInterest range{2, 8, 11, 1};
    for (int command = 0; command < kFilterCommandCount; ++command) {
        SCOPED_TRACE(command);
        TestFrame viaCommand = original;
        VopROI* roi = vopCreateROI(0, 0, 0, 0, 0);
        ApplyFilter(viaCommand.Pixels(), roi, range, command);

        TestFrame direct = original;
        TestFrame copy = original;
        VopROI* directRoi = vopCreateROI(0, range.left, range.bottom, range.right - range.left, range.top - range.bottom);
        auto header = [&](TestFrame& f) {
            VopImage* h = vopCreateImageHeader(3, 0, VOP_DEPTH_8U, "RGB", "BGR", 0, 1, 4, 13, 9, directRoi, nullptr, nullptr, nullptr);
            h->imageData = h->imageDataBase = reinterpret_cast<char*>(f.bytes.data());
            return h;
        };
        VopImage* src = header(command == kMedianFilter ? copy : direct);
        VopImage* dst = header(direct);
        switch (command) {
            case kSharpen: vopFixedFilter(src, dst, 10); break;
            case kMedianFilter: vopColorMedianFilter(src, dst, 3, 3, 1, 1); break;
            case kMaxFilter: vopMaxFilter(src, dst, 3, 3, 1, 1); break;
            case kMinFilter: vopMinFilter(src, dst, 3, 3, 1, 1); break;
            case kErode: vopErode(src, dst, 1); break;
            case kDilate: vopDilate(src, dst, 1); break;
            case kBlur: vopBlur(src, dst, 3, 3, 1, 1); break;
            case kOpen: vopOpen(src, dst, 1); break;
            case kClose: vopClose(src, dst, 1); break;
            default: vopFixedFilter(src, dst, command - 1); break;
        }
        vopDeallocate(src, 1);
        vopDeallocate(dst, 1);
        vopDeleteROI(directRoi);
        vopDeleteROI(roi);
        EXPECT_EQ(viaCommand.bytes, direct.bytes);
        EXPECT_NE(viaCommand.bytes, original.bytes);
    }
}

class EnhancedVideoTest : public ::testing::Test {
protected:
    FakePrompts prompts;
    VideoSource source{prompts};
    void SetUp() override {
        std::string path = VideoTestFile("mjpeg_320x240_50fps_50f.avi");
        ASSERT_TRUE(source.Open(path, "", 0, 0));
        ASSERT_TRUE(source.FetchFrame(0, false));
    }
    std::vector<std::uint8_t> Plain(int frame) {
        VideoSource other(prompts);
        std::string path = VideoTestFile("mjpeg_320x240_50fps_50f.avi");
        EXPECT_TRUE(other.Open(path, "", 0, 0));
        EXPECT_TRUE(other.FetchFrame(frame, true));
        return other.FrameBuffer();
    }
};

TEST_F(EnhancedVideoTest, EveryFrameShownAfterASharpenIsSharpenedOnce) {
    source.Enhancement().Filter(source.Pixels(), kSharpen);
    ASSERT_TRUE(source.FetchFrame(1, false));
    source.PrepareDisplayImage();
    TestFrame expected(320, 240);
    expected.bytes = Plain(1);
    FrameEnhancement once;
    once.ClearRange(320, 240);
    once.Filter(expected.Pixels(), kSharpen);
    EXPECT_EQ(source.FrameBuffer(), expected.bytes);
    EXPECT_EQ(source.Enhancement().History().size(), 1u);
}

TEST_F(EnhancedVideoTest, ClearAllFilteringShowsTheFrameAsStored) {
    source.Enhancement().Adjust(source.Pixels(), kBrightness, 160);
    source.Enhancement().Filter(source.Pixels(), kDilate);
    ASSERT_NE(source.FrameBuffer(), Plain(0));
    source.ClearAllFiltering();
    EXPECT_EQ(source.FrameBuffer(), Plain(0));
    EXPECT_TRUE(source.Enhancement().History().empty());
    EXPECT_EQ(source.Enhancement().Value(kBrightness), 100);
    ASSERT_TRUE(source.FetchFrame(9, false));
    source.PrepareDisplayImage();
    EXPECT_EQ(source.FrameBuffer(), Plain(9));
    EXPECT_EQ(ReadFrameIndex(source.Format(), source.FrameBuffer()), 9);
}

TEST_F(EnhancedVideoTest, OpeningAVideoSetsTheRangeToTheWholeFrame) {
    source.Enhancement().DefineRange(5, 5, 20, 30);
    std::string path = VideoTestFile("pal8_160x120_25fps_16f.avi");
    ASSERT_TRUE(source.Open(path, "", 0, 0));
    EXPECT_EQ(source.Enhancement().Range(), (RangeOfInterest{0, 120, 160, 0}));
}

}  // namespace
}  // namespace kadivo::test
