#pragma once

#include "DigitizeGesture.h"
#include "WindowState.h"

namespace kadivo {

// The state of a digitizing window that its record in the sequence file keeps. The record's
// 41 values are kept whole: the named ones are read from and written to the window, the
// display words go back as they came.
struct DigitizingWindowValues {
    // Slots of the 41 values, 0-based.
    static constexpr int kSneakZoomX = 1, kSneakZoomY = 2, kEditIndex = 13, kPressX = 14, kPressY = 15;
    static constexpr int kRangeFlag = 17, kEditFlag = 18, kCursorTargetX = 20, kCursorTargetY = 21;
    static constexpr int kPanX = 22, kPanY = 23, kRangeBottom = 26, kRangeTop = 27, kRangeRight = 28, kRangeLeft = 29;
    static constexpr int kPressScreenX = 32, kPressScreenY = 33, kButtonHeld = 34, kCameraIndex = 37;

    int sneakZoomPercentage = 25;
    int cameraIndex = 0;
    FrameRect rangeOfInterest;

    // The window's values from its record; a SneakZoom percentage outside 1..100 becomes 25.
    static DigitizingWindowValues From(const DigitizingWindowState& state);
    // The record with the window's values written into it.
    DigitizingWindowState WriteInto(DigitizingWindowState state) const;
};

}  // namespace kadivo
