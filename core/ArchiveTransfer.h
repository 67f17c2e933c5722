#pragma once

#include "ArchiveString.h"
#include "ByteCursor.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

// Records whose fields are the same on the way in and out are described once, by a
// function template that moves each field through one of these two archives.

class LoadArchive {
public:
    explicit LoadArchive(ByteReader& in) : in_(in) {}
    static constexpr bool kLoading = true;

    void I32(std::int32_t& v, const char* what) { v = in_.I32(what); }
    void F32(float& v, const char* what) { v = in_.F32(what); }
    void F64(double& v, const char* what) { v = in_.F64(what); }
    void String(std::string& v, const char* what) { v = ReadArchiveString(in_, what); }

    // A count followed by that many items of at least `minItemBytes` each.
    template <typename T, typename Each>
    void Items(std::vector<T>& items, std::uint64_t minItemBytes, std::int32_t maxCount, const char* what, Each each) {
        const std::int32_t count = in_.I32(what);
        if (count < 0 || count > maxCount)
            throw FileFormatError("Invalid " + std::string(what) + ": " + std::to_string(count));
        in_.Require(static_cast<std::uint64_t>(count), minItemBytes, what);
        items.assign(static_cast<std::size_t>(count), T{});
        for (T& item : items) each(item);
    }

    ByteReader& reader() { return in_; }

private:
    ByteReader& in_;
};

class StoreArchive {
public:
    explicit StoreArchive(ByteWriter& out) : out_(out) {}
    static constexpr bool kLoading = false;

    void I32(const std::int32_t& v, const char*) { out_.I32(v); }
    void F32(const float& v, const char*) { out_.F32(v); }
    void F64(const double& v, const char*) { out_.F64(v); }
    void String(const std::string& v, const char*) { WriteArchiveString(out_, v); }

    template <typename T, typename Each>
    void Items(const std::vector<T>& items, std::uint64_t, std::int32_t, const char*, Each each) {
        out_.I32(static_cast<std::int32_t>(items.size()));
        for (const T& item : items) each(item);
    }

private:
    ByteWriter& out_;
};

}  // namespace kadivo
