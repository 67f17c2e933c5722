// Positions written in each format Kadivo imports, by the tests' own writers of the published
// layouts, come back as they were.

#include "DocumentFixture.h"
#include "TempDir.h"
#include "TrackFileWriters.h"
#include "TrackImport.h"

#include <cmath>

namespace kadivo::test {
namespace {

constexpr int kFrames = 10;
const std::vector<std::string> kParts = {"Head", "Hip", "Knee", "Ankle"};

// Positions with fractions over the whole 320 × 240 picture, edges and corners included,
// and a point not found in frame 6.
TrackSample Truth(int f, int p) {
    if (f == 6 && p == 2) return {NAN, NAN, NAN};
    const float x = std::fmod(37.123456f * static_cast<float>(f + 1) + 91.7f * static_cast<float>(p), 320.0f);
    const float y = std::fmod(23.654321f * static_cast<float>(f + 2) + 57.3f * static_cast<float>(p), 240.0f);
    if (f == 0) return {p % 2 ? 319.75f : 0.25f, p / 2 ? 239.875f : 0.125f, 0.99f};
    return {x, y, 0.9f};
}

class RoundTrip : public DocumentFixture {
protected:
    TempDir dir;
    void SetUp() override {
        NewSequence(4);
        for (int p = 0; p < 4; ++p) doc->modelPoints[static_cast<std::size_t>(p)].name = kParts[static_cast<std::size_t>(p)];
        OpenVideo("walk.avi", 9);
    }
    void ImportAndCompare(TrackFormat format, const std::string& path, const std::string& map = "") {
        const TrackSet tracks = ReadTrackFile(format, path, 1);
        TrackImportPlan plan = PlanByName(tracks, *doc);
        ApplyNameMap(plan, map, tracks, *doc);
        ImportTracks(*doc, 0, tracks, plan, path);
        for (int f = 0; f < kFrames; ++f) {
            const FrameRecord* record = doc->current().frameStore.FindRecord(f, kMovement);
            ASSERT_TRUE(record) << path << " frame " << f;
            for (int p = 0; p < 4; ++p) {
                const TrackSample truth = Truth(f, p);
                const Point2f at = record->imagePos[static_cast<std::size_t>(p)];
                if (std::isnan(truth.x)) {
                    EXPECT_EQ(at, kNoPosition) << path;
                    continue;
                }
                EXPECT_NEAR(at.x, truth.x, 1e-4) << path << " frame " << f << " point " << p;
                EXPECT_NEAR(at.y, 240.0 - truth.y, 1e-4) << path << " frame " << f << " point " << p;
            }
        }
        doc->Undo();
    }
};

TEST_F(RoundTrip, EveryFormatGivesThePositionsBackWithinATenThousandthOfAPixel) {
    ImportAndCompare(TrackFormat::DeepLabCutCsv, dir.WriteText("walk.csv", DeepLabCutCsv(kParts, kFrames, Truth)));
    ImportAndCompare(TrackFormat::DltdvXypts, dir.WriteText("walk_xypts.csv", DltdvXypts(kParts, kFrames, Truth)));
    const std::string dlc = dir.Path("walkDLC.h5");
    WriteDeepLabCutH5(dlc, kParts, kFrames, Truth);
    ImportAndCompare(TrackFormat::DeepLabCutH5, dlc);
    const std::string sleap = dir.Path("walk.analysis.h5");
    WriteSleapH5(sleap, kParts, kFrames, Truth);
    ImportAndCompare(TrackFormat::SleapH5, sleap);
    char name[64];
    for (int f = 0; f < kFrames; ++f) {
        std::snprintf(name, sizeof name, "walk_%012d_keypoints.json", f);
        dir.WriteText(name, OpenPoseFrame(4, f, Truth));
    }
    // Four keypoints are no OpenPose model: they are numbered.
    ImportAndCompare(TrackFormat::OpenPoseJson, dir.Path(name), "Keypoint1=Head,Keypoint2=Hip,Keypoint3=Knee,Keypoint4=Ankle");
}

}  // namespace
}  // namespace kadivo::test
