#pragma once

namespace kadivo {

// The model table holds 49 digitizable points plus the centre-of-gravity entry.
inline constexpr int kModelTableSize = 50;
inline constexpr int kMaxModelPoints = kModelTableSize - 1;
// The calibration record holds 50 entries and the file stores count + 1 of them.
inline constexpr int kMaxCalibrationPoints = kModelTableSize - 1;
// The sequence file keeps per-view values for at most 10 camera views.
inline constexpr int kMaxCameraViews = 10;
// Segment slots per model point: five exist, at most four are used.
inline constexpr int kSegmentSlots = 5;
inline constexpr int kMaxSegments = 4;

}  // namespace kadivo
