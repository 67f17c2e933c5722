#pragma once

#include "Geometry.h"
#include "WindowState.h"

#include <optional>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// What the animation window draws for one frame, in world coordinates; the window only
// turns it into GL calls.
struct AnimationScene {
    static constexpr double kJointRadius = 0.05;
    static constexpr double kSegmentRadius = 0.02;
    static constexpr int kSlices = 10, kStacks = 10;
    static constexpr double kFloorHalfSide = 4.0;
    static constexpr double kBarRadius = 0.2;
    static constexpr int kGridLines = 25;

    struct Colour {
        float r = 0, g = 0, b = 0;
        friend bool operator==(const Colour&, const Colour&) = default;
    };
    enum class Style { Solid = 0, Wire = 1, Line = 2 };
    struct Joint {
        Point3 at;
        Colour colour;
    };
    struct Segment {
        Point3 from, to;
    };

    Style style = Style::Solid;
    Colour jointColour, segmentColour;
    std::vector<Joint> joints;  // model points, then the centre of gravity when shown
    std::vector<Segment> segments;
    double floorHeight = 0.0;
    bool texturedFloor = false;
};

inline constexpr AnimationScene::Colour kCentreOfGravityColour{1.0f, 0.5f, 0.0f};

// A 0x00BBGGRR colour with each byte divided by 255.
AnimationScene::Colour ColourOf(std::int32_t value);

// The scene of `frame` with the window's options: the joints and segments of the model (a
// point missing in the current view's frame left out with its segments unless missing points
// are shown), the left side brought forward when asked, the centre of gravity, the floor at
// the lowest y of the world extent. Empty without world data.
AnimationScene BuildAnimationScene(const CKadivoDoc& doc, const AnimationWindowState& options, int frame);

}  // namespace kadivo
