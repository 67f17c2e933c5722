// Tracking markers through real videos with the document, as the digitizing window and
// kadivo-cli track do.

#include "AviWriter.h"
#include "BatchTracking.h"
#include "CKadivoDoc.h"
#include "FakePrompts.h"
#include "FrameCode.h"
#include "MarkerTracker.h"
#include "MiniJson.h"
#include "TempDir.h"
#include "VideoSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace kadivo {
inline void PrintTo(const Point2f& p, std::ostream* out) { *out << "(" << p.x << ", " << p.y << ")"; }
}  // namespace kadivo

namespace kadivo::test {
namespace {

// A window that records where the cursor went and can refuse its timer. Like a real one, the
// mouse stays over the frame where the cursor was last sent.
class RecordingHost : public HeadlessTrackingHost {
public:
    bool timerWorks = true;
    std::vector<Point2f> cursor;

    bool StartTimer(int) override { return timerWorks; }
    bool ShowsMessages() const override { return true; }
    void PlaceCursor(Point2f at) override { cursor.push_back(at); }
    std::optional<Point2f> Pointer() const override {
        return cursor.empty() ? std::nullopt : std::optional<Point2f>(cursor.back());
    }
};

class Tracking : public ::testing::Test {
protected:
    FakePrompts prompts;
    std::unique_ptr<CKadivoDoc> doc = std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts));
    RecordingHost host;
    AutomaticDigitizing tracking{*doc, host};

    void OpenSequence(const std::string& video, int points = 1) {
        NewSequenceSetup setup;
        setup.pointCount = points;
        for (int p = 0; p < points; ++p) setup.modelPoints[static_cast<std::size_t>(p)].name = "P" + std::to_string(p + 1);
        prompts.wizardResult = setup;
        ASSERT_TRUE(doc->OnNewDocument());
        ASSERT_EQ(doc->OpenVideoFile(video, false), 1);
        ASSERT_TRUE(Source().FetchFrame(0, false));
    }
    VideoSource& Source() { return static_cast<VideoSource&>(*doc->views[0].videoSource); }
    void Use(int method, bool bright, bool velocity) {
        Source().SetTemplateMethod(method);
        Source().SetTracking({4, bright, velocity});
    }
    // The positions of point 0 in frames 0, 1, …, as far as they are digitized.
    std::vector<Point2f> Track() const {
        std::vector<Point2f> track;
        for (const FrameRecord& record : doc->views[0].frameStore.records())
            if (record.digitizedCount > 0) track.push_back(record.imagePos[0]);
        return track;
    }
    void RunToTheEnd() {
        tracking.Go();
        for (int ticks = 0; tracking.Running() && ticks < 1000; ++ticks) tracking.Tick();
        EXPECT_FALSE(tracking.Running());
    }
};

// The disc's centre in every frame of the test video, in frame coordinates: its column and
// its row in the bottom-up frame buffer.
std::vector<Point2f> DiscCentres() {
    const Json sidecar = Json::ParseFile(VideoTestFile("mjpeg_320x240_50fps_50f.json"));
    std::vector<Point2f> centres;
    for (const Json& frame : sidecar["centres"].items)
        centres.push_back({static_cast<float>(frame["x"].number), static_cast<float>(frame["y_bottom"].number)});
    return centres;
}

TEST_F(Tracking, TheDiscOfTheTestVideoIsFollowedThroughEveryFrame) {
    const std::vector<Point2f> centres = DiscCentres();
    ASSERT_EQ(centres.size(), 50u);
    struct Setting {
        const char* name;
        int method;
        bool bright, velocity;
        double allowed;  // largest distance from the centres, pixels; 0 when only reported
    };
    // With "Bright Marker" every frame snaps to the bright pixels' centroid, so errors cannot
    // add up. "Use Velocity" keeps the first frames, before three records give a prediction,
    // within "Size" pixels of the point before: the disc moves 8 pixels there.
    const Setting settings[] = {
        {"SAVD + Bright Marker", 1, true, false, 1.0},        {"SAVD + Bright Marker + Use Velocity", 1, true, true, 0.0},
        {"SAVD", 1, false, false, 0.0},                       {"SAVD + Use Velocity", 1, false, true, 0.0},
        {"Convolution + Bright Marker", 0, true, false, 0.0}, {"Convolution + Bright Marker + Use Velocity", 0, true, true, 0.0},
        {"Convolution", 0, false, false, 0.0},                {"Convolution + Use Velocity", 0, false, true, 0.0},
    };
    for (const Setting& setting : settings) {
        doc = std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts));
        AutomaticDigitizing run(*doc, host);
        OpenSequence(VideoTestFile("mjpeg_320x240_50fps_50f.avi"));
        Use(setting.method, setting.bright, setting.velocity);
        ASSERT_TRUE(run.Digitize(centres[0]));
        run.Go();
        for (int ticks = 0; run.Running() && ticks < 1000; ++ticks) run.Tick();
        EXPECT_EQ(run.LastStop(), AutomaticDigitizing::Stop::End) << setting.name;

        const std::vector<Point2f> track = Track();
        double worst = 0.0;
        for (std::size_t f = 0; f < track.size(); ++f)
            worst = std::max(worst, static_cast<double>(std::hypot(track[f].x - centres[f].x, track[f].y - centres[f].y)));
        std::printf("%-45s %zu frames, largest distance from the disc centre %.2f px\n", setting.name, track.size(), worst);
        EXPECT_EQ(track.size(), 50u) << setting.name;
        if (setting.allowed > 0.0) {
            EXPECT_LE(worst, setting.allowed) << setting.name;
        }
    }
}

TEST_F(Tracking, PreviousPositionPutsTheCursorOnThePointOfTheFrameBefore) {
    OpenSequence(VideoTestFile("mjpeg_320x240_50fps_50f.avi"));
    doc->options.locateMethod = 0;
    ASSERT_TRUE(tracking.Digitize({256.0f, 119.0f}));
    EXPECT_EQ(doc->current().currentFrame, 1);
    ASSERT_EQ(host.cursor.size(), 1u);
    EXPECT_EQ(host.cursor[0], (Point2f{256.0f, 119.0f}));

    // "None" locates nothing, so the cursor stays where it is.
    doc->options.locateMethod = 2;
    ASSERT_TRUE(tracking.Digitize({250.0f, 110.0f}));
    EXPECT_EQ(host.cursor.size(), 1u);
    // Nor does a frame whose frame before has no template.
    doc->options.locateMethod = 1;
    doc->GoToFrame(10, false);
    tracking.LocateNext();
    EXPECT_EQ(host.cursor.size(), 1u);
}

TEST_F(Tracking, APointThatCannotBeLocatedStopsGoInsteadOfTakingThePreviousPoint) {
    OpenSequence(VideoTestFile("mjpeg_320x240_50fps_50f.avi"), 2);
    ASSERT_TRUE(tracking.Digitize(DiscCentres()[0]));
    doc->MarkPointMissingInFrame();  // P2 not seen in frame 0: no template for frame 1
    ASSERT_EQ(doc->current().currentFrame, 1);
    prompts.ExpectMessage(std::string(AutomaticDigitizing::kLostMessage) +
                          "\n\"P2\" could not be located in frame 1: digitize it by hand, then go on.");
    RunToTheEnd();
    EXPECT_EQ(tracking.LastStop(), AutomaticDigitizing::Stop::NoPosition);
    ASSERT_TRUE(tracking.Lost());
    EXPECT_EQ(tracking.Lost()->frame, 1);
    EXPECT_EQ(tracking.Lost()->point, 1);
    const FrameRecord* frame1 = doc->current().frameStore.FindRecord(1, kMovement);
    ASSERT_TRUE(frame1);
    EXPECT_EQ(frame1->digitizedCount, 1) << "P1 tracked, P2 left to the user";
    EXPECT_EQ(doc->current().frameStore.recordCount(), 2);

    // With "None" the user leads: the step takes the mouse position.
    doc->options.locateMethod = kLocateByHand;
    host.cursor.push_back({40.0f, 30.0f});
    tracking.SinglePoint();
    frame1 = doc->current().frameStore.FindRecord(1, kMovement);
    EXPECT_EQ(frame1->digitizedCount, 2);
    EXPECT_EQ(frame1->imagePos[1], (Point2f{40.0f, 30.0f}));
}

TEST_F(Tracking, KadivoCliTrackReportsThePointItCouldNotLocate) {
    OpenSequence(VideoTestFile("mjpeg_320x240_50fps_50f.avi"), 2);
    ASSERT_TRUE(tracking.Digitize(DiscCentres()[0]));
    doc->MarkPointMissingInFrame();
    const TrackingReport report = TrackView(*doc, 0);
    EXPECT_EQ(ReportLine(*doc, report), "view 1: 0 frames tracked; no position to track from at frame 1, point 2 (P2)");
    EXPECT_EQ(doc->current().frameStore.FindRecord(1, kMovement)->digitizedCount, 1);
}

TEST_F(Tracking, TheFrameBeforeIsItsLastRecordInListOrder) {
    // Files may hold a frame twice; the later record is the one the frame after follows.
    OpenSequence(VideoTestFile("mjpeg_320x240_50fps_50f.avi"));
    Use(1, true, false);
    doc->options.locateMethod = kLocateByPreviousPosition;
    ASSERT_TRUE(tracking.Digitize({10.0f, 10.0f}));
    FrameRecord& again = doc->views[0].frameStore.NewRecord(0);
    again.imagePos[0] = DiscCentres()[0];
    again.digitizedCount = 1;
    tracking.LocateNext();
    EXPECT_EQ(host.cursor.back(), DiscCentres()[0]);

    // Templates from the frame before are taken there too: the search finds the disc.
    Source().TemplateOf(0) = {};
    CaptureTemplatesFromPreviousFrame(*doc, 0);
    doc->options.locateMethod = kLocateByComputerVision;
    tracking.LocateNext();
    const Point2f found = host.cursor.back();
    EXPECT_LE(std::hypot(found.x - DiscCentres()[1].x, found.y - DiscCentres()[1].y), 1.5f);
}

TEST_F(Tracking, AnErasedPointSendsTheCursorBackToWhereItWas) {
    OpenSequence(VideoTestFile("mjpeg_320x240_50fps_50f.avi"), 2);
    ASSERT_TRUE(tracking.Digitize({100.0f, 50.0f}));
    doc->RemoveLastPoint();
    tracking.LocateNext();
    ASSERT_EQ(host.cursor.size(), 1u);
    EXPECT_EQ(host.cursor[0], (Point2f{100.0f, 50.0f}));
}

// A video of a bright square that moves right by 20, then by 21 pixels. Placements reach
// 16 pixels right of the window's centre in a 50-pixel window, so the window is 100 pixels.
class JumpingMarker : public Tracking {
protected:
    TempDir dir;

    void SetUp() override {
        constexpr int kWidth = 240, kHeight = 160;
        std::string error;
        auto writer = CreateMjpegAviFile(dir.Path("jump.avi"), kWidth, kHeight, 25, error);
        ASSERT_TRUE(writer) << error;
        for (int left : {60, 80, 101, 101}) {
            std::vector<std::uint8_t> rows(static_cast<std::size_t>(kWidth * 3 * kHeight), 40);
            for (int y = 77; y < 84; ++y)
                for (int x = left; x < left + 7; ++x)
                    for (int c = 0; c < 3; ++c) rows[static_cast<std::size_t>((y * kWidth + x) * 3 + c)] = 255;
            ASSERT_TRUE(writer->WriteFrame(rows.data(), kWidth * 3));
        }
        ASSERT_TRUE(writer->Finish());
        OpenSequence(dir.Path("jump.avi"));
        doc->options.searchWidth = doc->options.searchHeight = 100;
        Use(1, true, false);
    }
};

TEST_F(JumpingMarker, AMoveBeyondTheThresholdStopsAutomaticDigitizing) {
    ASSERT_TRUE(tracking.Digitize({63.0f, 80.0f}));
    prompts.ExpectMessage(AutomaticDigitizing::kLostMessage);
    RunToTheEnd();
    // 20 pixels were accepted, 21 were not.
    EXPECT_EQ(Track(), (std::vector<Point2f>{{63.0f, 80.0f}, {83.0f, 80.0f}}));
    EXPECT_EQ(tracking.LastStop(), AutomaticDigitizing::Stop::Lost);
    ASSERT_TRUE(tracking.Lost());
    EXPECT_EQ(tracking.Lost()->frame, 2);
    ASSERT_EQ(prompts.shownMessageStyles.size(), 1u);
    EXPECT_EQ(prompts.shownMessageStyles[0].caption, AutomaticDigitizing::kLostCaption);
    EXPECT_FALSE(prompts.shownMessageStyles[0].warning);
    // The cursor waits on the point of the frame before.
    EXPECT_EQ(host.cursor.back(), (Point2f{83.0f, 80.0f}));

    // Threshold 21 lets it through.
    doc->options.thresholdMovement = 21;
    RunToTheEnd();
    EXPECT_EQ(Track().back(), (Point2f{104.0f, 80.0f}));
    EXPECT_EQ(tracking.LastStop(), AutomaticDigitizing::Stop::End);
}

TEST_F(JumpingMarker, ByHandALostMarkerOnlyPlacesTheCursor) {
    ASSERT_TRUE(tracking.Digitize({63.0f, 80.0f}));
    ASSERT_TRUE(tracking.Digitize({83.0f, 80.0f}));
    EXPECT_EQ(host.cursor.back(), (Point2f{83.0f, 80.0f}));
    EXPECT_TRUE(prompts.shownMessageStyles.empty());
}

TEST_F(JumpingMarker, SinglePointTakesOneLocatedPointWithoutTheTimer) {
    ASSERT_TRUE(tracking.Digitize({63.0f, 80.0f}));
    host.timerWorks = false;
    tracking.SinglePoint();
    EXPECT_FALSE(tracking.Running());
    EXPECT_EQ(Track().back(), (Point2f{83.0f, 80.0f}));

    prompts.ExpectMessage(AutomaticDigitizing::kTimerError);
    tracking.Go();
    EXPECT_FALSE(tracking.Running());
    EXPECT_TRUE(prompts.shownMessageStyles.back().warning);
}

TEST_F(JumpingMarker, BatchTrackingReportsWhereTheMarkerWasLost) {
    ASSERT_TRUE(tracking.Digitize({63.0f, 80.0f}));
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("jump.kdv")));
    // Templates come from the frame before the current one, not from the clicks; nothing is
    // shown.
    doc = std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts));
    ASSERT_TRUE(doc->OnOpenDocument(dir.Path("jump.kdv")));
    const TrackingReport report = TrackView(*doc, 0);
    EXPECT_EQ(report.framesTracked, 1);
    EXPECT_TRUE(report.lost);
    EXPECT_EQ(ReportLine(*doc, report), "view 1: 1 frame tracked; marker lost at frame 2, point 1 (P1)");
}

}  // namespace
}  // namespace kadivo::test
