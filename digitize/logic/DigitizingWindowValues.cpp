#include "DigitizingWindowValues.h"

namespace kadivo {

DigitizingWindowValues DigitizingWindowValues::From(const DigitizingWindowState& state) {
    DigitizingWindowValues values;
    const auto& v = state.values;
    const int percentage = v[kSneakZoomX];
    values.sneakZoomPercentage = percentage >= 1 && percentage <= 100 ? percentage : 25;
    values.cameraIndex = v[kCameraIndex];
    values.rangeOfInterest = {v[kRangeLeft], v[kRangeTop], v[kRangeRight], v[kRangeBottom]};
    return values;
}

DigitizingWindowState DigitizingWindowValues::WriteInto(DigitizingWindowState state) const {
    auto& v = state.values;
    v[kSneakZoomX] = v[kSneakZoomY] = sneakZoomPercentage;
    v[kCameraIndex] = cameraIndex;
    v[kRangeLeft] = rangeOfInterest.left;
    v[kRangeTop] = rangeOfInterest.top;
    v[kRangeRight] = rangeOfInterest.right;
    v[kRangeBottom] = rangeOfInterest.bottom;
    return state;
}

}  // namespace kadivo
