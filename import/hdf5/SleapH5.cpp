#include "Hdf5Reading.h"
#include "Hdf5TrackFiles.h"

#include <cmath>
#include <limits>
#include <vector>

namespace kadivo {

namespace {

// SLEAP's analysis export stores tracks as (tracks, 2, nodes, frames) and point scores as
// (tracks, nodes, frames); the first track is read.
TrackSet ReadOpenFile(const std::string& fileName, hid_t file) {
    const Hdf5Reader reader(fileName, file, "SLEAP analysis file");
    const std::vector<hsize_t> shape = reader.Shape("tracks");
    if (shape.size() != 4 || shape[1] != 2) reader.Fail("tracks", "is not tracks × 2 × nodes × frames");
    const hsize_t tracks = shape[0], nodes = shape[2], frames = shape[3];
    constexpr hsize_t kMostValues = hsize_t{1} << 28;
    if (tracks == 0 || nodes == 0 || nodes > 10000 || tracks * 2 * nodes * frames > kMostValues)
        reader.Fail("tracks", "has a size Kadivo does not read");
    const std::vector<hsize_t> nameShape = reader.Shape("node_names");
    if (nameShape.size() != 1 || nameShape[0] != nodes) reader.Fail("node_names", "does not name every node");
    TrackSet set;
    set.names = reader.Strings("node_names", nodes);
    const std::vector<double> positions = reader.Doubles("tracks", tracks * 2 * nodes * frames);
    std::vector<double> scores;
    if (reader.Exists("point_scores")) {
        const std::vector<hsize_t> scoreShape = reader.Shape("point_scores");
        if (scoreShape != std::vector<hsize_t>{tracks, nodes, frames}) reader.Fail("point_scores", "does not match the tracks");
        scores = reader.Doubles("point_scores", tracks * nodes * frames);
        set.hasLikelihood = true;
    }
    set.frames.assign(frames, std::vector<TrackSample>(nodes));
    for (hsize_t f = 0; f < frames; ++f) {
        for (hsize_t n = 0; n < nodes; ++n) {
            TrackSample& sample = set.frames[f][n];
            sample.x = static_cast<float>(positions[(0 * nodes + n) * frames + f]);
            sample.y = static_cast<float>(positions[(1 * nodes + n) * frames + f]);
            sample.likelihood = scores.empty() ? 1.0f : static_cast<float>(scores[n * frames + f]);
            if (!std::isfinite(sample.x) || !std::isfinite(sample.y)) sample.x = sample.y = std::numeric_limits<float>::quiet_NaN();
        }
    }
    return set;
}

}  // namespace

TrackSet ReadSleapH5(const std::string& path) {
    const Hdf5Handle file = OpenHdf5File(path);
    return ReadOpenFile(path, file.get());
}

TrackSet ReadSleapH5Image(const std::vector<std::uint8_t>& image, const std::string& name) {
    const Hdf5Handle file = OpenHdf5Image(image, name);
    return ReadOpenFile(name, file.get());
}

}  // namespace kadivo
