#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kadivo {

// Placement of a frame window as the sequence file stores it.
struct WindowPlacement {
    std::int32_t blockVersion = 1;
    std::int32_t maxX = 0, maxY = 0;
    std::int32_t minX = 0, minY = 0;
    std::int32_t rectBottom = 0, rectTop = 0, rectRight = 0, rectLeft = 0;
    std::int32_t showState = 1;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// What a curve of kinematic data was made from, so that it is made again when the world data
// change.
struct CurveSource {
    std::int32_t angular = 0;   // 0 a point's linear data, 1 a joint's angle
    std::int32_t entry = 0;     // the point (pointCount: the centre of gravity) or the joint
    std::int32_t quantity = 0;  // 0 position or angle, 1 velocity, 2 acceleration
    std::int32_t component = 0; // X, Y, Z or the distance for a point; the axis for a joint
    std::int32_t smoothed = 1;
    std::int32_t counterClockwise = 0;
    friend bool operator==(const CurveSource&, const CurveSource&) = default;
};

struct DataCurveState {
    std::int32_t blockVersion = 1;
    std::int32_t color = 0xFFFFFF;
    std::int32_t lineType = 0;
    std::int32_t lineWidth = 2;
    std::int32_t tagMark = 0;
    float valueMax = 1.0f;
    float valueMin = 0.0f;
    std::string name;
    std::int32_t hasSamples = 0;
    std::int32_t unit = 0;
    std::int32_t showLegend = 0;
    std::vector<float> samples;
    // The half-width of each sample's 95 % band, and whether the band is drawn; kept in the
    // file's extension block, which older builds pass over.
    std::vector<float> halfWidths;
    std::int32_t showBand = 0;
    // Kept in the file's extension block; curves of older files have none and stay as drawn.
    std::optional<CurveSource> source;
    friend bool operator==(const DataCurveState&, const DataCurveState&) = default;
};

struct DataGraphState {
    std::int32_t blockVersion = 1;
    float xMin = 0.0f, xMax = 1.0f;
    float leftMin = 0.0f, leftMax = 1.0f;
    float rightMin = 0.0f, rightMax = 1.0f;
    std::int32_t gridOn = 1;
    std::int32_t xManual = 0, leftManual = 0, rightManual = 0;
    std::int32_t divisions = 5;
    std::int32_t leftUnit = -1, rightUnit = -1;
    std::int32_t curveColor = 0xC8C8C8;
    std::int32_t sampleCount = 0;
    std::int32_t graphColor = 0xC8C8C8;
    std::int32_t extraFlag = 0;  // restored only
    std::int32_t rectBottom = 0, rectTop = 0, rectRight = 0, rectLeft = 0;
    std::int32_t selectedCurve = -1;
    std::string title = "Data Graph";
    std::int32_t workValue = -1;  // restored only
    std::int32_t unitCount = 0;
    std::int32_t rightAxisUsed = 0;
    std::vector<DataCurveState> curves;
    friend bool operator==(const DataGraphState&, const DataGraphState&) = default;
};

// Graph window (kind 1).
struct GraphWindowState {
    static constexpr std::int32_t kKind = 1;
    static constexpr int kMaxGraphs = 6;
    WindowPlacement placement;
    std::int32_t backgroundColor = 0;
    std::int32_t defaultCurveColor = 0xC8C8C8;
    std::int32_t defaultGraphColor = 0xC8C8C8;
    std::int32_t selectedCurve = -1;
    std::int32_t selectedGraph = -1;
    std::int32_t shiftDown = 0;
    std::vector<DataGraphState> graphs{DataGraphState{}};
    friend bool operator==(const GraphWindowState&, const GraphWindowState&) = default;
};

// Digitizing window (kind 2): 41 values of the view, restored as read.
struct DigitizingWindowState {
    static constexpr std::int32_t kKind = 2;
    static constexpr int kValueCount = 41;
    static constexpr int kCameraIndexSlot = 37;  // the thirty-eighth value
    WindowPlacement placement;
    std::array<std::int32_t, kValueCount> values = NewViewValues();

    std::int32_t cameraIndex() const { return values[kCameraIndexSlot]; }
    void setCameraIndex(std::int32_t index) { values[kCameraIndexSlot] = index; }

    static std::array<std::int32_t, kValueCount> NewViewValues() {
        std::array<std::int32_t, kValueCount> v{};
        v[1] = 25;  // SneakZoom percentage, horizontal
        v[2] = 25;  // SneakZoom percentage, vertical
        v[20] = -1; // cursor target x
        return v;
    }
    friend bool operator==(const DigitizingWindowState&, const DigitizingWindowState&) = default;
};

// Animation window (kind 4). The unnamed values are restored only.
struct AnimationWindowState {
    static constexpr std::int32_t kKind = 4;
    WindowPlacement placement;
    std::int32_t speed = 30;
    std::array<std::int32_t, 2> viewValuesA{};
    std::int32_t useUnfiltered = 0;
    std::int32_t extrudeLeft = 0;
    std::int32_t segmentStyle = 0;
    std::int32_t showMissing = 1;
    std::int32_t showFloor = 0;
    std::int32_t segmentColor = 0x858585;
    std::int32_t jointColor = 0x858585;
    std::array<std::int32_t, 2> viewValuesB{};
    std::int32_t showCenterOfGravity = 1;
    std::int32_t viewValueC = 0;
    double rotX = 0.0, rotY = 0.0, rotZ = 0.0;
    float panX = 0.0f, panY = 0.0f;
    double distance = -10.0;
    friend bool operator==(const AnimationWindowState&, const AnimationWindowState&) = default;
};

// The saved state of one window open on a sequence (capture windows are not saved).
using WindowState = std::variant<GraphWindowState, DigitizingWindowState, AnimationWindowState>;

}  // namespace kadivo
