#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
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

// Reads little-endian values from a byte block, or from a stream of known length read
// through a window; no read can pass the end.
class ByteReader {
public:
    // Fills `into` with up to `max` bytes and returns how many; 0 only at the end.
    using Source = std::function<std::size_t(std::uint8_t* into, std::size_t max)>;
    static constexpr std::size_t kWindow = 1 << 20;

    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), valid_(size), size_(size) {}
    // The window is no larger than the stream: reading a small file touches no more memory
    // than the file fills.
    ByteReader(Source source, std::uint64_t size)
        : source_(std::move(source)), window_(static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, size))), size_(size) {
        data_ = window_.data();
    }

    std::uint64_t offset() const { return consumed_ + position_; }
    std::uint64_t remaining() const { return size_ - offset(); }

    // Fails unless `count` items of `itemSize` bytes are still there.
    void Require(std::uint64_t count, std::uint64_t itemSize, const char* what) const {
        if (itemSize != 0 && count > remaining() / itemSize) Fail(what);
    }

    std::uint8_t U8(const char* what) { return Get<std::uint8_t>(what); }
    std::uint16_t U16(const char* what) { return Get<std::uint16_t>(what); }
    std::int32_t I32(const char* what) { return Get<std::int32_t>(what); }
    std::uint32_t U32(const char* what) { return Get<std::uint32_t>(what); }
    std::int64_t I64(const char* what) { return Get<std::int64_t>(what); }
    std::uint64_t U64(const char* what) { return Get<std::uint64_t>(what); }
    float F32(const char* what) { return Get<float>(what); }
    double F64(const char* what) { return Get<double>(what); }

    void Bytes(void* out, std::size_t count, const char* what) {
        Require(count, 1, what);
        auto* to = static_cast<std::uint8_t*>(out);
        while (count > 0) {
            if (position_ == valid_) Refill(1, what);
            const std::size_t n = std::min(count, valid_ - position_);
            std::memcpy(to, data_ + position_, n);
            position_ += n;
            to += n;
            count -= n;
        }
    }

    // The next `count` bytes in one piece (at most the window), for the caller to decode.
    const std::uint8_t* Take(std::size_t count, const char* what) {
        Require(count, 1, what);
        if (valid_ - position_ < count) Refill(count, what);
        const std::uint8_t* block = data_ + position_;
        position_ += count;
        return block;
    }

    [[noreturn]] void Fail(const char* what) const {
        throw FileFormatError("The file ends before " + std::string(what) + " (byte " + std::to_string(offset()) +
                              " of " + std::to_string(size_) + ")");
    }

private:
    template <typename T>
    T Get(const char* what) {
        T value;
        std::memcpy(&value, Take(sizeof(T), what), sizeof(T));
        return value;
    }

    // Moves the unread bytes to the front of the window and reads until `needed` are there.
    void Refill(std::size_t needed, const char* what) {
        if (!source_) Fail(what);
        const std::size_t left = valid_ - position_;
        std::memmove(window_.data(), window_.data() + position_, left);
        consumed_ += position_;
        position_ = 0;
        valid_ = left;
        if (window_.size() < needed) window_.resize(needed);
        data_ = window_.data();
        const std::uint64_t wanted = std::min<std::uint64_t>(window_.size(), size_ - consumed_);
        while (valid_ < wanted) {
            const std::size_t got = source_(window_.data() + valid_, static_cast<std::size_t>(wanted) - valid_);
            if (got == 0) break;
            valid_ += got;
        }
        if (valid_ < needed) Fail(what);
    }

    Source source_;
    std::vector<std::uint8_t> window_;
    const std::uint8_t* data_ = nullptr;
    std::size_t position_ = 0;  // in the window
    std::size_t valid_ = 0;     // bytes of the window that hold data
    std::uint64_t consumed_ = 0;
    std::uint64_t size_ = 0;
};

// Appends little-endian values to a byte block. Without a sink it keeps everything;
// with one it hands each full chunk to the sink, so large files stream through a small buffer.
// The buffer grows as it fills, so that writing a small file touches little memory.
class ByteWriter {
public:
    using Sink = std::function<void(const std::uint8_t*, std::size_t)>;
    static constexpr std::size_t kChunk = 1 << 20;

    ByteWriter() { Resize(4096); }
    explicit ByteWriter(Sink sink) : sink_(std::move(sink)) { Resize(4096); }
    // The cursor points into the buffer, which a copy would not share.
    ByteWriter(const ByteWriter&) = delete;
    ByteWriter& operator=(const ByteWriter&) = delete;

    void U8(std::uint8_t v) { Put(v); }
    void U16(std::uint16_t v) { Put(v); }
    void I32(std::int32_t v) { Put(v); }
    void U32(std::uint32_t v) { Put(v); }
    void I64(std::int64_t v) { Put(v); }
    void U64(std::uint64_t v) { Put(v); }
    void F32(float v) { Put(v); }
    void F64(double v) { Put(v); }
    void Bytes(const void* data, std::size_t count) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        while (count > 0) {
            if (cursor_ == end_) MakeRoom(1);
            const std::size_t n = std::min(count, static_cast<std::size_t>(end_ - cursor_));
            std::memcpy(cursor_, p, n);
            cursor_ += n;
            p += n;
            count -= n;
        }
    }

    // Hands what is left to the sink.
    void Finish() {
        if (!sink_) return;
        if (Used() > 0) sink_(buffer_.data(), Used());
        cursor_ = buffer_.data();
    }
    // What was written so far, for a writer without sink; Clear starts again in the same
    // buffer, so that a writer used over and over allocates once.
    const std::uint8_t* data() const { return buffer_.data(); }
    std::size_t size() const { return Used(); }
    void Clear() { cursor_ = buffer_.data(); }
    // Everything written, for a writer without sink.
    std::vector<std::uint8_t> Take() {
        buffer_.resize(Used());
        std::vector<std::uint8_t> bytes = std::move(buffer_);
        Resize(4096);
        return bytes;
    }

private:
    template <typename T>
    void Put(T value) {
        if (static_cast<std::size_t>(end_ - cursor_) < sizeof(T)) MakeRoom(sizeof(T));
        std::memcpy(cursor_, &value, sizeof(T));
        cursor_ += sizeof(T);
    }
    std::size_t Used() const { return static_cast<std::size_t>(cursor_ - buffer_.data()); }
    void MakeRoom(std::size_t bytes) {
        if (sink_ && buffer_.size() >= kChunk) {
            Finish();
        } else {
            Resize(std::max(buffer_.size() * 2, Used() + bytes));
        }
    }
    void Resize(std::size_t size) {
        const std::size_t used = buffer_.empty() ? 0 : Used();
        buffer_.resize(size);
        cursor_ = buffer_.data() + used;
        end_ = buffer_.data() + buffer_.size();
    }

    Sink sink_;
    std::vector<std::uint8_t> buffer_;
    std::uint8_t* cursor_ = nullptr;
    std::uint8_t* end_ = nullptr;
};

}  // namespace kadivo
