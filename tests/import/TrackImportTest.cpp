// 2D tracks of other programs' files, written here in their published layouts, imported
// into a camera view.

#include "DocumentFixture.h"
#include "ErrorMessage.h"
#include "SequenceFile.h"
#include "TrackFileWriters.h"
#include "TrackImport.h"

#include <cmath>

namespace kadivo::test {
namespace {

// Positions near each corner of the 320 × 240 picture, in the trackers' y-down pixels.
constexpr TrackSample kCorners[] = {{0.5f, 0.25f, 0.99f}, {319.5f, 0.75f, 0.9f}, {0.125f, 239.5f, 0.7f}, {319.25f, 239.75f, 0.61f}};

class TrackImport : public DocumentFixture {
protected:
    void SetUp() override {
        NewSequence(4);
        const char* names[] = {"Head", "Hip", "Knee", "Ankle"};
        for (int p = 0; p < 4; ++p) doc->modelPoints[static_cast<std::size_t>(p)].name = names[p];
        OpenVideo("walk.avi", 9);
    }
    TrackSet Corners(int frames) {
        return ReadDeepLabCutCsv(DeepLabCutCsv({"head", "knee", "ankle", "tail"}, frames,
                                               [](int f, int p) {
                                                   TrackSample s = kCorners[p];
                                                   s.x += 0.001f * static_cast<float>(f);
                                                   return s;
                                               }),
                                 "walk.csv");
    }
    Point2f At(int frame, int point) {
        const FrameRecord* record = doc->current().frameStore.FindRecord(frame, kMovement);
        return record ? record->imagePos[static_cast<std::size_t>(point)] : Point2f{-7, -7};
    }
};

TEST_F(TrackImport, DeepLabCutPositionsComeInByNameWithYFromTheBottom) {
    const TrackSet tracks = Corners(10);
    ASSERT_EQ(tracks.names, (std::vector<std::string>{"head", "knee", "ankle", "tail"}));
    const TrackImportPlan plan = PlanByName(tracks, *doc);
    EXPECT_EQ(plan.modelPointOf, (std::vector<int>{0, 2, 3, -1})) << "case aside; no tail in the model";
    ImportTracks(*doc, 0, tracks, plan, "walk.csv");
    for (int f = 0; f < 10; ++f) {
        for (int p : {0, 1, 2}) {
            const Point2f at = At(f, p == 0 ? 0 : p + 1);
            EXPECT_NEAR(at.x, kCorners[p].x + 0.001f * static_cast<float>(f), 1e-4) << f;
            EXPECT_NEAR(at.y, 240.0f - kCorners[p].y, 1e-4) << f;
        }
        EXPECT_EQ(At(f, 1), kNoPosition) << "the hip was not imported: missing before the knee";
    }
    EXPECT_EQ(doc->current().frameStore.FindRecord(3, kMovement)->digitizedCount, 4);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->history().UndoName(), "Import 2D Points");
    doc->Undo();
    EXPECT_EQ(doc->current().frameStore.recordCount(), 0) << "one step takes it all back";
}

TEST_F(TrackImport, UnsureAndUnfoundSamplesAreMissingAndAMapPairsOtherNames) {
    const TrackSet tracks = ReadDeepLabCutCsv(DeepLabCutCsv({"nose", "hip"}, 3,
                                                            [](int f, int p) {
                                                                if (f == 1 && p == 0) return TrackSample{NAN, NAN, NAN};
                                                                return TrackSample{10.0f, 20.0f, p == 1 && f == 2 ? 0.3f : 0.9f};
                                                            }),
                                              "nose.csv");
    TrackImportPlan plan = PlanByName(tracks, *doc);
    ApplyNameMap(plan, "nose=Head", tracks, *doc);
    EXPECT_EQ(plan.modelPointOf, (std::vector<int>{0, 1}));
    EXPECT_THROW(ApplyNameMap(plan, "nose=Tail", tracks, *doc), std::invalid_argument);
    EXPECT_THROW(ApplyNameMap(plan, "ear=Head", tracks, *doc), std::invalid_argument);
    ImportTracks(*doc, 0, tracks, plan, "nose.csv");
    EXPECT_EQ(At(0, 0), (Point2f{10.0f, 220.0f}));
    EXPECT_EQ(At(1, 0), kNoPosition) << "not found";
    EXPECT_EQ(At(2, 1), kNoPosition) << "likelihood 0.3 is under 0.6";
    EXPECT_EQ(At(2, 0), (Point2f{10.0f, 220.0f}));
}

TEST_F(TrackImport, DltdvColumnsOfTheChosenCamera) {
    const std::string text =
        "Head_cam1_X,Head_cam1_Y,Head_cam2_X,Head_cam2_Y,Knee_cam1_X,Knee_cam1_Y,Knee_cam2_X,Knee_cam2_Y\n"
        "1,2,3,4,5,6,7,8\n"
        "NaN,NaN,13,14,15,16,17,18\n";
    const TrackSet second = ReadDltdvXypts(text, "trial_xypts.csv", 2);
    ASSERT_EQ(second.names, (std::vector<std::string>{"Head", "Knee"}));
    ASSERT_EQ(second.frames.size(), 2u);
    EXPECT_EQ(second.frames[1][0].x, 13.0f);
    const TrackSet first = ReadDltdvXypts(text, "trial_xypts.csv", 1);
    EXPECT_TRUE(std::isnan(first.frames[1][0].x));
    ImportTracks(*doc, 0, first, PlanByName(first, *doc), "trial_xypts.csv");
    EXPECT_EQ(At(0, 2), (Point2f{5.0f, 234.0f}));
    EXPECT_EQ(At(1, 0), kNoPosition);
    EXPECT_EQ(GuessTrackFormat(text), TrackFormat::DltdvXypts);
}

TEST_F(TrackImport, BadFilesNameTheLineAndLeaveTheSequenceAlone) {
    const std::vector<std::uint8_t> before = WriteSequence(*doc);
    auto message = ErrorMessage<TrackFileError>;
    const std::string good = DeepLabCutCsv({"head"}, 2, [](int, int) { return TrackSample{1, 2, 0.9f}; });
    EXPECT_EQ(message([] { ReadDeepLabCutCsv("frame,x,y\n0,1,2\n", "a.csv"); }),
              "a.csv, line 1: expected a row \"scorer\"; this is no DeepLabCut CSV file");
    std::string cut = good;
    cut.erase(cut.rfind(','));
    EXPECT_EQ(message([&] { ReadDeepLabCutCsv(cut, "b.csv"); }), "b.csv, line 5: 3 cells where the header has 4");
    std::string word = good;
    word.replace(word.rfind("0.900000"), 8, "high");
    EXPECT_EQ(message([&] { ReadDeepLabCutCsv(word, "c.csv"); }),
              "c.csv, line 5: body part \"head\" has a value that is not a number");
    EXPECT_EQ(message([] { ReadDltdvXypts("a,b\n1,2\n", "d.csv", 1); }),
              "d.csv, line 1: expected the columns <point>_cam<n>_X, <point>_cam<n>_Y; this is no DLTdv xypts file");
    EXPECT_EQ(message([] { ReadDltdvXypts("P_cam1_X,P_cam1_Y\n1,2\n", "e.csv", 3); }),
              "e.csv, line 1: there is no camera 3 (the file has 1)");
    const TrackSet longer = Corners(11);
    EXPECT_EQ(message([&] { ImportTracks(*doc, 0, longer, PlanByName(longer, *doc), "long.csv"); }),
              "long.csv: 11 frames, but the video of camera view 1 has 10");
    EXPECT_EQ(message([] { ReadTrackFile(TrackFormat::DeepLabCutCsv, "/nowhere/tracks.csv", 1); }).rfind("/nowhere/tracks.csv: ", 0), 0u);
    // More points than the model: the others are left out, but two of theirs on one of ours,
    // or none paired at all, is refused.
    const TrackSet corners = Corners(2);
    TrackImportPlan twoOnOne = PlanByName(corners, *doc);
    ApplyNameMap(twoOnOne, "tail=Knee", corners, *doc);
    EXPECT_EQ(message([&] { ImportTracks(*doc, 0, corners, twoOnOne, "more.csv"); }),
              "more.csv: \"knee\" and \"tail\" are both paired with the model's point \"Knee\"");
    TrackImportPlan none = PlanByName(corners, *doc);
    none.modelPointOf.assign(4, -1);
    EXPECT_EQ(message([&] { ImportTracks(*doc, 0, corners, none, "none.csv"); }),
              "none.csv: none of its points is paired with a point of the model");
    EXPECT_EQ(WriteSequence(*doc), before);
    EXPECT_FALSE(doc->history().CanUndo());
}

TEST(TrackFiles, SeveralAnimalsNameTheirPartsAfterTheAnimal) {
    const TrackSet tracks = ReadDeepLabCutCsv(
        "scorer,s,s,s,s,s,s\nindividuals,mouse1,mouse1,mouse1,mouse2,mouse2,mouse2\nbodyparts,nose,nose,nose,nose,nose,nose\n"
        "coords,x,y,likelihood,x,y,likelihood\n0,1,2,1,3,4,1\n",
        "mice.csv");
    EXPECT_EQ(tracks.names, (std::vector<std::string>{"mouse1_nose", "mouse2_nose"}));
    EXPECT_EQ(tracks.frames.at(0).at(1).y, 4.0f);
}

}  // namespace
}  // namespace kadivo::test
