#include "DocumentFixture.h"
#include "FileIo.h"
#include "SequenceFile.h"

#include <cstdlib>

namespace kadivo::test {
namespace {

// The sample shipped in samples/walk.kdv: five points of a leg digitized over 20 frames.
// Set KADIVO_REGENERATE_SAMPLES=1 to write it anew after a deliberate format change.
class SampleSequence : public DocumentFixture {
protected:
    void Build() {
        NewSequence(5, 4);
        const char* names[] = {"Head", "Shoulder", "Hip", "Knee", "Ankle"};
        for (int p = 0; p < 5; ++p) {
            ModelPoint& point = doc->modelPoints[static_cast<std::size_t>(p)];
            point.name = names[p];
            point.side = p == 0 ? kSideNone : kSideRight;
            point.segmentCount = p < 4 ? 1 : 0;
            point.linkedPoint[0] = p < 4 ? p + 1 : -1;
            point.segmentName[0] = p < 4 ? std::string(names[p]) + "-" + names[p + 1] : "Segment 1";
        }
        doc->calibrationType = static_cast<int>(CalibrationType::Frame2D);
        doc->calibrationPoints = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}};
        videos.files["walk.avi"] = {49, {720, 576}, 0.04f};
        doc->OpenVideoFile("walk.avi", false);
        Source(0).FetchFrame(0, true);
        for (int frame = 0; frame < 20; ++frame) {
            for (int p = 0; p < 5; ++p) {
                const float x = 200.0f + 6.0f * static_cast<float>(frame) + 0.5f * static_cast<float>((frame * 7 + p * 3) % 11);
                const float y = 500.0f - 100.0f * static_cast<float>(p);
                doc->AddPoint({0, 0}, {x, y}, false);
            }
        }
        doc->SwitchToCalibration();
        for (Point2f p : {Point2f{100, 100}, Point2f{600, 100}, Point2f{600, 500}, Point2f{100, 500}})
            doc->AddPoint({0, 0}, p, false);
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
