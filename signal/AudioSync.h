#pragma once

#include "AudioTrack.h"

#include <optional>

namespace kadivo {

// How far one sound lags behind another: the shift that lines up their loudness best.
struct AudioLag {
    double seconds = 0.0;  // when an event sounds in the other track minus when in the reference
    double peak = 0.0;     // their loudness's correlation at that shift, −1 .. 1
};

// The loudness envelopes' rate, and the correlation a lag is trusted from.
inline constexpr double kEnvelopeRate = 4000.0;
inline constexpr double kTrustedAudioPeak = 0.5;

// The loudness of a track: the mean magnitude over each 1/kEnvelopeRate of a second, from
// `origin` seconds (after the video's first frame) on.
std::vector<double> LoudnessEnvelope(const AudioTrack& track, double origin);

// The lag of `other` behind `reference`: the loudness envelopes' cross-correlation (mean
// removed, normalised) at its highest, refined between envelope samples by the parabola
// through the peak and its neighbours. Nothing when either track is silent or too short.
std::optional<AudioLag> LagBetween(const AudioTrack& reference, const AudioTrack& other);

}  // namespace kadivo
