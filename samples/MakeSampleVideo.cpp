// Writes samples/walk.avi, the video of the bundled sample sequence: a grey figure with
// five white markers walking over a dark floor, and the four marks of the calibration
// frame (see WalkFigure.h).
//
//   make_sample_video OUT.avi

#include "AviWriter.h"
#include "WalkFigure.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

using kadivo::samples::WalkFigure;

constexpr int kStride = WalkFigure::kWidth * 3;

struct Picture {
    std::vector<std::uint8_t> rows = std::vector<std::uint8_t>(static_cast<std::size_t>(kStride) * WalkFigure::kHeight);

    // (x, y) from the bottom-left corner, as frame coordinates are.
    void Set(int x, int y, std::uint8_t grey) {
        if (x < 0 || y < 0 || x >= WalkFigure::kWidth || y >= WalkFigure::kHeight) return;
        // Rows are stored bottom-up, so row y of the frame is row y in memory.
        std::uint8_t* p = &rows[static_cast<std::size_t>(y) * kStride + static_cast<std::size_t>(x) * 3];
        p[0] = p[1] = p[2] = grey;
    }

    void Segment(WalkFigure::Marker a, WalkFigure::Marker b, float thickness, std::uint8_t grey) {
        const int x0 = static_cast<int>(std::min(a.x, b.x) - thickness), x1 = static_cast<int>(std::max(a.x, b.x) + thickness);
        const int y0 = static_cast<int>(std::min(a.y, b.y) - thickness), y1 = static_cast<int>(std::max(a.y, b.y) + thickness);
        const float dx = b.x - a.x, dy = b.y - a.y, length2 = std::max(dx * dx + dy * dy, 1e-6f);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float t = std::clamp(((static_cast<float>(x) - a.x) * dx + (static_cast<float>(y) - a.y) * dy) / length2, 0.0f, 1.0f);
                const float ex = a.x + t * dx - static_cast<float>(x), ey = a.y + t * dy - static_cast<float>(y);
                if (ex * ex + ey * ey <= thickness * thickness) Set(x, y, grey);
            }
    }

    void Disc(WalkFigure::Marker centre, int radius, std::uint8_t grey) {
        const int cx = static_cast<int>(centre.x), cy = static_cast<int>(centre.y);
        for (int y = cy - radius; y <= cy + radius; ++y)
            for (int x = cx - radius; x <= cx + radius; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius) Set(x, y, grey);
    }
};

Picture Draw(int frame) {
    Picture picture;
    for (int y = 0; y < WalkFigure::kHeight; ++y)
        for (int x = 0; x < WalkFigure::kWidth; ++x) picture.Set(x, y, y < 28 ? 70 : static_cast<std::uint8_t>(40 + y / 24));
    const auto markers = WalkFigure::Markers(frame);
    picture.Disc({markers[0].x, markers[0].y + 4.0f}, 22, 110);  // the head
    for (int m = 1; m + 1 < WalkFigure::kMarkers; ++m) picture.Segment(markers[m], markers[m + 1], 9.0f, 110);
    picture.Segment(markers[1], markers[2], 14.0f, 110);  // the trunk
    for (const auto& marker : markers) picture.Disc(marker, 5, 255);
    for (const auto& mark : WalkFigure::kCalibrationMarks) {
        picture.Segment({mark.x - 8, mark.y}, {mark.x + 8, mark.y}, 1.0f, 200);
        picture.Segment({mark.x, mark.y - 8}, {mark.x, mark.y + 8}, 1.0f, 200);
    }
    return picture;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_sample_video OUT.avi\n", stderr);
        return 2;
    }
    std::string error;
    auto writer = kadivo::CreateMjpegAviFile(argv[1], WalkFigure::kWidth, WalkFigure::kHeight, WalkFigure::kFramesPerSecond, error);
    if (!writer) {
        std::fprintf(stderr, "make_sample_video: %s\n", error.c_str());
        return 1;
    }
    for (int frame = 0; frame < WalkFigure::kFrames; ++frame)
        if (!writer->WriteFrame(Draw(frame).rows.data(), kStride)) {
            std::fputs("make_sample_video: a frame could not be written\n", stderr);
            return 1;
        }
    if (!writer->Finish()) {
        std::fputs("make_sample_video: the file could not be completed\n", stderr);
        return 1;
    }
    return 0;
}
