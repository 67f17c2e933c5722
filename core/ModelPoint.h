#pragma once

#include "Limits.h"

#include <array>
#include <string>

namespace kadivo {

enum Side : int { kSideRight = 0, kSideLeft = 1, kSideNone = 2 };

// "Right", "Left" or "None" as the status bar shows a side tag.
const char* SideName(int side);

// One point of the digitizing model, with the segments that join it to other points.
struct ModelPoint {
    std::string name;
    std::array<int, kSegmentSlots> linkedPoint{-1, -1, -1, -1, -1};
    std::array<std::string, kSegmentSlots> segmentName;
    std::array<float, kSegmentSlots> segmentParamA{};
    std::array<float, kSegmentSlots> segmentParamB{};
    int side = kSideNone;
    int segmentCount = 0;

    // Defaults of the point at 0-based table index `index`: "Point %d", "Segment %d".
    static ModelPoint Default(int index);

    friend bool operator==(const ModelPoint&, const ModelPoint&) = default;
};

using ModelTable = std::array<ModelPoint, kModelTableSize>;

ModelTable DefaultModelTable();

// Sets the centre-of-gravity entry at index `pointCount`: "CG", side None, no link.
void SetCentreOfGravityEntry(ModelTable& table, int pointCount);

}  // namespace kadivo
