#include "DocumentFixture.h"
#include "FileIo.h"
#include "SequenceFile.h"
#include "WalkFigure.h"

#include <cstdlib>

namespace kadivo::test {
namespace {

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

}  // namespace
}  // namespace kadivo::test
