#include "CheckerboardVideo.h"
#include "LensDistortion.h"
#include "LensFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace kadivo {
namespace {

using test::kBoardWidth;
using test::BoardPoses;
using test::TrueBoardLens;
using test::WriteBoardVideo;

struct CliRun {
    int status = -1;
    std::string output;
};

// kadivo-cli lens with `arguments`, its output and error text together.
CliRun RunLens(const std::string& arguments) {
    CliRun run;
    const std::string command = std::string(KADIVO_CLI) + " lens " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class CheckerboardLens : public ::testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(CheckerboardLens, KadivoCliLensRecoversTheLensThatFilmedTheBoard) {
    const std::vector<test::BoardPose> poses = BoardPoses();
    ASSERT_GE(poses.size(), 15u);
    const std::string video = dir.Path("board.mkv");
    ASSERT_EQ(WriteBoardVideo(video, poses), "");
    const std::string lensFile = dir.Path("camera.lens");
    const CliRun run = RunLens(video + " --board 9x7 --square 30 --out " + lensFile);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("frames used: " + std::to_string(poses.size()) + " of " + std::to_string(poses.size())), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("frame 0: rms "), std::string::npos) << "an error per frame used";
    const LensFile file = ReadLensFile(lensFile);
    ASSERT_TRUE(file.rms);
    EXPECT_LT(*file.rms, 0.2) << "corners found to a fraction of a pixel";
    // Each coefficient within three of the standard deviations that the command reports
    // beside it, which follow from the RMS error and the boards' poses.
    const LensModel truth = TrueBoardLens(), found = file.lens;
    const std::pair<const char*, double> truths[] = {{"fx", truth.fx}, {"fy", truth.fy}, {"cx", truth.cx}, {"cy", truth.cy},
                                                     {"k1", truth.k1}, {"k2", truth.k2}, {"k3", truth.k3}, {"p1", truth.p1},
                                                     {"p2", truth.p2}};
    for (const auto& [name, value] : truths) {
        const std::size_t line = run.output.find(std::string("\n") + name + ": ");
        ASSERT_NE(line, std::string::npos) << name;
        double estimate = 0.0, deviation = 0.0;
        ASSERT_EQ(std::sscanf(run.output.c_str() + line + 1 + std::strlen(name) + 2, "%lf ± %lf", &estimate, &deviation), 2) << name;
        EXPECT_GT(deviation, 0.0) << name;
        EXPECT_LE(std::abs(estimate - value), 3.0 * deviation) << name << " " << estimate << " ± " << deviation;
    }
    EXPECT_EQ(found.width, kBoardWidth);
    EXPECT_EQ(found.source, LensSource::Checkerboard);
}

TEST_F(CheckerboardLens, TooFewBoardsAWrongBoardAndAVideoWithoutOneAreRefused) {
    std::vector<test::BoardPose> poses = BoardPoses();
    poses.resize(5);
    const std::string few = dir.Path("few.mkv");
    ASSERT_EQ(WriteBoardVideo(few, poses), "");
    const std::string lensFile = dir.Path("none.lens");
    CliRun run = RunLens(few + " --board 9x7 --square 30 --out " + lensFile);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("found in 5 frames of the 5 searched; calibrating a lens needs at least 8"), std::string::npos) << run.output;
    EXPECT_FALSE(std::ifstream(lensFile)) << "nothing written";

    run = RunLens(few + " --board 8x6 --square 30");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("board of 8 × 6 squares was found in 0 frames"), std::string::npos) << run.output;

    test::CodedVideo blank;
    blank.path = dir.Path("blank.mkv");
    blank.encoder = "ffv1";
    blank.bFrames = 0;
    ASSERT_EQ(test::WriteCodedVideo(blank), "");
    run = RunLens(blank.path + " --board 9x7 --square 30");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("found in 0 frames"), std::string::npos) << run.output;

    run = RunLens(dir.Path("missing.mkv") + " --board 9x7 --square 30");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("cannot be opened as video"), std::string::npos) << run.output;
    EXPECT_EQ(RunLens(few + " --board 9 --square 30").status, 2) << "a board without rows is a usage error";
}

}  // namespace
}  // namespace kadivo
