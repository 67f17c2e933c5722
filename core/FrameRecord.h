#pragma once

#include "Geometry.h"
#include "Limits.h"

#include <array>
#include <cstdint>

namespace kadivo {

enum DigitizeMode : int { kMovement = 0, kCalibration = 1 };

// The digitized points of one frame of one camera view. Every record has room for the
// whole model table; movement records use `pointCount` entries, the calibration record
// up to 50.
struct FrameRecord {
    static constexpr int kInitialZoom = 3;

    std::uint8_t flag = 0;
    int frame = 0;
    int digitizedCount = 0;
    std::array<Point2f, kModelTableSize> imagePos;
    std::array<ScrollPos, kModelTableSize> scrollPos;
    std::array<int, kModelTableSize> zoomAt;

    friend bool operator==(const FrameRecord&, const FrameRecord&) = default;

    explicit FrameRecord(int frameIndex = 0) : frame(frameIndex) {
        imagePos.fill(kNoPosition);
        scrollPos.fill(kNoScroll);
        zoomAt.fill(kInitialZoom);
    }
};

}  // namespace kadivo
