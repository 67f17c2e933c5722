#pragma once

#include <string>

namespace kadivo {

// The progress box's text for `position` in lower..upper: the percentage with "%", where
// any percentage other than exactly 100 is taken modulo 100. An empty range shows "0%".
std::string ProgressPercentText(int position, int lower, int upper);

// The frame slider of the status bar.
struct SliderRange {
    int minimum = 0;
    int limit = 0;
};

enum class SliderAction { LineLeft, LineRight, PageLeft, PageRight, Thumb, Home, End };

struct SliderMove {
    int position = 0;
    bool goToFrame = false;  // the document goes to `position`
    friend bool operator==(const SliderMove&, const SliderMove&) = default;
};

// Where a scroll request moves the slider: a line by the sequence's frame step (left only
// above the minimum, right only below the limit), a page by 10 within the range, the thumb
// to where it was dragged, home and end to the ends. The document follows to every position
// from the minimum to the limit, the last frame included, as the stepping reaches it.
SliderMove MoveFrameSlider(SliderAction action, int position, SliderRange range, int frameStep, int thumbPosition);

}  // namespace kadivo
