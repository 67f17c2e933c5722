// Capture without a window: the driver report, the capture parameters, the driver list,
// dropped frames from timestamps, and recordings from the Test Pattern driver read back
// frame by frame.

#include "CaptureReport.h"
#include "CaptureSession.h"
#include "FrameCode.h"
#include "HeadlessPrompts.h"
#include "TempDir.h"
#include "VideoSource.h"
#include "capture/TestPatternDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <thread>

namespace kadivo {
namespace {

// A driver of stated abilities that delivers no frames.
class StatedDevice : public CaptureDevice {
public:
    StatedDevice(CaptureAbilities abilities, CaptureFormat format) : abilities_(std::move(abilities)), format_(format) {}
    CaptureDriverName Name() const override { return {"Frame Grabber", "2.1"}; }
    CaptureAbilities Abilities() const override { return abilities_; }
    CaptureFormat Format() const override { return format_; }
    bool SetFrameSize(FrameSize, std::string&) override { return false; }
    std::vector<CaptureControl> Controls() const override { return {}; }
    bool SetControl(const std::string&, int) override { return false; }
    bool Start(int, std::string& error) override {
        ++starts;
        error = "no signal";
        return false;
    }
    bool NextFrame(CapturedFrame&, std::string&) override { return false; }
    void Stop() override {}

    int starts = 0;

private:
    CaptureAbilities abilities_;
    CaptureFormat format_;
};

TEST(CaptureReport, TheTextOfAConnectedDriverLineByLine) {
    CaptureAbilities abilities;
    abilities.bufferCount = 32;
    abilities.compression = true;
    abilities.frameSizes = {{768, 576}, {384, 288}};
    abilities.bitDepths = {2, 8, 24};  // 2 is not among the depths the report lists
    const StatedDevice device(abilities, {768, 576, 24});
    const std::string report =
        CaptureDriverReport({{"Frame Grabber", "2.1"}, {"Test Pattern", "1.0"}}, &device);
    EXPECT_EQ(report,
              "\r\n\tTotal capture drivers installed:2\r\n\r\n"
              " 1. Frame Grabber.2.1\r\n 2. Test Pattern.1.0\r\n"
              "\r\n\t\tCurrent Driver info\r\n\r\n"
              "Capture driver:\tFrame Grabber\r\nDriver version:\t2.1\r\nBuffers  count:\t32\r\n"
              "Compression:\tYes\r\nVideo standard:\tPAL/SECAM\r\nBits resolution:\t24 bits\r\n"
              "++Supported bits resolution:\r\n\t\t\t8 bits\r\n\t\t\t24 bits\r\n"
              "Frame size:\t768x576 pixels\r\n"
              "++Supported frame sizes:\r\n\t\t\t768x576 pixels\r\n\t\t\t384x288 pixels\r\n");
}

TEST(CaptureReport, WithoutADriverTheCurrentPartIsEmpty) {
    const std::string report = CaptureDriverReport({}, nullptr);
    EXPECT_NE(report.find("Total capture drivers installed:0\r\n"), std::string::npos);
    EXPECT_NE(report.find("Capture driver:\t\r\nDriver version:\t\r\nBuffers  count:\t0\r\nCompression:\tNo\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("Bits resolution:\t0 bits\r\n++Supported bits resolution:\r\nFrame size:\t0x0 pixels\r\n"),
              std::string::npos);
    EXPECT_EQ(report.substr(report.size() - 26), "++Supported frame sizes:\r\n");
}

TEST(CaptureReport, TheVideoStandardFollowsTheWidths) {
    CaptureAbilities pal;
    pal.frameSizes = {{768, 576}};
    EXPECT_FALSE(IsNtsc(pal, {768, 576, 24}));
    CaptureAbilities ntsc;
    ntsc.frameSizes = {{768, 576}, {640, 480}};
    EXPECT_TRUE(IsNtsc(ntsc, {768, 576, 24}));
    for (int width : {320, 640, 160, 400}) EXPECT_TRUE(IsNtsc({}, {width, 300, 24})) << width;
    EXPECT_FALSE(IsNtsc({}, {720, 576, 24}));  // no sizes listed: the current one decides
    const std::string report = CaptureDriverReport({}, std::make_unique<StatedDevice>(ntsc, CaptureFormat{}).get());
    EXPECT_NE(report.find("Video standard:\tNTSC\r\n"), std::string::npos);
}

TEST(CaptureDrivers, TheListEndsAtTheFirstGapAndAtTen) {
    const auto withDrivers = [](std::vector<int> present) {
        return ListCaptureDrivers([present](int index) -> std::optional<CaptureDriverName> {
            if (std::find(present.begin(), present.end(), index) == present.end()) return std::nullopt;
            return CaptureDriverName{"driver " + std::to_string(index), "1"};
        });
    };
    const std::vector<CaptureDriverName> gap = withDrivers({0, 1, 3});
    ASSERT_EQ(gap.size(), 2u);
    EXPECT_EQ(gap[1].name, "driver 1");
    EXPECT_TRUE(withDrivers({1, 2}).empty());
    EXPECT_EQ(withDrivers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}).size(), 10u);
    // This computer's list ends with the Test Pattern, which needs no hardware.
    const CaptureDrivers& system = SystemCaptureDrivers();
    const std::vector<CaptureDriverName> installed = ListCaptureDrivers(system);
    ASSERT_FALSE(installed.empty());
    EXPECT_EQ(installed.back().name, "Test Pattern");
}

TEST(CaptureSettings, TimePerFrameIsTruncatedAndTheLimitCountsFrames) {
    CaptureSettings settings;
    settings.framesPerSecond = 25;
    EXPECT_EQ(settings.MicrosecondsPerFrame(), 40000);
    settings.framesPerSecond = 30;
    EXPECT_EQ(settings.MicrosecondsPerFrame(), 33333);
    settings.seconds = 3;
    EXPECT_EQ(settings.FramesWanted(), 90);
    settings.framesPerSecond = 0;
    EXPECT_EQ(settings.MicrosecondsPerFrame(), 0);
    EXPECT_EQ(settings.FramesWanted(), 0);
}

TEST(CaptureSettings, DroppedFramesAreCountedFromTimestamps) {
    EXPECT_EQ(FramesMissingBetween(0, 40000, 40000), 0);
    EXPECT_EQ(FramesMissingBetween(0, 58000, 40000), 0);  // a late frame is not a lost one
    EXPECT_EQ(FramesMissingBetween(0, 62000, 40000), 1);
    EXPECT_EQ(FramesMissingBetween(1000000, 1160000, 40000), 3);
    EXPECT_EQ(FramesMissingBetween(40000, 40000, 40000), 0);
    EXPECT_EQ(FramesMissingBetween(80000, 40000, 40000), 0);  // a clock stepping back
    EXPECT_EQ(FramesMissingBetween(0, 80000, 0), 0);
}

// The frame counter burned into each frame of a recording, in the order asked. Motion JPEG
// of 401 lines and more opens as interlaced fields; the test pattern's frames are whole.
std::vector<int> CodesOf(const std::string& path, const std::vector<int>& order) {
    HeadlessPrompts prompts;
    VideoSource source(prompts);
    std::string name = path;
    EXPECT_TRUE(source.Open(name, "", 0, 0));
    source.SetImageOptions(0, source.FirstField());
    std::vector<int> codes;
    for (int index : order) {
        EXPECT_TRUE(source.FetchFrame(index, true)) << index;
        codes.push_back(test::ReadFrameIndex(source.Format(), source.FrameBuffer()));
    }
    return codes;
}

int StreamLength(const std::string& path) {
    HeadlessPrompts prompts;
    VideoSource source(prompts);
    std::string name = path;
    return source.Open(name, "", 0, 0) ? source.StreamLength() : -1;
}

CaptureSession::WriterFactory WriterAt(const std::string& path) {
    return [path](int width, int height, int rate, std::string& error) {
        return CreateMjpegAviFile(path, width, height, rate, error);
    };
}

TEST(CaptureSession, TwoSecondsOfTheTestPatternHoldFiftyFramesEachCarryingItsIndex) {
    test::TempDir dir;
    const std::string path = dir.Path("capture.avi");
    TestPatternDevice device({.realTime = false});
    CaptureSettings settings;
    settings.framesPerSecond = 25;
    settings.seconds = 2;
    CaptureSession session(device, settings, WriterAt(path));
    const CaptureOutcome outcome = session.Run();
    EXPECT_EQ(outcome.status, CaptureOutcome::Status::Captured) << outcome.error;
    EXPECT_EQ(outcome.framesCaptured, 50);
    EXPECT_EQ(outcome.framesDropped, 0);
    EXPECT_EQ(CaptureFailureMessage(outcome), "");

    ASSERT_EQ(StreamLength(path), 50);
    std::vector<int> order(50);
    for (int n = 0; n < 50; ++n) order[static_cast<std::size_t>(n)] = n;
    EXPECT_EQ(CodesOf(path, order), order);
    std::shuffle(order.begin(), order.end(), std::mt19937(17));
    EXPECT_EQ(CodesOf(path, order), order);
}

TEST(CaptureSession, FramesTheDeviceDropsAreCountedAndReported) {
    test::TempDir dir;
    const std::string path = dir.Path("capture.avi");
    TestPatternDevice device({.dropEvery = 10, .realTime = false});  // loses frames 9, 19, 29, ...
    CaptureSettings settings;
    settings.framesPerSecond = 50;
    settings.seconds = 1;
    CaptureSession session(device, settings, WriterAt(path));
    const CaptureOutcome outcome = session.Run();
    EXPECT_EQ(outcome.status, CaptureOutcome::Status::Dropped);
    EXPECT_EQ(outcome.framesDropped, 5);  // the last one, frame 49, only when frame 50 comes
    EXPECT_EQ(outcome.framesCaptured, 45);
    EXPECT_EQ(CaptureFailureMessage(outcome), "Frames droped during capturing.\nVideo sequence can not be used for analysis!");
    // The frames that came are in the file in their order, the lost ones missing.
    const std::vector<int> codes = CodesOf(path, {0, 8, 9, 44});
    EXPECT_EQ(codes, (std::vector<int>{0, 8, 10, 48}));
}

TEST(CaptureSession, TooManyDroppedFramesEndTheCaptureEarly) {
    test::TempDir dir;
    TestPatternDevice device({.dropEvery = 2, .realTime = false});  // every second frame
    CaptureSettings settings;
    settings.framesPerSecond = 50;
    settings.seconds = 2;
    CaptureSession session(device, settings, WriterAt(dir.Path("capture.avi")));
    const CaptureOutcome outcome = session.Run();
    EXPECT_EQ(outcome.status, CaptureOutcome::Status::Dropped);
    EXPECT_GT(outcome.framesDropped * 100, settings.FramesWanted() * settings.percentDropForError);
    EXPECT_LT(outcome.framesCaptured + outcome.framesDropped, settings.FramesWanted() / 2);
}

TEST(CaptureSession, CancellingStopsBetweenFramesAndDuringTheDelay) {
    test::TempDir dir;
    TestPatternDevice device;
    CaptureSettings settings;
    settings.seconds = 30;
    CaptureSession running(device, settings, WriterAt(dir.Path("a.avi")));
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        running.Cancel();
    });
    const CaptureOutcome cancelled = running.Run();
    canceller.join();
    EXPECT_EQ(cancelled.status, CaptureOutcome::Status::Cancelled);
    EXPECT_GT(cancelled.framesCaptured, 0);
    EXPECT_LT(cancelled.framesCaptured, 100);
    EXPECT_EQ(CaptureFailureMessage(cancelled), "");

    settings.delayMilliseconds = 60000;
    CaptureSession delayed(device, settings, WriterAt(dir.Path("b.avi")));
    delayed.Cancel();
    EXPECT_EQ(delayed.Run().status, CaptureOutcome::Status::Cancelled);
}

TEST(CaptureSession, AFileThatCannotBeMadeOrADeviceThatRefusesSaysWhy) {
    TestPatternDevice device;
    CaptureSettings settings;
    settings.seconds = 1;
    CaptureSession noFile(device, settings, WriterAt("/nonexistent-folder/capture.avi"));
    const CaptureOutcome file = noFile.Run();
    EXPECT_EQ(file.status, CaptureOutcome::Status::FileFailed);
    EXPECT_EQ(CaptureFailureMessage(file).rfind(kRecordingNotWrittenMessage, 0), 0u);
    EXPECT_GT(CaptureFailureMessage(file).size(), std::string(kRecordingNotWrittenMessage).size() + 1);

    StatedDevice refusing({}, {});
    CaptureSession noSignal(refusing, settings, WriterAt("/tmp/unused.avi"));
    const CaptureOutcome refused = noSignal.Run();
    EXPECT_EQ(refused.status, CaptureOutcome::Status::Refused);
    EXPECT_EQ(CaptureFailureMessage(refused), "Error Capturing video\nno signal");
}

TEST(CaptureSession, TheFileGetsItsSpaceBeforeTheDeviceStartsAndKeepsOnlyTheVideo) {
    test::TempDir dir;
    TestPatternDevice device({.realTime = false});
    CaptureSettings settings;
    settings.seconds = 1;
    const std::string path = dir.Path("captmp.avi");
    std::uintmax_t sizeBeforeFrames = 0;
    CaptureSession session(
        device, settings,
        [&](int width, int height, int rate, std::string& error) {
            sizeBeforeFrames = std::filesystem::file_size(path);
            return CreateMjpegAviFile(path, width, height, rate, error, AviFileSpace::Reserved);
        },
        [&](std::string& error) { return ReserveFileSpace(path, kDefaultCaptureFileBytes, error); });
    const CaptureOutcome outcome = session.Run();
    ASSERT_EQ(outcome.status, CaptureOutcome::Status::Captured) << outcome.error;
    EXPECT_EQ(sizeBeforeFrames, 0xA00000u) << "10 MB before the first frame";
    const std::uintmax_t size = std::filesystem::file_size(path);
    EXPECT_LT(size, 0xA00000u) << "cut to the video";
    ASSERT_EQ(StreamLength(path), 25);
    std::vector<int> order(25);
    for (int n = 0; n < 25; ++n) order[static_cast<std::size_t>(n)] = n;
    EXPECT_EQ(CodesOf(path, order), order) << "every frame of the reserved file";

    // A file that cannot have its space: the device is never started.
    StatedDevice untouched({}, {});
    CaptureSession noSpace(untouched, settings, WriterAt(dir.Path("unused.avi")), [](std::string& reason) {
        reason = "No space left on device";
        return false;
    });
    const CaptureOutcome refused = noSpace.Run();
    EXPECT_EQ(refused.status, CaptureOutcome::Status::NoSpace);
    EXPECT_EQ(CaptureFailureMessage(refused), std::string(kCaptureFileMessage) + "\nNo space left on device");
    EXPECT_EQ(untouched.starts, 0);
    std::string error;
    EXPECT_FALSE(ReserveFileSpace("/nonexistent-folder/captmp.avi", 1024, error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST(TestPattern, SizesControlsAndTheCodeBlock) {
    TestPatternDevice device;
    std::string error;
    EXPECT_FALSE(device.SetFrameSize({641, 480}, error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(device.SetFrameSize({320, 240}, error));
    EXPECT_TRUE(device.SetControl("Brightness", 90));
    EXPECT_FALSE(device.SetControl("Brightness", 256));
    EXPECT_FALSE(device.SetControl("Focus", 1));
    CapturedFrame frame;
    device.Draw(0x1234, frame);
    ASSERT_EQ(frame.width, 320);
    BitmapFormat format;
    format.header.width = 320;
    format.header.height = 240;
    format.header.bitCount = 24;
    EXPECT_EQ(test::ReadFrameIndex(format, frame.rows), 0x1234);
    EXPECT_EQ(test::ReadStreamTag(format, frame.rows), 1);
    EXPECT_EQ(test::GreyAt(format, frame.rows, 300, 230), 90);  // the ground follows Brightness
}

}  // namespace
}  // namespace kadivo
