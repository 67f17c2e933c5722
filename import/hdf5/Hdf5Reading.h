#pragma once

#include "TrackSet.h"

#include <hdf5.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

// An HDF5 identifier closed when it goes out of scope.
class Hdf5Handle {
public:
    Hdf5Handle(hid_t id, herr_t (*close)(hid_t)) : id_(id), close_(close) {}
    ~Hdf5Handle() {
        if (id_ >= 0) close_(id_);
    }
    Hdf5Handle(Hdf5Handle&& other) noexcept : id_(other.id_), close_(other.close_) { other.id_ = -1; }
    Hdf5Handle(const Hdf5Handle&) = delete;
    Hdf5Handle& operator=(const Hdf5Handle&) = delete;
    hid_t get() const { return id_; }
    bool ok() const { return id_ >= 0; }

private:
    hid_t id_;
    herr_t (*close_)(hid_t);
};

// The file at `path`, or a file's bytes, opened for reading with the library's own error
// printing off; throws TrackFileError naming `name` when it is no HDF5 file.
Hdf5Handle OpenHdf5File(const std::string& path);
Hdf5Handle OpenHdf5Image(const std::vector<std::uint8_t>& image, const std::string& name);

// Reads the datasets of an open file; every failure is a TrackFileError naming the file and
// the dataset. `kind` says what file was expected ("SLEAP analysis file").
class Hdf5Reader {
public:
    Hdf5Reader(const std::string& fileName, hid_t file, std::string kind) : fileName_(fileName), file_(file), kind_(std::move(kind)) {}

    [[noreturn]] void Fail(const std::string& dataset, const std::string& what) const;
    bool Exists(const char* name) const;
    // The sizes of a dataset's dimensions; a dataset that is not there is no file of `kind`.
    std::vector<hsize_t> Shape(const char* name) const;
    std::vector<double> Doubles(const char* name, std::size_t count) const;
    // Fixed-length or variable-length strings.
    std::vector<std::string> Strings(const char* name, std::size_t count) const;
    // A scalar string attribute of the object `object`.
    std::string StringAttribute(const char* object, const char* attribute) const;
    // One member of a table of compound rows: `width` numbers a row (an array member), all
    // rows. `rows` is the table's length.
    std::vector<double> TableColumn(const char* table, const char* member, hsize_t& rows, hsize_t& width) const;

private:
    std::string fileName_;
    hid_t file_;
    std::string kind_;
};

}  // namespace kadivo
