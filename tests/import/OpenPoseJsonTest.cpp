// OpenPose's JSON: a file a frame, the first person's keypoints.

#include "DocumentFixture.h"
#include "ErrorMessage.h"
#include "TempDir.h"
#include "TrackFileWriters.h"
#include "TrackImport.h"

#include <cmath>

namespace kadivo::test {
namespace {

std::string FrameFile(int frame) {
    char name[64];
    std::snprintf(name, sizeof name, "trial_%012d_keypoints.json", frame);
    return name;
}

class OpenPoseImport : public DocumentFixture {
protected:
    TempDir dir;
    void SetUp() override {
        NewSequence(3);
        const char* names[] = {"Nose", "RWrist", "LAnkle"};
        for (int p = 0; p < 3; ++p) doc->modelPoints[static_cast<std::size_t>(p)].name = names[p];
        OpenVideo("walk.avi", 9);
    }
    // Frames 0 to 4 of a BODY_25 run: frame 1 without people, frame 3's file not there;
    // keypoint k of frame f at (10 k + f + 0.5, 230.25 − k), LAnkle not detected in frame 4.
    void WriteRun() {
        const SampleOf sample = [](int f, int k) {
            if (f == 4 && k == 14) return TrackSample{NAN, NAN, 0};
            return TrackSample{10.0f * static_cast<float>(k) + static_cast<float>(f) + 0.5f, 230.25f - static_cast<float>(k), 0.8f};
        };
        for (int f : {0, 1, 2, 4}) dir.WriteText(FrameFile(f), OpenPoseFrame(25, f, sample, f != 1));
        dir.WriteText("other_000000000000_keypoints.json", "not of this run");
    }
};

TEST_F(OpenPoseImport, TheWholeRunOfTheChosenFileComesInInFrameOrder) {
    WriteRun();
    const std::string chosen = dir.Path(FrameFile(2));
    EXPECT_EQ(GuessTrackFileFormat(chosen), TrackFormat::OpenPoseJson);
    const TrackSet tracks = ReadTrackFile(TrackFormat::OpenPoseJson, chosen, 1);
    ASSERT_EQ(tracks.names.size(), 25u);
    EXPECT_EQ(tracks.names[0], "Nose");
    EXPECT_EQ(tracks.names[8], "MidHip");
    EXPECT_EQ(tracks.names[24], "RHeel");
    ASSERT_EQ(tracks.frames.size(), 5u);
    EXPECT_TRUE(std::isnan(tracks.frames[1][0].x)) << "nobody in frame 1";
    EXPECT_TRUE(std::isnan(tracks.frames[3][0].x)) << "no file for frame 3";
    ImportTracks(*doc, 0, tracks, PlanByName(tracks, *doc), chosen);
    const ViewFrameStore& store = doc->current().frameStore;
    EXPECT_EQ(store.FindRecord(2, kMovement)->imagePos[1], (Point2f{42.5f, 240.0f - 226.25f})) << "RWrist is keypoint 4";
    EXPECT_EQ(store.FindRecord(4, kMovement)->imagePos[2], kNoPosition) << "0, 0, 0: not detected";
    EXPECT_EQ(store.FindRecord(1, kMovement)->imagePos[0], kNoPosition);
}

TEST_F(OpenPoseImport, BrokenFramesNameTheirFile) {
    const SampleOf sample = [](int, int) { return TrackSample{1, 2, 0.9f}; };
    const std::string cut = dir.WriteText("a_000000000000_keypoints.json", OpenPoseFrame(18, 0, sample).substr(0, 40));
    EXPECT_EQ(ErrorMessage<TrackFileError>([&] { ReadTrackFile(TrackFormat::OpenPoseJson, cut, 1); }), cut + ", byte 41: not JSON; this is no OpenPose file");
    const std::string huge = dir.WriteText("h.json", "{\"version\":1e999,\"people\":[]}");
    EXPECT_EQ(ErrorMessage<TrackFileError>([&] { ReadTrackFile(TrackFormat::OpenPoseJson, huge, 1); }), huge + ": JSON that cannot be read; this is no OpenPose file");
    const std::string other = dir.WriteText("b.json", "{\"people\": 3}");
    EXPECT_EQ(ErrorMessage<TrackFileError>([&] { ReadTrackFile(TrackFormat::OpenPoseJson, other, 1); }), other + ": no list \"people\"; this is no OpenPose file");
    const std::string word = dir.WriteText("c.json", "{\"people\":[{\"pose_keypoints_2d\":[1,2,\"high\"]}]}");
    EXPECT_EQ(ErrorMessage<TrackFileError>([&] { ReadTrackFile(TrackFormat::OpenPoseJson, word, 1); }), word + ": people[0].pose_keypoints_2d[2] is not a number");
    dir.WriteText("d_000000000000_keypoints.json", OpenPoseFrame(18, 0, sample));
    const std::string fewer = dir.WriteText("d_000000000001_keypoints.json", OpenPoseFrame(15, 1, sample));
    EXPECT_EQ(ErrorMessage<TrackFileError>([&] { ReadTrackFile(TrackFormat::OpenPoseJson, fewer, 1); }),
              fewer + ": 15 keypoints where " + dir.Path("d_000000000000_keypoints.json") + " has 18");
    const std::string empty = dir.WriteText("e.json", OpenPoseFrame(18, 0, sample, false));
    EXPECT_EQ(ErrorMessage<TrackFileError>([&] { ReadTrackFile(TrackFormat::OpenPoseJson, empty, 1); }), empty + ": no frame shows a person");
}

}  // namespace
}  // namespace kadivo::test
