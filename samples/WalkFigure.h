#pragma once

#include <array>
#include <cmath>

namespace kadivo::samples {

// The walker of the bundled sample: five markers (head, shoulder, hip, knee, ankle) on a
// figure that walks to the right across a 640 × 360 picture at 25 frames a second.
// Positions are in frame pixels with the origin at the bottom-left corner.
struct WalkFigure {
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 360;
    static constexpr int kFramesPerSecond = 25;
    static constexpr int kFrames = 50;
    static constexpr int kMarkers = 5;
    static constexpr int kStridePeriod = 25;

    struct Marker {
        float x, y;
    };

    // The calibration frame: four marks 3 m apart horizontally and 2 m vertically, at
    // 150 pixels a metre, drawn in every frame.
    static constexpr std::array<Marker, 4> kCalibrationMarks{{{100, 40}, {550, 40}, {550, 340}, {100, 340}}};
    static constexpr std::array<std::array<double, 2>, 4> kCalibrationWorld{{{0, 0}, {3, 0}, {3, 2}, {0, 2}}};

    // Marker centres of frame `f`, on whole pixels so that a click on a marker's centre
    // digitizes it exactly.
    static std::array<Marker, kMarkers> Markers(int f) {
        const double pi = 3.14159265358979323846;
        const double phase = 2.0 * pi * f / kStridePeriod;
        const double base = 120.0 + 7.0 * f;
        const double positions[kMarkers][2] = {
            {base + 3.0 * std::sin(phase), 300.0 + 2.0 * std::cos(2.0 * phase)},
            {base + 2.0 * std::sin(phase), 250.0 + 2.0 * std::cos(2.0 * phase)},
            {base, 170.0 + 3.0 * std::cos(2.0 * phase)},
            {base + 18.0 * std::sin(phase), 100.0 + 4.0 * std::abs(std::cos(phase))},
            {base + 36.0 * std::sin(phase - 0.6), 35.0 + 10.0 * std::max(0.0, std::sin(phase - 0.6))},
        };
        std::array<Marker, kMarkers> markers{};
        for (int m = 0; m < kMarkers; ++m)
            markers[static_cast<std::size_t>(m)] = {static_cast<float>(std::round(positions[m][0])),
                                                    static_cast<float>(std::round(positions[m][1]))};
        return markers;
    }
};

}  // namespace kadivo::samples
