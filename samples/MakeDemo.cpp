// Renders the demo's two camera videos and writes its truth file (see DemoScene.h): each
// camera sees the walking figure's bright markers joined by dim sticks on a dark ground, and
// in the first frame the calibration box with its orange control points. Markers are drawn on
// whole pixels, as the control points are clicked.
//
//   make_demo FOLDER     writes FOLDER/demo-left.avi, FOLDER/demo-right.avi, FOLDER/demo-truth.txt

#include "AviWriter.h"
#include "DemoScene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using kadivo::samples::DemoScene;

constexpr int kStride = DemoScene::kWidth * 3;

struct Colour {
    double blue, green, red;
};

constexpr Colour kMarker{255, 255, 255};
constexpr Colour kStick{70, 75, 80};
constexpr Colour kControlPoint{30, 140, 255};
constexpr Colour kBoxEdge{60, 70, 80};

class Picture {
public:
    Picture() : rows_(static_cast<std::size_t>(kStride) * DemoScene::kHeight) {
        for (int r = 0; r < DemoScene::kHeight; ++r)
            for (int c = 0; c < DemoScene::kWidth; ++c) {
                const double ground = 18.0 + 14.0 * r / DemoScene::kHeight;
                Blend(c, r, {ground, ground, ground + 4.0}, 1.0);
            }
    }

    // A disc around image point `at`, its edge smoothed over the pixels it half covers.
    void Disc(DemoScene::Image at, double radius, Colour colour) {
        Cover(at.u - radius, at.v - radius, at.u + radius, at.v + radius, colour,
              [&](double u, double v) { return (u - at.u) * (u - at.u) + (v - at.v) * (v - at.v) <= radius * radius; });
    }

    void Line(DemoScene::Image a, DemoScene::Image b, double width, Colour colour) {
        const double du = b.u - a.u, dv = b.v - a.v, length2 = std::max(du * du + dv * dv, 1e-9);
        const double half = width / 2.0;
        Cover(std::min(a.u, b.u) - width, std::min(a.v, b.v) - width, std::max(a.u, b.u) + width, std::max(a.v, b.v) + width,
              colour, [&](double u, double v) {
                  const double t = std::clamp(((u - a.u) * du + (v - a.v) * dv) / length2, 0.0, 1.0);
                  const double eu = a.u + t * du - u, ev = a.v + t * dv - v;
                  return eu * eu + ev * ev <= half * half;
              });
    }

    const std::uint8_t* Rows() const { return rows_.data(); }

private:
    // Pixel (c, r) shows image point (c, r + 1); each pixel is sampled 4 × 4 times.
    template <typename Inside>
    void Cover(double u0, double v0, double u1, double v1, Colour colour, Inside inside) {
        for (int r = static_cast<int>(std::floor(v0)) - 2; r <= static_cast<int>(std::ceil(v1)); ++r)
            for (int c = static_cast<int>(std::floor(u0)) - 1; c <= static_cast<int>(std::ceil(u1)) + 1; ++c) {
                int hits = 0;
                for (int i = 0; i < 4; ++i)
                    for (int j = 0; j < 4; ++j) hits += inside(c - 0.375 + 0.25 * i, r + 1 - 0.375 + 0.25 * j) ? 1 : 0;
                if (hits > 0) Blend(c, r, colour, hits / 16.0);
            }
    }

    void Blend(int c, int r, Colour colour, double share) {
        if (c < 0 || r < 0 || c >= DemoScene::kWidth || r >= DemoScene::kHeight) return;
        std::uint8_t* p = &rows_[static_cast<std::size_t>(r) * kStride + static_cast<std::size_t>(c) * 3];
        const double values[3] = {colour.blue, colour.green, colour.red};
        for (int k = 0; k < 3; ++k) p[k] = static_cast<std::uint8_t>(std::lround(p[k] * (1.0 - share) + values[k] * share));
    }

    std::vector<std::uint8_t> rows_;
};

Picture Draw(const DemoScene::Camera& camera, int frame) {
    Picture picture;
    if (frame == 0) {
        const auto points = DemoScene::ControlPoints();
        // The box's twelve edges between corners 0..7 (x fastest, then y, then z).
        for (int a = 0; a < 8; ++a)
            for (int bit : {1, 2, 4})
                if ((a & bit) == 0)
                    picture.Line(DemoScene::Project(camera, points[static_cast<std::size_t>(a)]),
                                 DemoScene::Project(camera, points[static_cast<std::size_t>(a | bit)]), 1.5, kBoxEdge);
        for (const auto& point : points) picture.Disc(DemoScene::Project(camera, point), 4.0, kControlPoint);
    }
    // Each marker is centred on the whole click position nearest to it, so that a click on a
    // marker's centre pixel digitizes the marker's own image point.
    const auto markers = DemoScene::Markers(frame);
    DemoScene::Image image[DemoScene::kMarkers];
    for (int m = 0; m < DemoScene::kMarkers; ++m) {
        const DemoScene::Image exact = DemoScene::Project(camera, markers[static_cast<std::size_t>(m)]);
        image[m] = {std::round(exact.u), std::round(exact.v)};
    }
    picture.Disc({image[0].u + 4.0, image[0].v + 2.0}, 15.0, kStick);  // the head
    for (const auto& [a, b] : DemoScene::kSegments) picture.Line(image[a], image[b], 4.0, kStick);
    for (const auto& at : image) picture.Disc(at, 5.0, kMarker);
    return picture;
}

double Distance(DemoScene::Image a, DemoScene::Image b) { return std::hypot(a.u - b.u, a.v - b.v); }

// The scene must be trackable: markers inside the picture, apart from each other and from the
// control points, and never faster than the search can follow.
bool CheckScene() {
    bool good = true;
    const auto cameras = DemoScene::Cameras();
    for (std::size_t k = 0; k < cameras.size(); ++k) {
        double closest = 1e9, fastest = 0.0, nearControl = 1e9, edge = 1e9;
        int closeA = 0, closeB = 0;
        for (int f = 0; f < DemoScene::kFrames; ++f) {
            const auto markers = DemoScene::Markers(f);
            for (int m = 0; m < DemoScene::kMarkers; ++m) {
                const auto at = DemoScene::Project(cameras[k], markers[static_cast<std::size_t>(m)]);
                edge = std::min({edge, at.u, at.v, DemoScene::kWidth - at.u, DemoScene::kHeight - at.v});
                for (int n = m + 1; n < DemoScene::kMarkers; ++n)
                    if (const double apart = Distance(at, DemoScene::Project(cameras[k], markers[static_cast<std::size_t>(n)])); apart < closest) {
                        closest = apart;
                        closeA = m;
                        closeB = n;
                    }
                if (f > 0)
                    fastest = std::max(fastest, Distance(at, DemoScene::Project(cameras[k], DemoScene::Markers(f - 1)[static_cast<std::size_t>(m)])));
                if (f == 0)
                    for (const auto& point : DemoScene::ControlPoints())
                        nearControl = std::min(nearControl, Distance(at, DemoScene::Project(cameras[k], point)));
            }
        }
        std::printf("camera %zu: markers at least %.1f px apart (%s, %s), %.1f px from the edge, %.1f px from a control point; "
                    "at most %.1f px a frame\n",
                    k + 1, closest, DemoScene::kMarkerNames[static_cast<std::size_t>(closeA)],
                    DemoScene::kMarkerNames[static_cast<std::size_t>(closeB)], edge, nearControl, fastest);
        good = good && closest >= 25.0 && edge >= 30.0 && nearControl >= 15.0 && fastest <= 14.0;
    }
    return good;
}

bool WriteVideo(const std::string& path, const DemoScene::Camera& camera) {
    std::string error;
    auto writer = kadivo::CreateMjpegAviFile(path, DemoScene::kWidth, DemoScene::kHeight, DemoScene::kFramesPerSecond, error);
    if (!writer) {
        std::fprintf(stderr, "make_demo: %s\n", error.c_str());
        return false;
    }
    for (int frame = 0; frame < DemoScene::kFrames; ++frame)
        if (!writer->WriteFrame(Draw(camera, frame).Rows(), kStride)) return false;
    return writer->Finish();
}

bool WriteTruth(const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    std::fprintf(out, "# The known scene of the demo sequence: metres, x along the walkway, y up, z towards the cameras.\n");
    std::fprintf(out, "# Image points as digitized: origin at the bottom-left corner, y up; %d x %d pixels, %d frames a second.\n",
                 DemoScene::kWidth, DemoScene::kHeight, DemoScene::kFramesPerSecond);
    std::fprintf(out, "# The cameras below map world points to image points; each marker is drawn centred on the whole image\n"
                      "# point nearest to its projection.\n");
    const auto cameras = DemoScene::Cameras();
    for (std::size_t k = 0; k < cameras.size(); ++k) {
        std::fprintf(out, "camera %zu %s DLT", k + 1, DemoScene::VideoName(static_cast<int>(k)).c_str());
        for (double value : cameras[k]) std::fprintf(out, " %.12g", value);
        std::fprintf(out, "\n");
    }
    const auto points = DemoScene::ControlPoints();
    for (std::size_t p = 0; p < points.size(); ++p)
        std::fprintf(out, "control %zu %.3f %.3f %.3f\n", p + 1, points[p].x, points[p].y, points[p].z);
    std::fprintf(out, "frame marker x y z\n");
    for (int f = 0; f < DemoScene::kFrames; ++f) {
        const auto markers = DemoScene::Markers(f);
        for (int m = 0; m < DemoScene::kMarkers; ++m) {
            const auto& p = markers[static_cast<std::size_t>(m)];
            std::fprintf(out, "%d %s %.5f %.5f %.5f\n", f, DemoScene::kMarkerNames[static_cast<std::size_t>(m)], p.x, p.y, p.z);
        }
    }
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_demo FOLDER\n", stderr);
        return 2;
    }
    if (!CheckScene()) {
        std::fputs("make_demo: the scene cannot be tracked as it stands\n", stderr);
        return 1;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const auto cameras = DemoScene::Cameras();
    for (int k = 0; k < 2; ++k)
        if (!WriteVideo(folder + DemoScene::VideoName(k), cameras[static_cast<std::size_t>(k)])) {
            std::fprintf(stderr, "make_demo: %s could not be written\n", DemoScene::VideoName(k).c_str());
            return 1;
        }
    if (!WriteTruth(folder + "demo-truth.txt")) {
        std::fputs("make_demo: demo-truth.txt could not be written\n", stderr);
        return 1;
    }
    return 0;
}
