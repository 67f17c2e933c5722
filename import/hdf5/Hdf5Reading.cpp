#include "Hdf5Reading.h"

#include <hdf5_hl.h>

namespace kadivo {

namespace {

// The largest dataset read: anything larger is no track file of a video.
constexpr hsize_t kMostValues = hsize_t{1} << 28;

}  // namespace

Hdf5Handle OpenHdf5File(const std::string& path) {
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    if (H5Fis_hdf5(path.c_str()) <= 0) throw TrackFileError(path + ": not an HDF5 file");
    Hdf5Handle file(H5Fopen(path.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT), H5Fclose);
    if (!file.ok()) throw TrackFileError(path + ": the HDF5 file cannot be opened");
    return file;
}

Hdf5Handle OpenHdf5Image(const std::vector<std::uint8_t>& image, const std::string& name) {
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    if (image.empty()) throw TrackFileError(name + ": not an HDF5 file");
    // Read-only, so the library copies the bytes and keeps and releases its own copy.
    std::vector<std::uint8_t> bytes = image;
    Hdf5Handle file(H5LTopen_file_image(bytes.data(), bytes.size(), 0), H5Fclose);
    if (!file.ok()) throw TrackFileError(name + ": the HDF5 file cannot be opened");
    return file;
}

void Hdf5Reader::Fail(const std::string& dataset, const std::string& what) const {
    throw TrackFileError(fileName_ + ", dataset \"" + dataset + "\": " + what);
}

bool Hdf5Reader::Exists(const char* name) const {
    // Each link of a path must be there before the next is asked about.
    const std::string path(name);
    for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        if (H5Lexists(file_, path.substr(0, slash).c_str(), H5P_DEFAULT) <= 0) return false;
        if (slash == std::string::npos) return true;
    }
}

std::vector<hsize_t> Hdf5Reader::Shape(const char* name) const {
    if (!Exists(name)) Fail(name, "missing; this is no " + kind_);
    const Hdf5Handle set(H5Dopen2(file_, name, H5P_DEFAULT), H5Dclose);
    if (!set.ok()) Fail(name, "cannot be opened");
    const Hdf5Handle space(H5Dget_space(set.get()), H5Sclose);
    const int rank = H5Sget_simple_extent_ndims(space.get());
    if (rank < 0 || rank > 8) Fail(name, "has no simple shape");
    std::vector<hsize_t> shape(static_cast<std::size_t>(rank));
    H5Sget_simple_extent_dims(space.get(), shape.data(), nullptr);
    return shape;
}

std::vector<double> Hdf5Reader::Doubles(const char* name, std::size_t count) const {
    const Hdf5Handle set(H5Dopen2(file_, name, H5P_DEFAULT), H5Dclose);
    std::vector<double> values(count);
    if (!set.ok() || H5Dread(set.get(), H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()) < 0)
        Fail(name, "cannot be read as numbers");
    return values;
}

std::vector<std::string> Hdf5Reader::Strings(const char* name, std::size_t count) const {
    const Hdf5Handle set(H5Dopen2(file_, name, H5P_DEFAULT), H5Dclose);
    const Hdf5Handle type(set.ok() ? H5Dget_type(set.get()) : -1, H5Tclose);
    if (!type.ok() || H5Tget_class(type.get()) != H5T_STRING) Fail(name, "holds no names");
    std::vector<std::string> names;
    if (H5Tis_variable_str(type.get()) > 0) {
        const Hdf5Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
        H5Tset_size(memory.get(), H5T_VARIABLE);
        std::vector<char*> texts(count, nullptr);
        if (H5Dread(set.get(), memory.get(), H5S_ALL, H5S_ALL, H5P_DEFAULT, texts.data()) < 0) Fail(name, "cannot be read");
        for (char* text : texts) names.emplace_back(text ? text : "");
        const Hdf5Handle space(H5Dget_space(set.get()), H5Sclose);
        H5Dvlen_reclaim(memory.get(), space.get(), H5P_DEFAULT, texts.data());
        return names;
    }
    const std::size_t width = H5Tget_size(type.get());
    if (width == 0 || width > 4096) Fail(name, "has names of no sensible width");
    const Hdf5Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
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

std::string Hdf5Reader::StringAttribute(const char* object, const char* attribute) const {
    const std::string where = std::string(object) + "\" attribute \"" + attribute;
    if (!Exists(object) || H5Aexists_by_name(file_, object, attribute, H5P_DEFAULT) <= 0) Fail(where, "missing; this is no " + kind_);
    const Hdf5Handle value(H5Aopen_by_name(file_, object, attribute, H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
    const Hdf5Handle type(value.ok() ? H5Aget_type(value.get()) : -1, H5Tclose);
    const Hdf5Handle space(value.ok() ? H5Aget_space(value.get()) : -1, H5Sclose);
    if (!type.ok() || !space.ok() || H5Tget_class(type.get()) != H5T_STRING || H5Sget_simple_extent_npoints(space.get()) != 1)
        Fail(where, "is no text");
    if (H5Tis_variable_str(type.get()) > 0) {
        const Hdf5Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
        H5Tset_size(memory.get(), H5T_VARIABLE);
        char* text = nullptr;
        if (H5Aread(value.get(), memory.get(), &text) < 0 || !text) Fail(where, "cannot be read");
        std::string result(text);
        H5free_memory(text);
        return result;
    }
    const std::size_t width = H5Tget_size(type.get());
    if (width == 0 || width > kMostValues) Fail(where, "has no sensible length");
    const Hdf5Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
    H5Tset_size(memory.get(), width);
    H5Tset_strpad(memory.get(), H5T_STR_NULLPAD);
    std::string text(width, '\0');
    if (H5Aread(value.get(), memory.get(), text.data()) < 0) Fail(where, "cannot be read");
    text.resize(text.find('\0') == std::string::npos ? width : text.find('\0'));
    return text;
}

std::vector<double> Hdf5Reader::TableColumn(const char* table, const char* member, hsize_t& rows, hsize_t& width) const {
    const std::vector<hsize_t> shape = Shape(table);
    if (shape.size() != 1) Fail(table, "is not a table of rows");
    rows = shape[0];
    const Hdf5Handle set(H5Dopen2(file_, table, H5P_DEFAULT), H5Dclose);
    const Hdf5Handle type(set.ok() ? H5Dget_type(set.get()) : -1, H5Tclose);
    if (!type.ok() || H5Tget_class(type.get()) != H5T_COMPOUND) Fail(table, "is not a table of rows");
    const int index = H5Tget_member_index(type.get(), member);
    if (index < 0) Fail(table, std::string("has no column \"") + member + "\"");
    const Hdf5Handle memberType(H5Tget_member_type(type.get(), static_cast<unsigned>(index)), H5Tclose);
    width = 1;
    if (H5Tget_class(memberType.get()) == H5T_ARRAY) {
        if (H5Tget_array_ndims(memberType.get()) != 1) Fail(table, std::string("column \"") + member + "\" is not a row of numbers");
        H5Tget_array_dims2(memberType.get(), &width);
    }
    if (width == 0 || rows > kMostValues / width) Fail(table, "has a size Kadivo does not read");
    // The member alone, as doubles: the library converts and leaves the other members out.
    const Hdf5Handle number(width == 1 ? H5Tcopy(H5T_NATIVE_DOUBLE) : H5Tarray_create2(H5T_NATIVE_DOUBLE, 1, &width), H5Tclose);
    const Hdf5Handle memory(H5Tcreate(H5T_COMPOUND, sizeof(double) * width), H5Tclose);
    H5Tinsert(memory.get(), member, 0, number.get());
    std::vector<double> values(rows * width);
    if (H5Dread(set.get(), memory.get(), H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()) < 0)
        Fail(table, std::string("column \"") + member + "\" cannot be read as numbers");
    return values;
}

}  // namespace kadivo
