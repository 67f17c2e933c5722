#pragma once

#include "Geometry.h"
#include "GreyFrame.h"
#include "MarkerTemplate.h"

#include <cstdint>
#include <vector>

namespace kadivo {

// "Template Method": how a template placement is scored.
enum class TemplateMethod : int { Convolution = 0, Savd = 1 };

// The method of a stored value: "SSC" (2), which scores nothing, and unknown values search
// as "SAVD".
inline TemplateMethod TemplateMethodOf(int stored) { return stored == 0 ? TemplateMethod::Convolution : TemplateMethod::Savd; }

struct SearchSettings {
    static constexpr int kMinTemplateSize = 1, kMaxTemplateSize = 30;
    static constexpr int kMinSearchSize = 30, kMaxSearchSize = 100;

    TemplateMethod method = TemplateMethod::Savd;
    int searchSize = 50;    // side of the square search window, frame pixels
    int templateSize = 15;  // side of the square template, frame pixels
    bool brightMarker = false;
    bool useVelocity = false;
    int markerSize = 4;     // half side of the bright-marker square and of the velocity window
    // Matches are refined to a fraction of a pixel: the shift from the best placement that
    // minimises the template's squared differences on unquantised luminance, or the bright
    // marker's intensity-weighted centroid.
    bool subPixel = false;
};

// The search window's column and row where the prediction puts the marker.
struct SearchOffset {
    int x = 0, y = 0;
    friend bool operator==(const SearchOffset&, const SearchOffset&) = default;
};

// What one search looked at, for the status window: grey values, rows bottom-up.
struct SearchImages {
    int searchSize = 0;
    int templateSize = 0;
    std::vector<float> window;    // searchSize²
    std::vector<float> templ;     // templateSize²
    std::vector<float> response;  // searchSize², 0 where no placement was scored
};

// Takes the grey template of a marker centred on `at` (truncated to whole pixels) in
// `frame`, recording `frameIndex` and the part of `at` beyond the centre pixel; the buffer
// is reallocated only when the size changes.
void CaptureTemplate(const GreyFrame& frame, Point2f at, int templateSize, int frameIndex, MarkerTemplate& result);

// The frame pixel of the search window's first column and row around `previous`.
inline SearchOffset SearchWindowOrigin(Point2f previous, int searchSize) {
    return {static_cast<int>(previous.x - static_cast<float>(searchSize / 2)), static_cast<int>(previous.y - static_cast<float>(searchSize / 2))};
}

// Looks for `marker` in the searchSize × searchSize window of `frame` around `previous` and
// returns the best position in search-window pixels (whole pixels unless the settings ask
// for sub-pixel matches). A window reaching past the frame is searched as all 0. Fills
// `images` when given.
Point2f SearchMarker(const GreyFrame& frame, const MarkerTemplate& marker, Point2f previous, SearchOffset predicted,
                     const SearchSettings& settings, SearchImages* images = nullptr);

// The intensity-weighted centroid of the marker around `at` (frame coordinates), in a box of
// half side `half` that follows the centroid until it settles: each pixel weighs its
// luminance above the box's darkest (below its brightest for a dark marker), times the share
// of it inside the box. `at` when the box holds no contrast.
Point2f MarkerCentroid(const GreyFrame& frame, Point2f at, int half, bool bright = true);

// Values stretched to 0 … 255 between their smallest and largest; all 0 when they are equal.
std::vector<std::uint8_t> StretchToBytes(const std::vector<float>& values);

}  // namespace kadivo
