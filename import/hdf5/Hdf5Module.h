#pragma once

#include "TrackSet.h"

#include <string>

// The entry point ReadTrackFile looks up after loading the HDF5 module: 1 with `tracks` read
// from the file at `path`, else 0 with the reason in `error` (the TrackFileError's message).
extern "C" {
enum KadivoHdf5TrackFile : int { kKadivoSleapAnalysisFile = 0, kKadivoDeepLabCutTable = 1 };
using KadivoReadHdf5TracksFunction = int (*)(int kind, const char* path, kadivo::TrackSet* tracks, std::string* error);
}
