#pragma once

#include "AudioTrack.h"

#include <optional>
#include <string>

namespace kadivo {

// The first audio stream of a video file, its first `maxSeconds` seconds; nothing, with
// `error` saying why, when the file has no audio or it cannot be decoded.
std::optional<AudioTrack> ReadAudioTrack(const std::string& path, double maxSeconds, std::string& error);

}  // namespace kadivo
