#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace kadivo {

// A file that cannot be read as what it claims to be; the message says what and where.
class FileFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

static_assert(std::endian::native == std::endian::little,
              "the binary readers and writers copy little-endian values directly");

// Reads little-endian values from a byte block; no read can pass its end.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return size_ - offset_; }

    // Fails unless `count` items of `itemSize` bytes are still there.
    void Require(std::uint64_t count, std::uint64_t itemSize, const char* what) const {
        if (itemSize != 0 && count > remaining() / itemSize) Fail(what);
    }

    std::uint8_t U8(const char* what) { return Get<std::uint8_t>(what); }
    std::uint16_t U16(const char* what) { return Get<std::uint16_t>(what); }
    std::int32_t I32(const char* what) { return Get<std::int32_t>(what); }
    std::uint32_t U32(const char* what) { return Get<std::uint32_t>(what); }
    float F32(const char* what) { return Get<float>(what); }
    double F64(const char* what) { return Get<double>(what); }

    void Bytes(void* out, std::size_t count, const char* what) {
        Require(count, 1, what);
        std::memcpy(out, data_ + offset_, count);
        offset_ += count;
    }

    [[noreturn]] void Fail(const char* what) const {
        throw FileFormatError("The file ends before " + std::string(what) + " (byte " +
                              std::to_string(offset_) + " of " + std::to_string(size_) + ")");
    }

private:
    template <typename T>
    T Get(const char* what) {
        if (remaining() < sizeof(T)) Fail(what);
        T value;
        std::memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

// Appends little-endian values to a growing byte block.
class ByteWriter {
public:
    void Reserve(std::size_t bytes) { bytes_.reserve(bytes); }
    void U8(std::uint8_t v) { bytes_.push_back(v); }
    void U16(std::uint16_t v) { Put(v); }
    void I32(std::int32_t v) { Put(v); }
    void U32(std::uint32_t v) { Put(v); }
    void F32(float v) { Put(v); }
    void F64(double v) { Put(v); }
    void Bytes(const void* data, std::size_t count) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + count);
    }

    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    template <typename T>
    void Put(T value) {
        std::uint8_t raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        bytes_.insert(bytes_.end(), raw, raw + sizeof(T));
    }

    std::vector<std::uint8_t> bytes_;
};

}  // namespace kadivo
