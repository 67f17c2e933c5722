#pragma once

#include "Geometry.h"
#include "Limits.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace kadivo {

enum DigitizeMode : int { kMovement = 0, kCalibration = 1 };

// One value per model entry of a record, read and written by index like a fixed table of
// kModelTableSize entries, each `Fallback` until set. Only the entries up to the highest one
// written take memory, so a record costs in proportion to the points it holds.
template <typename T, T Fallback>
class PointTable {
public:
    const T& operator[](std::size_t i) const { return i < values_.size() ? values_[i] : kFallback; }
    T& operator[](std::size_t i) {
        if (i >= values_.size()) values_.resize(i + 1, Fallback);
        return values_[i];
    }
    // Makes the first `count` entries take memory at once (those not yet written read the
    // fallback), for a reader that fills them all.
    void Hold(std::size_t count) {
        if (count > values_.size()) values_.resize(count, Fallback);
    }

    // The entries written so far, in order; those after them read the fallback.
    std::span<const T> Written() const { return values_; }

    // Tables are equal when every entry reads the same, however many were written.
    friend bool operator==(const PointTable& a, const PointTable& b) {
        const std::size_t n = std::max(a.values_.size(), b.values_.size());
        for (std::size_t i = 0; i < n; ++i)
            if (!(a[i] == b[i])) return false;
        return true;
    }

private:
    static constexpr T kFallback = Fallback;
    std::vector<T> values_;
};

// The digitized points of one frame of one camera view. Movement records use `pointCount`
// entries, the calibration record up to 50.
struct FrameRecord {
    static constexpr int kInitialZoom = 3;

    std::uint8_t flag = 0;
    int frame = 0;
    int digitizedCount = 0;
    PointTable<Point2f, kNoPosition> imagePos;
    PointTable<ScrollPos, kNoScroll> scrollPos;
    PointTable<int, kInitialZoom> zoomAt;

    friend bool operator==(const FrameRecord&, const FrameRecord&) = default;

    explicit FrameRecord(int frameIndex = 0) : frame(frameIndex) {}
};

}  // namespace kadivo
