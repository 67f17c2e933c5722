#include "DeepLabCutNames.h"
#include "Hdf5Reading.h"
#include "Hdf5TrackFiles.h"
#include "PickledTuples.h"

#include <cmath>
#include <limits>

namespace kadivo {

namespace {

constexpr const char* kKind = "DeepLabCut HDF5 file";
constexpr const char* kTable = "df_with_missing/table";
constexpr const char* kValues = "values_block_0";

// pandas' table under the key "df_with_missing": a row a frame of its index and the block
// of values, whose column names (scorer, [individual,] body part, coordinate) are pickled
// in the table's attribute "values_block_0_kind".
TrackSet ReadOpenFile(const std::string& fileName, hid_t file) {
    const Hdf5Reader reader(fileName, file, kKind);
    std::vector<std::vector<std::string>> columns;
    try {
        columns = ReadPickledTuples(reader.StringAttribute(kTable, "values_block_0_kind"));
    } catch (const std::invalid_argument& error) {
        reader.Fail(std::string(kTable) + "\" attribute \"values_block_0_kind", std::string("the column names cannot be read: ") + error.what());
    }
    if (columns.empty() || columns.size() % 3 != 0) reader.Fail(kTable, "the columns do not come in x, y, likelihood triples");
    TrackSet tracks;
    tracks.hasLikelihood = true;
    for (std::size_t c = 0; c < columns.size(); c += 3) {
        const std::size_t levels = columns[c].size();
        if (levels != 3 && levels != 4) reader.Fail(kTable, "its columns are not named by scorer, body part and coordinate");
        for (std::size_t k = 0; k < 3; ++k)
            if (columns[c + k].size() != levels || columns[c + k][levels - 1] != kDeepLabCutCoordinates[k] ||
                columns[c + k][levels - 2] != columns[c][levels - 2])
                reader.Fail(kTable, "expected the coordinates x, y, likelihood for every body part");
        tracks.names.push_back(DeepLabCutPointName(levels == 4 ? columns[c][1] : std::string(), columns[c][levels - 2]));
    }

    hsize_t rows = 0, width = 0, indexWidth = 0;
    const std::vector<double> values = reader.TableColumn(kTable, kValues, rows, width);
    if (width != columns.size()) reader.Fail(kTable, "its values do not match its column names");
    const std::vector<double> index = reader.TableColumn(kTable, "index", rows, indexWidth);
    if (indexWidth != 1) reader.Fail(kTable, "its index is not one number a row");

    // The index numbers the frames; a frame the table leaves out has every point missing.
    constexpr double kMostFrames = 10'000'000;
    double last = -1;
    for (double frame : index) {
        if (!(frame >= 0 && frame < kMostFrames) || frame != std::floor(frame)) reader.Fail(kTable, "its index is not a frame number");
        last = std::max(last, frame);
    }
    const float none = std::numeric_limits<float>::quiet_NaN();
    const std::size_t points = tracks.names.size();
    tracks.frames.assign(static_cast<std::size_t>(last + 1), std::vector<TrackSample>(points, TrackSample{none, none, 0.0f}));
    std::vector<bool> seen(tracks.frames.size(), false);
    for (hsize_t r = 0; r < rows; ++r) {
        const auto frame = static_cast<std::size_t>(index[r]);
        if (seen[frame]) reader.Fail(kTable, "frame " + std::to_string(frame) + " has two rows");
        seen[frame] = true;
        for (std::size_t p = 0; p < points; ++p) {
            const double* triple = values.data() + r * width + 3 * p;
            TrackSample& sample = tracks.frames[frame][p];
            sample = {static_cast<float>(triple[0]), static_cast<float>(triple[1]), static_cast<float>(triple[2])};
            if (!std::isfinite(sample.x) || !std::isfinite(sample.y) || std::isnan(sample.likelihood))
                sample = {none, none, sample.likelihood};
        }
    }
    return tracks;
}

}  // namespace

TrackSet ReadDeepLabCutH5(const std::string& path) {
    const Hdf5Handle file = OpenHdf5File(path);
    return ReadOpenFile(path, file.get());
}

TrackSet ReadDeepLabCutH5Image(const std::vector<std::uint8_t>& image, const std::string& name) {
    const Hdf5Handle file = OpenHdf5Image(image, name);
    return ReadOpenFile(name, file.get());
}

}  // namespace kadivo
