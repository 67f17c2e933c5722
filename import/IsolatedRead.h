#pragma once

#include "TrackSet.h"

#include <functional>
#include <string>

namespace kadivo {

// Runs `read` in a child process and hands its tracks back: a library that crashes or hangs
// on a damaged file then takes only the child with it. A TrackFileError in the child comes
// back as one; a child that dies, or does not finish within `seconds`, gives a TrackFileError
// that names `fileName`.
TrackSet ReadTracksInChildProcess(const std::string& fileName, const std::function<TrackSet()>& read, int seconds = 120);

}  // namespace kadivo
