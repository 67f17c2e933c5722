// SLEAP's analysis files, written here in its published layout with the HDF5 library.

#include "DocumentFixture.h"
#include "ErrorMessage.h"
#include "FileIo.h"
#include "TempDir.h"
#include "TrackFileWriters.h"
#include "TrackImport.h"

#include <hdf5.h>

#include <cmath>
#include <filesystem>

namespace kadivo::test {
namespace {

constexpr hsize_t kTracks = 2, kNodes = 3, kFrames = 4;

// Track t's node n at frame f: (10 t + n, 100 + f), node 1 not found at frame 2.
double Position(hsize_t t, hsize_t xy, hsize_t n, hsize_t f) {
    if (n == 1 && f == 2) return NAN;
    return xy == 0 ? 10.0 * static_cast<double>(t) + static_cast<double>(n) : 100.0 + static_cast<double>(f);
}

void WriteSleapFile(const std::string& path, bool withTracks = true) {
    const hid_t file = H5Fcreate(path.c_str(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
    std::vector<double> tracks, scores;
    for (hsize_t t = 0; t < kTracks; ++t)
        for (hsize_t xy = 0; xy < 2; ++xy)
            for (hsize_t n = 0; n < kNodes; ++n)
                for (hsize_t f = 0; f < kFrames; ++f) tracks.push_back(Position(t, xy, n, f));
    for (hsize_t t = 0; t < kTracks; ++t)
        for (hsize_t n = 0; n < kNodes; ++n)
            for (hsize_t f = 0; f < kFrames; ++f) scores.push_back(n == 2 && f == 3 ? 0.2 : 0.9);
    if (withTracks) WriteDataset(file, "tracks", H5T_NATIVE_DOUBLE, {kTracks, 2, kNodes, kFrames}, tracks.data());
    WriteDataset(file, "point_scores", H5T_NATIVE_DOUBLE, {kTracks, kNodes, kFrames}, scores.data());
    const hid_t names = H5Tcopy(H5T_C_S1);
    H5Tset_size(names, 6);
    const char text[] = "head\0\0thorax" "tail\0\0";
    WriteDataset(file, "node_names", names, {kNodes}, text);
    H5Tclose(names);
    H5Fclose(file);
}

class SleapImport : public DocumentFixture {
protected:
    TempDir dir;
    void SetUp() override {
        NewSequence(3);
        const char* names[] = {"Head", "Thorax", "Tail"};
        for (int p = 0; p < 3; ++p) doc->modelPoints[static_cast<std::size_t>(p)].name = names[p];
        OpenVideo("walk.avi", 9);
    }
};

TEST_F(SleapImport, TheFirstTrackComesInWithItsScores) {
    const std::string path = dir.Path("mouse.analysis.h5");
    WriteSleapFile(path);
    EXPECT_EQ(GuessTrackFileFormat(path), TrackFormat::SleapH5);
    const TrackSet tracks = ReadTrackFile(TrackFormat::SleapH5, path, 1);
    ASSERT_EQ(tracks.names, (std::vector<std::string>{"head", "thorax", "tail"}));
    ASSERT_EQ(tracks.frames.size(), kFrames);
    EXPECT_EQ(tracks.frames[3][2].x, 2.0f);
    EXPECT_EQ(tracks.frames[3][2].likelihood, 0.2f);
    EXPECT_TRUE(std::isnan(tracks.frames[2][1].x));
    ImportTracks(*doc, 0, tracks, PlanByName(tracks, *doc), path);
    const ViewFrameStore& store = doc->current().frameStore;
    EXPECT_EQ(store.FindRecord(1, kMovement)->imagePos[2], (Point2f{2.0f, 240.0f - 101.0f}));
    EXPECT_EQ(store.FindRecord(2, kMovement)->imagePos[1], kNoPosition) << "not found";
    EXPECT_EQ(store.FindRecord(3, kMovement)->imagePos[2], kNoPosition) << "score 0.2";
}

TEST_F(SleapImport, DamagedAndOtherFilesNameTheFileAndTheDataset) {
    auto message = [](const std::string& path) {
        return ErrorMessage<TrackFileError>([&] { ReadTrackFile(TrackFormat::SleapH5, path, 1); });
    };
    const std::string other = dir.Path("other.h5");
    WriteSleapFile(other, false);
    EXPECT_EQ(message(other), other + ", dataset \"tracks\": missing; this is no SLEAP analysis file");
    const std::string damaged = dir.Path("damaged.h5");
    WriteSleapFile(damaged);
    std::vector<std::uint8_t> bytes = ReadWholeFile(damaged);
    bytes.resize(bytes.size() / 3);
    WriteFileAtomically(damaged, bytes);
    EXPECT_EQ(message(damaged).rfind(damaged + ":", 0), 0u) << message(damaged);
    const std::string text = dir.Write("text.h5", std::vector<std::uint8_t>{'n', 'o'});
    EXPECT_EQ(message(text), text + ": not an HDF5 file");
}

}  // namespace
}  // namespace kadivo::test
