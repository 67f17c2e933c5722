#pragma once

#include <optional>
#include <vector>

namespace kadivo {

// Where in a view's frames a flash (or a lamp switched on) happened, from the brightness of
// a region frame by frame.
struct FlashEvent {
    // The instant in frames, frame k's exposure taken as the time from k to k + 1: where the
    // light came on for a lamp that stays on (to a small part of a frame), the middle of the
    // light for a flash (to within the flash's own length: a frame holds how much of a
    // flash it caught, not when).
    double frame = 0.0;
    int risingFrame = 0;   // the frame of the largest rise in brightness
    double jump = 0.0;     // that rise, in grey levels
    double noise = 0.0;    // the frame-to-frame change away from it (robust spread)
    bool staysOn = false;  // a lamp that stayed on, not a flash
};

// A rise counts as a flash when it stands this many times above the noise, and by a grey level at least.
inline constexpr double kFlashAboveNoise = 8.0;

// The flash in `brightness` (mean grey of the region in each frame); nothing when no rise
// stands out of the noise or there are too few frames around it.
std::optional<FlashEvent> LocateFlash(const std::vector<double>& brightness);

}  // namespace kadivo
