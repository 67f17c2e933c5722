#pragma once

// A checkerboard filmed through a known lens, rendered into a lossless video for the lens
// calibration's tests.

#include "CodedVideoWriter.h"
#include "LensDistortion.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace kadivo::test {

inline constexpr int kBoardWidth = 640, kBoardHeight = 480;
inline constexpr int kBoardColumns = 9, kBoardRows = 7;  // squares
inline constexpr double kBoardSquare = 0.03;            // metres

// The camera that films the board: a wide-angle lens with a slightly decentred element.
inline LensModel TrueBoardLens() {
    LensModel lens;
    lens.width = kBoardWidth;
    lens.height = kBoardHeight;
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
struct BoardPose {
    double tilt, turn, x, y, z;
};

// The inverse of the homography that takes board coordinates (X, Y, 1) to the ideal
// normalized image.
inline Matrix3 BoardFromImage(const BoardPose& pose) {
    const double ct = std::cos(pose.tilt), st = std::sin(pose.tilt), cu = std::cos(pose.turn), su = std::sin(pose.turn);
    // R = Ry(turn) · Rx(tilt); the board's centre is at its origin's offset.
    const double r[3][3] = {{cu, su * st, su * ct}, {0.0, ct, -st}, {-su, cu * st, cu * ct}};
    const double halfX = kBoardColumns * kBoardSquare / 2.0, halfY = kBoardRows * kBoardSquare / 2.0;
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
        const LensModel lens = TrueBoardLens();
        rays_.reserve(static_cast<std::size_t>(kBoardWidth) * kBoardHeight * 9);
        for (int v = 0; v < kBoardHeight; ++v)
            for (int u = 0; u < kBoardWidth; ++u)
                for (int sv = -1; sv <= 1; ++sv)
                    for (int su = -1; su <= 1; ++su) {
                        const std::optional<PicturePoint> ideal = UndistortPicturePoint(lens, {u + su / 3.0, v + sv / 3.0});
                        rays_.push_back(ideal ? std::array<double, 2>{(ideal->u - lens.cx) / lens.fx, (ideal->v - lens.cy) / lens.fy}
                                              : std::array<double, 2>{1e9, 1e9});
                    }
    }

    void Paint(AVFrame& frame, const BoardPose& pose) const {
        const Matrix3 m = BoardFromImage(pose);
        std::size_t ray = 0;
        for (int v = 0; v < kBoardHeight; ++v)
            for (int u = 0; u < kBoardWidth; ++u) {
                double sum = 0.0;
                for (int s = 0; s < 9; ++s, ++ray) {
                    const double x = rays_[ray][0], y = rays_[ray][1];
                    const double w = m[2][0] * x + m[2][1] * y + m[2][2];
                    const double bx = (m[0][0] * x + m[0][1] * y + m[0][2]) / w, by = (m[1][0] * x + m[1][1] * y + m[1][2]) / w;
                    const int c = static_cast<int>(std::floor(bx / kBoardSquare)), r = static_cast<int>(std::floor(by / kBoardSquare));
                    // A white margin of one square round the board, grey beyond it.
                    if (w <= 0.0 || c < -1 || r < -1 || c > kBoardColumns || r > kBoardRows) sum += 120.0;
                    else if (c < 0 || r < 0 || c == kBoardColumns || r == kBoardRows) sum += 230.0;
                    else sum += (c + r) % 2 == 0 ? 25.0 : 230.0;
                }
                frame.data[0][v * frame.linesize[0] + u] = static_cast<std::uint8_t>(std::lround(sum / 9.0));
            }
        for (int plane = 1; plane < 3; ++plane)
            for (int y = 0; y < kBoardHeight / 2; ++y)
                std::memset(frame.data[plane] + y * frame.linesize[plane], 128, kBoardWidth / 2);
    }

private:
    std::vector<std::array<double, 2>> rays_;
};

// Poses that show the board across the picture, corners included, tilted and turned.
inline std::vector<BoardPose> BoardPoses() {
    std::vector<BoardPose> poses;
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

inline std::string WriteBoardVideo(const std::string& path, const std::vector<BoardPose>& poses) {
    static const BoardRenderer renderer;
    CodedVideo spec;
    spec.path = path;
    spec.encoder = "ffv1";
    spec.width = kBoardWidth;
    spec.height = kBoardHeight;
    spec.frames = static_cast<int>(poses.size());
    spec.bFrames = 0;
    spec.paint = [&](AVFrame& frame, int index) { renderer.Paint(frame, poses[static_cast<std::size_t>(index)]); };
    return WriteCodedVideo(spec);
}

}  // namespace kadivo::test
