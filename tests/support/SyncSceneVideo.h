#pragma once

// One camera's video of a scene for synchronisation: a lamp in a region that comes on at a
// given frame (each frame averaging the light over its whole exposure), and a beep in room
// noise.

#include "CodedVideoWriter.h"
#include "ViewSynchronisation.h"

#include <numbers>
#include <random>

namespace kadivo::test {

inline constexpr int kSyncSceneRate = 50;
inline const SyncRegion kSyncSceneLamp{100, 20, 40, 40};

// 100 frames of 160 × 120 at 50 a second; the lamp comes on at frame `lampOn`, the beep
// sounds at `beep` seconds; no sound at all unless `withSound`. The reason when it fails.
inline std::string WriteSyncSceneVideo(const std::string& path, double lampOn, double beep, bool withSound, unsigned seed) {
    CodedVideo spec;
    spec.path = path;
    spec.width = 160;
    spec.height = 120;
    spec.rate = kSyncSceneRate;
    spec.frames = 100;
    spec.paint = [lampOn](AVFrame& frame, int index) {
        const double lit = std::clamp(index + 1.0 - lampOn, 0.0, 1.0);
        const SyncRegion& lamp = kSyncSceneLamp;
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x) {
                const bool inside = x >= lamp.x && x < lamp.x + lamp.width && y >= lamp.y && y < lamp.y + lamp.height;
                frame.data[0][y * frame.linesize[0] + x] = static_cast<std::uint8_t>(inside ? std::lround(60 + 150 * lit) : 60);
            }
        for (int plane = 1; plane < 3; ++plane)
            for (int y = 0; y < frame.height / 2; ++y)
                std::memset(frame.data[plane] + y * frame.linesize[plane], 128, static_cast<std::size_t>(frame.width / 2));
    };
    if (withSound) {
        std::mt19937 random(seed);
        std::normal_distribution<double> noise(0.0, 0.02);
        for (int i = 0; i < spec.audioRate * 2; ++i) {
            const double t = static_cast<double>(i) / spec.audioRate;
            const double tone = t >= beep && t < beep + 0.08 ? 0.4 * std::sin(2 * std::numbers::pi * 880 * (t - beep)) : 0.0;
            spec.audio.push_back(static_cast<float>(tone + noise(random)));
        }
    }
    return WriteCodedVideo(spec);
}

}  // namespace kadivo::test
