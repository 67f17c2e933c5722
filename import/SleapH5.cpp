#include "TrackSet.h"

#include <hdf5.h>
#include <hdf5_hl.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace kadivo {

namespace {

// An HDF5 identifier closed when it goes out of scope.
class Handle {
public:
    Handle(hid_t id, herr_t (*close)(hid_t)) : id_(id), close_(close) {}
    ~Handle() {
        if (id_ >= 0) close_(id_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    hid_t get() const { return id_; }
    bool ok() const { return id_ >= 0; }

private:
    hid_t id_;
    herr_t (*close_)(hid_t);
};

class Reader {
public:
    Reader(const std::string& fileName, hid_t file) : fileName_(fileName), file_(file) {}

    [[noreturn]] void Fail(const std::string& dataset, const std::string& what) const {
        throw TrackFileError(fileName_ + ", dataset \"" + dataset + "\": " + what);
    }

    // The sizes of a dataset's dimensions.
    std::vector<hsize_t> Shape(const char* name) const {
        if (H5Lexists(file_, name, H5P_DEFAULT) <= 0) Fail(name, "missing; this is no SLEAP analysis file");
        const Handle set(H5Dopen2(file_, name, H5P_DEFAULT), H5Dclose);
        if (!set.ok()) Fail(name, "cannot be opened");
        const Handle space(H5Dget_space(set.get()), H5Sclose);
        const int rank = H5Sget_simple_extent_ndims(space.get());
        if (rank < 0 || rank > 8) Fail(name, "has no simple shape");
        std::vector<hsize_t> shape(static_cast<std::size_t>(rank));
        H5Sget_simple_extent_dims(space.get(), shape.data(), nullptr);
        return shape;
    }

    std::vector<double> Doubles(const char* name, std::size_t count) const {
        const Handle set(H5Dopen2(file_, name, H5P_DEFAULT), H5Dclose);
        std::vector<double> values(count);
        if (!set.ok() || H5Dread(set.get(), H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()) < 0)
            Fail(name, "cannot be read as numbers");
        return values;
    }

    // Fixed-length or variable-length strings.
    std::vector<std::string> Strings(const char* name, std::size_t count) const {
        const Handle set(H5Dopen2(file_, name, H5P_DEFAULT), H5Dclose);
        const Handle type(set.ok() ? H5Dget_type(set.get()) : -1, H5Tclose);
        if (!type.ok() || H5Tget_class(type.get()) != H5T_STRING) Fail(name, "holds no names");
        std::vector<std::string> names;
        if (H5Tis_variable_str(type.get()) > 0) {
            const Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
            H5Tset_size(memory.get(), H5T_VARIABLE);
            std::vector<char*> texts(count, nullptr);
            if (H5Dread(set.get(), memory.get(), H5S_ALL, H5S_ALL, H5P_DEFAULT, texts.data()) < 0) Fail(name, "cannot be read");
            for (char* text : texts) names.emplace_back(text ? text : "");
            const Handle space(H5Dget_space(set.get()), H5Sclose);
            H5Dvlen_reclaim(memory.get(), space.get(), H5P_DEFAULT, texts.data());
            return names;
        }
        const std::size_t width = H5Tget_size(type.get());
        if (width == 0 || width > 4096) Fail(name, "has names of no sensible width");
        const Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
        H5Tset_size(memory.get(), width);
        H5Tset_strpad(memory.get(), H5T_STR_NULLPAD);
        std::vector<char> bytes(width * count);
        if (H5Dread(set.get(), memory.get(), H5S_ALL, H5S_ALL, H5P_DEFAULT, bytes.data()) < 0) Fail(name, "cannot be read");
        for (std::size_t i = 0; i < count; ++i) {
            std::string text(bytes.data() + i * width, width);
            text.resize(text.find('\0') == std::string::npos ? width : text.find('\0'));
            names.push_back(text);
        }
        return names;
    }

private:
    std::string fileName_;
    hid_t file_;
};

// SLEAP's analysis export stores tracks as (tracks, 2, nodes, frames) and point scores as
// (tracks, nodes, frames); the first track is read.
TrackSet ReadOpenFile(const std::string& fileName, hid_t file) {
    const Reader reader(fileName, file);
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
    if (H5Lexists(file, "point_scores", H5P_DEFAULT) > 0) {
        const std::vector<hsize_t> scoreShape = reader.Shape("point_scores");
        if (scoreShape != std::vector<hsize_t>{tracks, nodes, frames}) reader.Fail("point_scores", "does not match the tracks");
        scores = reader.Doubles("point_scores", tracks * nodes * frames);
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
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    if (H5Fis_hdf5(path.c_str()) <= 0) throw TrackFileError(path + ": not an HDF5 file");
    const Handle file(H5Fopen(path.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT), H5Fclose);
    if (!file.ok()) throw TrackFileError(path + ": the HDF5 file cannot be opened");
    return ReadOpenFile(path, file.get());
}

TrackSet ReadSleapH5Image(const std::vector<std::uint8_t>& image, const std::string& name) {
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    if (image.empty()) throw TrackFileError(name + ": not an HDF5 file");
    // Read-only and copied by the library, which keeps and releases its own copy.
    std::vector<std::uint8_t> bytes = image;
    const Handle file(H5LTopen_file_image(bytes.data(), bytes.size(), 0), H5Fclose);
    if (!file.ok()) throw TrackFileError(name + ": the HDF5 file cannot be opened");
    return ReadOpenFile(name, file.get());
}

}  // namespace kadivo
