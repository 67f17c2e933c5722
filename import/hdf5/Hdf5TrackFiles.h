#pragma once

#include "TrackSet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

// DeepLabCut's HDF5 file: pandas' table "df_with_missing" of a row a frame, its columns
// named as in the CSV (scorer, [individual,] body part, x/y/likelihood).
TrackSet ReadDeepLabCutH5(const std::string& path);
// The same from a file's bytes; `name` is what messages call it.
TrackSet ReadDeepLabCutH5Image(const std::vector<std::uint8_t>& image, const std::string& name);

// SLEAP's HDF5 analysis file: "tracks" (tracks × 2 × nodes × frames, of which the first
// track is read), "node_names", and "point_scores" as the likelihood when present.
TrackSet ReadSleapH5(const std::string& path);
// The same from a file's bytes; `name` is what messages call it.
TrackSet ReadSleapH5Image(const std::vector<std::uint8_t>& image, const std::string& name);

}  // namespace kadivo
