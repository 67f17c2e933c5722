#pragma once

#include <cstdint>
#include <limits>
#include <optional>

namespace kadivo::ffmpeg {

// Timestamps come from the file and may lie anywhere in 64 bits: arithmetic on them goes
// through these, which cannot overflow.

// The frames from stamp `first` to stamp `last`, both counted; nothing when the count does
// not fit.
inline std::optional<std::int64_t> FramesFromStamps(std::int64_t first, std::int64_t last) {
    std::int64_t span = 0;
    if (__builtin_sub_overflow(last, first, &span) || span == std::numeric_limits<std::int64_t>::max())
        return std::nullopt;
    return span + 1;
}

// `to` − `from` in ticks, as a double.
inline double StampDistance(std::int64_t from, std::int64_t to) {
    return static_cast<double>(to) - static_cast<double>(from);
}

// The stamp a tick after `stamp`, held at the largest stamp.
inline std::int64_t NextStamp(std::int64_t stamp) {
    return stamp == std::numeric_limits<std::int64_t>::max() ? stamp : stamp + 1;
}

}  // namespace kadivo::ffmpeg
