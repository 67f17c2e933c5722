#include "CodedVideoWriter.h"
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

constexpr int kWidth = 640, kHeight = 480;
constexpr int kColumns = 9, kRows = 7;  // squares
constexpr double kSquare = 0.03;       // metres

// The camera that films the board: a wide-angle lens with a slightly decentred element.
LensModel TrueLens() {
    LensModel lens;
    lens.width = kWidth;
    lens.height = kHeight;
    lens.fx = 560.0;
    lens.fy = 556.0;
    lens.cx = 323.5;
    lens.cy = 236.25;
    lens.k1 = -0.28;
    lens.k2 = 0.09;
    lens.p1 = 0.0008;
    lens.p2 = -0.0005;
    return lens;
}

using Matrix3 = std::array<std::array<double, 3>, 3>;

// The board's pose: turned by `tilt` about x and `turn` about y, its centre at (x, y, z).
struct Pose {
    double tilt, turn, x, y, z;
};

// The inverse of the homography that takes board coordinates (X, Y, 1) to the ideal
// normalized image.
Matrix3 BoardFromImage(const Pose& pose) {
    const double ct = std::cos(pose.tilt), st = std::sin(pose.tilt), cu = std::cos(pose.turn), su = std::sin(pose.turn);
    // R = Ry(turn) · Rx(tilt); the board's centre is at its origin's offset.
    const double r[3][3] = {{cu, su * st, su * ct}, {0.0, ct, -st}, {-su, cu * st, cu * ct}};
    const double halfX = kColumns * kSquare / 2.0, halfY = kRows * kSquare / 2.0;
    const double t[3] = {pose.x - r[0][0] * halfX - r[0][1] * halfY, pose.y - r[1][0] * halfX - r[1][1] * halfY,
                         pose.z - r[2][0] * halfX - r[2][1] * halfY};
    const Matrix3 h{{{r[0][0], r[0][1], t[0]}, {r[1][0], r[1][1], t[1]}, {r[2][0], r[2][1], t[2]}}};
    Matrix3 inverse{};
    const double det = h[0][0] * (h[1][1] * h[2][2] - h[1][2] * h[2][1]) - h[0][1] * (h[1][0] * h[2][2] - h[1][2] * h[2][0]) +
                       h[0][2] * (h[1][0] * h[2][1] - h[1][1] * h[2][0]);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int a = (j + 1) % 3, b = (j + 2) % 3, c = (i + 1) % 3, d = (i + 2) % 3;
            inverse[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
                (h[static_cast<std::size_t>(a)][static_cast<std::size_t>(c)] * h[static_cast<std::size_t>(b)][static_cast<std::size_t>(d)] -
                 h[static_cast<std::size_t>(a)][static_cast<std::size_t>(d)] * h[static_cast<std::size_t>(b)][static_cast<std::size_t>(c)]) /
                det;
        }
    return inverse;
}

// Renders the board through the lens, 3 × 3 samples a pixel: for each sample the ideal ray
// is found once by correcting the lens, then met with the board's plane in every pose.
class BoardRenderer {
public:
    BoardRenderer() {
        const LensModel lens = TrueLens();
        rays_.reserve(static_cast<std::size_t>(kWidth) * kHeight * 9);
        for (int v = 0; v < kHeight; ++v)
            for (int u = 0; u < kWidth; ++u)
                for (int sv = -1; sv <= 1; ++sv)
                    for (int su = -1; su <= 1; ++su) {
                        const std::optional<PicturePoint> ideal = UndistortPicturePoint(lens, {u + su / 3.0, v + sv / 3.0});
                        rays_.push_back(ideal ? std::array<double, 2>{(ideal->u - lens.cx) / lens.fx, (ideal->v - lens.cy) / lens.fy}
                                              : std::array<double, 2>{1e9, 1e9});
                    }
    }

    void Paint(AVFrame& frame, const Pose& pose) const {
        const Matrix3 m = BoardFromImage(pose);
        std::size_t ray = 0;
        for (int v = 0; v < kHeight; ++v)
            for (int u = 0; u < kWidth; ++u) {
                double sum = 0.0;
                for (int s = 0; s < 9; ++s, ++ray) {
                    const double x = rays_[ray][0], y = rays_[ray][1];
                    const double w = m[2][0] * x + m[2][1] * y + m[2][2];
                    const double bx = (m[0][0] * x + m[0][1] * y + m[0][2]) / w, by = (m[1][0] * x + m[1][1] * y + m[1][2]) / w;
                    const int c = static_cast<int>(std::floor(bx / kSquare)), r = static_cast<int>(std::floor(by / kSquare));
                    // A white margin of one square round the board, grey beyond it.
                    if (w <= 0.0 || c < -1 || r < -1 || c > kColumns || r > kRows) sum += 120.0;
                    else if (c < 0 || r < 0 || c == kColumns || r == kRows) sum += 230.0;
                    else sum += (c + r) % 2 == 0 ? 25.0 : 230.0;
                }
                frame.data[0][v * frame.linesize[0] + u] = static_cast<std::uint8_t>(std::lround(sum / 9.0));
            }
        for (int plane = 1; plane < 3; ++plane)
            for (int y = 0; y < kHeight / 2; ++y)
                std::memset(frame.data[plane] + y * frame.linesize[plane], 128, kWidth / 2);
    }

private:
    std::vector<std::array<double, 2>> rays_;
};

// Poses that show the board across the picture, corners included, tilted and turned.
std::vector<Pose> Poses() {
    std::vector<Pose> poses;
    const double tilts[] = {-0.35, 0.0, 0.35};
    int n = 0;
    for (double y : {-0.12, 0.0, 0.12})
        for (double x : {-0.17, 0.0, 0.17}) {
            const double tilt = tilts[n % 3], turn = tilts[(n / 3 + n) % 3];
            poses.push_back({tilt, turn, x, y, 0.52 + 0.03 * (n % 4)});
            ++n;
        }
    for (double turn : {-0.5, 0.5}) poses.push_back({0.2, turn, 0.0, 0.0, 0.45});
    for (double tilt : {-0.5, 0.5}) poses.push_back({tilt, 0.1, 0.05, 0.0, 0.6});
    poses.push_back({0.1, -0.2, 0.0, 0.0, 0.38});
    poses.push_back({-0.1, 0.25, -0.1, 0.08, 0.42});
    return poses;
}

std::string WriteBoardVideo(const std::string& path, const std::vector<Pose>& poses) {
    static const BoardRenderer renderer;
    test::CodedVideo spec;
    spec.path = path;
    spec.encoder = "ffv1";
    spec.width = kWidth;
    spec.height = kHeight;
    spec.frames = static_cast<int>(poses.size());
    spec.bFrames = 0;
    spec.paint = [&](AVFrame& frame, int index) { renderer.Paint(frame, poses[static_cast<std::size_t>(index)]); };
    return test::WriteCodedVideo(spec);
}

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
    const std::vector<Pose> poses = Poses();
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
    const LensModel truth = TrueLens(), found = file.lens;
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
    EXPECT_EQ(found.width, kWidth);
    EXPECT_EQ(found.source, LensSource::Checkerboard);
}

TEST_F(CheckerboardLens, TooFewBoardsAWrongBoardAndAVideoWithoutOneAreRefused) {
    std::vector<Pose> poses = Poses();
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
