#pragma once

#include "TrackSet.h"

#include <functional>
#include <string>

namespace kadivo {

// The reader of SLEAP's analysis files (`sleap`) or of DeepLabCut's HDF5 tables, from the
// HDF5 module, which is loaded into the calling process when first asked for (so that a
// child process forked to read a file need not load it). The reader throws TrackFileError
// for a file it cannot read; asking throws TrackFileError naming `fileName` when the module
// cannot be loaded.
std::function<TrackSet(const std::string& path)> Hdf5TrackReader(bool sleap, const std::string& fileName);

}  // namespace kadivo
