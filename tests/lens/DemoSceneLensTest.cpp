// The demo scene through a mild wide-angle lens, transformed by kadivo-cli as a user would:
// with --exact-positions --lens-from-control-points the lens is taken out; with
// --exact-positions alone and no lens the positions are reconstructed as they are.

#include "DemoSceneThroughLens.h"
#include "HeadlessPrompts.h"
#include "SequenceFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace kadivo::test {
namespace {

class DemoSceneLens : public ::testing::Test {
protected:
    TempDir dir;
    HeadlessPrompts prompts;

    // The demo sequence, with its videos, digitized through a lens of strength k1.
    std::string Sequence(double k1) {
        for (const char* video : {"demo-left.avi", "demo-right.avi"})
            std::filesystem::copy_file(std::string(KADIVO_SOURCE_DIR "/samples/") + video, dir.Path(video),
                                       std::filesystem::copy_options::overwrite_existing);
        CKadivoDoc doc(prompts, NoVideoSourceFactory());
        ReadSequenceFile(KADIVO_SOURCE_DIR "/samples/demo.kdv", doc);
        DigitizeDemoScene(doc, k1);
        const std::string path = dir.Path("demo.kdv");
        SaveSequenceFile(doc, path);
        return path;
    }

    // The RMS error in millimetres of kadivo-cli transform with `options`.
    double Transformed(const std::string& sequence, const std::string& options) {
        const std::string out = dir.Path("out.kdv");
        std::filesystem::remove(out);
        const std::string command = std::string(KADIVO_CLI) + " transform " + sequence + " " + out + " " + options;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        CKadivoDoc doc(prompts, NoVideoSourceFactory());
        ReadSequenceFile(out, doc);
        return DemoSceneErrorMillimetres(doc);
    }
};

TEST_F(DemoSceneLens, KadivoCliTakesTheLensOutAndKeepsExactPositions) {
    const std::string distorted = Sequence(-0.1);
    const double withLens = Transformed(distorted, "--exact-positions --lens-from-control-points");
    const double without = Transformed(distorted, "--exact-positions");
    std::printf("k1 = -0.1: %.4f mm with the lens from the control points, %.3f mm without\n", withLens, without);
    EXPECT_LE(withLens, 1.0);
    EXPECT_GT(without, 2.0);
    EXPECT_LE(Transformed(Sequence(0.0), "--exact-positions"), 0.1) << "no lens, positions as stored";
}

}  // namespace
}  // namespace kadivo::test
