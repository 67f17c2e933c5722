#pragma once

#include <vector>

namespace kadivo {

// The small grey image of a marker that automatic tracking looks for in the next frame:
// size × size grey values (rows bottom-up, as in the frame; pixels outside the frame are 0),
// and the frame it was taken from.
struct MarkerTemplate {
    static constexpr int kNotCaptured = -1;

    std::vector<float> values;
    // The same pixels' luminance before quantising (0 … 255), for refining matches.
    std::vector<float> luminance;
    int size = 0;
    int frame = kNotCaptured;
    // Where the point lay from the centre pixel of the template, in pixels (0 … 1 each way):
    // a match of the template gives the point's position by adding it.
    float offsetX = 0.0f, offsetY = 0.0f;
    // The luminance and offset of the template where the point was last digitized by hand:
    // matches to a fraction of a pixel are refined against it too, so that the small error of
    // each frame's step is not carried on to the next.
    std::vector<float> anchorLuminance;
    float anchorOffsetX = 0.0f, anchorOffsetY = 0.0f;

    bool Captured() const { return frame != kNotCaptured; }
};

}  // namespace kadivo
