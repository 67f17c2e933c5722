#include "ProgressRules.h"

#include "FrameArithmetic.h"

#include <algorithm>

namespace kadivo {

std::string ProgressPercentText(int position, int lower, int upper) {
    if (upper == lower) return "0%";
    int percent = static_cast<int>(static_cast<long long>(position - lower) * 100 / (upper - lower));
    if (percent != 100) percent %= 100;
    return std::to_string(percent) + "%";
}

SliderMove MoveFrameSlider(SliderAction action, int position, SliderRange range, int frameStep, int thumbPosition) {
    int next = position;
    switch (action) {
        case SliderAction::LineLeft:
            if (position > range.minimum) next = OffsetFrame(position, -static_cast<long long>(frameStep)).value_or(range.minimum);
            break;
        case SliderAction::LineRight:
            if (position < range.limit) next = OffsetFrame(position, frameStep).value_or(range.limit);
            break;
        case SliderAction::PageLeft:
            next = std::clamp(OffsetFrame(position, -10).value_or(range.minimum), range.minimum, range.limit);
            break;
        case SliderAction::PageRight:
            next = std::clamp(OffsetFrame(position, 10).value_or(range.limit), range.minimum, range.limit);
            break;
        case SliderAction::Thumb: next = thumbPosition; break;
        case SliderAction::Home: next = range.minimum; break;
        case SliderAction::End: next = range.limit; break;
    }
    return {next, next >= range.minimum && next <= range.limit};
}

}  // namespace kadivo
