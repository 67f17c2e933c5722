#pragma once

#include <limits>
#include <optional>

namespace kadivo {

// `frame` + `delta`, or nothing when the sum leaves the range of frame numbers. Frame
// numbers come from files and may lie anywhere in that range.
inline std::optional<int> OffsetFrame(int frame, long long delta) {
    const long long sum = static_cast<long long>(frame) + delta;
    if (sum < std::numeric_limits<int>::min() || sum > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(sum);
}

}  // namespace kadivo
