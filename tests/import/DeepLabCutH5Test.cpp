// DeepLabCut's HDF5 results: pandas' table with its column names pickled by PyTables.

#include "DocumentFixture.h"
#include "ErrorMessage.h"
#include "FileIo.h"
#include "PickledTuples.h"
#include "SequenceFile.h"
#include "TempDir.h"
#include "TrackFileWriters.h"
#include "TrackImport.h"

#include <cmath>

namespace kadivo::test {
namespace {

TEST(DeepLabCutH5, AFileWrittenByPandasGivesEveryAnimalsPartsAndLeavesOutTheFramesItLacks) {
    const std::string path = KADIVO_SOURCE_DIR "/fuzz/corpus/hdf5-tracks/pandas-two-animals.h5";
    EXPECT_EQ(GuessTrackFileFormat(path), TrackFormat::DeepLabCutH5);
    const TrackSet tracks = ReadTrackFile(TrackFormat::DeepLabCutH5, path, 1);
    EXPECT_EQ(tracks.names, (std::vector<std::string>{"mouse1_Knee", "mouse1_Head", "mouse2_Knee", "mouse2_Head"}));
    EXPECT_TRUE(tracks.hasLikelihood);
    ASSERT_EQ(tracks.frames.size(), 4u) << "the index runs 0, 1, 3";
    // Row r, column c holds 12 r + c + 0.25; frame 3 is the third row.
    EXPECT_EQ(tracks.frames[0][3].x, 9.25f);
    EXPECT_EQ(tracks.frames[1][0].likelihood, 14.25f);
    EXPECT_EQ(tracks.frames[3][2].y, 31.25f);
    EXPECT_TRUE(std::isnan(tracks.frames[2][1].x)) << "a frame the table lacks is missing";
}

TEST(DeepLabCutH5, TheColumnNamesPickleReadsTextsEscapesAndTheMemo) {
    EXPECT_EQ(ReadPickledTuples("(lp0\n(VDLC\np1\nVk\\u00e4se\np2\nVx\np3\ntp4\na(g1\ng2\nVy\np5\ntp6\na."),
              (std::vector<std::vector<std::string>>{{"DLC", "k\xc3\xa4se", "x"}, {"DLC", "k\xc3\xa4se", "y"}}));
    EXPECT_EQ(ReadPickledTuples("((I1\nNt(VA\nVB\ntl."), (std::vector<std::vector<std::string>>{{"1", "None"}, {"A", "B"}}));
    // What pandas never writes, and what would build without end, is refused.
    EXPECT_EQ(ErrorMessage<std::exception>([] { ReadPickledTuples("\x80\x04K\x01."); }), "the pickle holds an operation '\x80' that is not read");
    EXPECT_EQ(ErrorMessage<std::exception>([] { ReadPickledTuples("(lp0\ng7\n."); }), "the pickle holds a memo entry that was never put");
    EXPECT_EQ(ErrorMessage<std::exception>([] { ReadPickledTuples(std::string(40, '(') + std::string(40, 'l') + "."); }),
              "the pickle holds lists nested too deep");
    std::string doubling = "(lp0\n";
    for (int i = 0; i < 40; ++i) doubling += "(g0\ng0\nep0\n";  // each step appends the list to itself twice
    EXPECT_EQ(ErrorMessage<std::exception>([&] { ReadPickledTuples(doubling); }).rfind("the pickle holds", 0), 0u);
    EXPECT_EQ(ErrorMessage<std::exception>([] { ReadPickledTuples("(lp0\n(VA\ntp1\na"); }), "the pickle holds no stop");
}

class DeepLabCutH5Import : public DocumentFixture {
protected:
    TempDir dir;
    void SetUp() override {
        NewSequence(2);
        doc->modelPoints[0].name = "Head";
        doc->modelPoints[1].name = "Knee";
        OpenVideo("walk.avi", 9);
    }
};

TEST_F(DeepLabCutH5Import, PartsComeInByNameWithYFromTheBottom) {
    const std::string path = dir.Path("walkDLC_resnet50.h5");
    WriteDeepLabCutH5(path, {"knee", "head"}, 5, [](int f, int p) {
        if (f == 2 && p == 1) return TrackSample{NAN, NAN, NAN};
        return TrackSample{10.5f + static_cast<float>(f), 20.25f + static_cast<float>(p), p == 0 && f == 4 ? 0.1f : 0.95f};
    });
    EXPECT_EQ(GuessTrackFileFormat(path), TrackFormat::DeepLabCutH5);
    const TrackSet tracks = ReadTrackFile(TrackFormat::DeepLabCutH5, path, 1);
    ImportTracks(*doc, 0, tracks, PlanByName(tracks, *doc), path);
    const ViewFrameStore& store = doc->current().frameStore;
    EXPECT_EQ(store.FindRecord(1, kMovement)->imagePos[1], (Point2f{11.5f, 240.0f - 20.25f}));
    EXPECT_EQ(store.FindRecord(3, kMovement)->imagePos[0], (Point2f{13.5f, 240.0f - 21.25f}));
    EXPECT_EQ(store.FindRecord(2, kMovement)->imagePos[0], kNoPosition) << "not found";
    EXPECT_EQ(store.FindRecord(4, kMovement)->imagePos[1], kNoPosition) << "likelihood 0.1";
}

TEST_F(DeepLabCutH5Import, OtherAndDamagedFilesNameTheFileAndTheDatasetAndChangeNothing) {
    const std::vector<std::uint8_t> before = WriteSequence(*doc);
    auto read = [](const std::string& path) { return ErrorMessage<std::exception>([&] { ReadTrackFile(TrackFormat::DeepLabCutH5, path, 1); }); };
    const auto sample = [](int, int) { return TrackSample{1, 2, 1}; };

    const std::string sleap = dir.Path("sleap.h5");
    WriteSleapH5(sleap, {"head"}, 2, sample);
    EXPECT_EQ(GuessTrackFileFormat(sleap), TrackFormat::SleapH5);
    EXPECT_EQ(read(sleap), sleap + ", dataset \"df_with_missing/table\" attribute \"values_block_0_kind\": missing; this is no DeepLabCut HDF5 file");

    const std::string pairs = "(lp0\n(VDLC\nVhead\nVx\ntp1\na(VDLC\nVhead\nVy\ntp2\na.";
    const std::string noLikelihood = dir.Path("pairs.h5");
    WriteDeepLabCutH5(noLikelihood, {"head"}, 2, sample, [](int) { return true; }, &pairs);
    EXPECT_EQ(read(noLikelihood), noLikelihood + ", dataset \"df_with_missing/table\": the columns do not come in x, y, likelihood triples");

    const std::string binary = "\x80\x04]q\x00.";
    const std::string pickled = dir.Path("binary.h5");
    WriteDeepLabCutH5(pickled, {"head"}, 2, sample, [](int) { return true; }, &binary);
    EXPECT_EQ(read(pickled).rfind(pickled + ", dataset \"df_with_missing/table\" attribute \"values_block_0_kind\": the column names cannot be read", 0), 0u);

    const std::string damaged = dir.Path("damaged.h5");
    WriteDeepLabCutH5(damaged, {"head", "knee"}, 50, sample);
    std::vector<std::uint8_t> bytes = ReadWholeFile(damaged);
    bytes.resize(bytes.size() / 2);
    WriteFileAtomically(damaged, bytes);
    EXPECT_EQ(read(damaged).rfind(damaged + ":", 0), 0u) << read(damaged);
    EXPECT_EQ(WriteSequence(*doc), before);
}

}  // namespace
}  // namespace kadivo::test
