#include "DemoScene.h"
#include "DocumentFixture.h"
#include "FileIo.h"
#include "SequenceFile.h"
#include "WalkFigure.h"

#include <cstdlib>

namespace kadivo::test {
namespace {

// A segment's centre of mass (as a fraction of the way from its first point) and its share
// of the body's mass: the segment table's values, with the hand carried by the forearm, the
// foot by the calf, and each sided segment counted for both sides of a figure marked on one.
struct SegmentShare {
    float ratio, mass;
};
constexpr SegmentShare kHead{0.464f, 0.073f}, kUpperArm{0.509f, 2 * 0.026f}, kForearmAndHand{0.582f, 2 * (0.016f + 0.007f)},
    kTrunk{0.438f, 2 * 0.253f}, kThigh{0.4f, 2 * 0.103f}, kCalfAndFoot{0.418f, 2 * (0.043f + 0.015f)};
// The walker has no arm markers: the arms go with the trunk.
constexpr SegmentShare kTrunkAndArms{0.438f, kTrunk.mass + kUpperArm.mass + kForearmAndHand.mass};

void Weigh(ModelPoint& point, int slot, SegmentShare share) {
    point.segmentParamA[static_cast<std::size_t>(slot)] = share.ratio;
    point.segmentParamB[static_cast<std::size_t>(slot)] = share.mass;
}

// The sample shipped in samples/walk.kdv: the five markers of samples/walk.avi digitized
// over its first 20 frames, and the calibration frame drawn in it.
// Set KADIVO_REGENERATE_SAMPLES=1 to write it anew after a deliberate format change.
class SampleSequence : public DocumentFixture {
protected:
    void Build() {
        using samples::WalkFigure;
        NewSequence(WalkFigure::kMarkers, 4);
        const char* names[] = {"Head", "Shoulder", "Hip", "Knee", "Ankle"};
        for (int p = 0; p < WalkFigure::kMarkers; ++p) {
            ModelPoint& point = doc->modelPoints[static_cast<std::size_t>(p)];
            point.name = names[p];
            point.side = p == 0 ? kSideNone : kSideRight;
            point.segmentCount = p < 4 ? 1 : 0;
            point.linkedPoint[0] = p < 4 ? p + 1 : -1;
            point.segmentName[0] = p < 4 ? std::string(names[p]) + "-" + names[p + 1] : "Segment 1";
        }
        const SegmentShare shares[] = {kHead, kTrunkAndArms, kThigh, kCalfAndFoot};
        for (int p = 0; p < 4; ++p) Weigh(doc->modelPoints[static_cast<std::size_t>(p)], 0, shares[p]);
        doc->calibrationType = static_cast<int>(CalibrationType::Frame2D);
        doc->calibrationPoints.clear();
        for (const auto& world : WalkFigure::kCalibrationWorld) doc->calibrationPoints.push_back({world[0], world[1], 0});
        doc->calibrationPoints.push_back({});
        videos.files["walk.avi"] = {WalkFigure::kFrames - 1, {WalkFigure::kWidth, WalkFigure::kHeight},
                                    1.0f / WalkFigure::kFramesPerSecond};
        doc->OpenVideoFile("walk.avi", false);
        Source(0).FetchFrame(0, true);
        for (int frame = 0; frame < 20; ++frame)
            for (const auto& marker : WalkFigure::Markers(frame)) doc->AddPoint({0, 0}, {marker.x, marker.y}, false);
        doc->SwitchToCalibration();
        for (const auto& mark : WalkFigure::kCalibrationMarks) doc->AddPoint({0, 0}, {mark.x, mark.y}, false);
        doc->SwitchToMovement();
        // Saved at the first frame, as the program saves a sequence it has just opened.
        doc->OnJumpToStart();
        GraphWindowState graph;
        graph.graphs[0].title = "Knee";
        doc->windows.push_back(graph);
    }
};

TEST_F(SampleSequence, ShippedSampleIsWhatTheWriterProduces) {
    Build();
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    const std::string path = std::string(KADIVO_SOURCE_DIR) + "/samples/walk.kdv";
    if (std::getenv("KADIVO_REGENERATE_SAMPLES")) WriteFileAtomically(path, bytes);
    EXPECT_EQ(ReadWholeFile(path), bytes) << "the sequence writer's output changed";
}

// The demo in samples/demo.kdv: the model of the figure in samples/demo-left.avi and
// samples/demo-right.avi, the calibration box with its control points clicked in both views,
// no movement yet, and a window for each camera.
class DemoSequence : public DocumentFixture {
protected:
    void Build() {
        using samples::DemoScene;
        NewSequence(DemoScene::kMarkers, DemoScene::kControlPoints);
        for (int p = 0; p < DemoScene::kMarkers; ++p) {
            ModelPoint& point = doc->modelPoints[static_cast<std::size_t>(p)];
            point = ModelPoint{};
            point.name = DemoScene::kMarkerNames[static_cast<std::size_t>(p)];
            point.side = p == 0 ? kSideNone : kSideRight;
        }
        for (const auto& [a, b] : DemoScene::kSegments) {
            ModelPoint& from = doc->modelPoints[static_cast<std::size_t>(a)];
            from.linkedPoint[static_cast<std::size_t>(from.segmentCount)] = b;
            from.segmentName[static_cast<std::size_t>(from.segmentCount)] =
                std::string(DemoScene::kMarkerNames[static_cast<std::size_t>(a)]) + "-" + DemoScene::kMarkerNames[static_cast<std::size_t>(b)];
            ++from.segmentCount;
        }
        // In the order of the figure's segments.
        const SegmentShare shares[] = {kHead, kUpperArm, kForearmAndHand, kTrunk, kThigh, kCalfAndFoot};
        for (std::size_t s = 0; s < DemoScene::kSegments.size(); ++s) {
            ModelPoint& from = doc->modelPoints[static_cast<std::size_t>(DemoScene::kSegments[s][0])];
            int slot = 0;
            while (from.linkedPoint[static_cast<std::size_t>(slot)] != DemoScene::kSegments[s][1]) ++slot;
            Weigh(from, slot, shares[s]);
        }
        doc->calibrationType = static_cast<int>(CalibrationType::Frame3D);
        doc->calibrationPoints.clear();
        for (const auto& p : DemoScene::ControlPoints()) doc->calibrationPoints.push_back({p.x, p.y, p.z});
        doc->calibrationPoints.push_back({});
        // A minute for the whole walk on the timer.
        doc->options.autoDigitizeInterval = 40;

        const auto cameras = DemoScene::Cameras();
        for (int v = 0; v < 2; ++v) {
            if (v > 0) doc->AddCameraView();
            doc->SetCurrentView(v);
            videos.files[DemoScene::VideoName(v)] = {DemoScene::kFrames - 1, {DemoScene::kWidth, DemoScene::kHeight},
                                                     1.0f / DemoScene::kFramesPerSecond};
            ASSERT_EQ(doc->OpenVideoFile(DemoScene::VideoName(v), false), 1);
            Source(v).FetchFrame(0, true);
            doc->SwitchToCalibration();
            // Clicked on the pixel nearest each control point's centre.
            for (const auto& p : DemoScene::ControlPoints()) {
                const auto at = DemoScene::Project(cameras[static_cast<std::size_t>(v)], p);
                doc->AddPoint({0, 0}, {static_cast<float>(std::round(at.u)), static_cast<float>(std::round(at.v))}, false);
            }
            doc->SwitchToMovement();
        }
        doc->SetCurrentView(0);
        doc->windows.clear();
        for (int v = 0; v < 2; ++v) {
            DigitizingWindowState window;
            window.setCameraIndex(v);
            window.placement.rectLeft = v * 534;
            window.placement.rectRight = v * 534 + 530;
            window.placement.rectTop = 0;
            window.placement.rectBottom = 440;
            doc->windows.push_back(window);
        }
    }
};

TEST_F(DemoSequence, ShippedDemoIsWhatTheWriterProduces) {
    Build();
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    const std::string path = std::string(KADIVO_SOURCE_DIR) + "/samples/demo.kdv";
    if (std::getenv("KADIVO_REGENERATE_SAMPLES")) WriteFileAtomically(path, bytes);
    EXPECT_EQ(ReadWholeFile(path), bytes) << "the sequence writer's output changed";
}

}  // namespace
}  // namespace kadivo::test
