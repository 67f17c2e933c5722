#include "ModelPoint.h"

namespace kadivo {

const char* SideName(int side) {
    switch (side) {
    case kSideRight: return "Right";
    case kSideLeft: return "Left";
    default: return "None";
    }
}

ModelPoint ModelPoint::Default(int index) {
    ModelPoint point;
    point.name = "Point " + std::to_string(index + 1);
    // Only the first four slots get default names; the fifth stays empty.
    for (int slot = 0; slot < kMaxSegments; ++slot)
        point.segmentName[slot] = "Segment " + std::to_string(slot + 1);
    return point;
}

ModelTable DefaultModelTable() {
    ModelTable table;
    for (int i = 0; i < kModelTableSize; ++i) table[i] = ModelPoint::Default(i);
    return table;
}

void SetCentreOfGravityEntry(ModelTable& table, int pointCount) {
    ModelPoint& cg = table[pointCount];
    cg.name = "CG";
    cg.side = kSideNone;
    cg.linkedPoint[0] = -1;
    cg.segmentParamB[0] = 0.0f;
}

}  // namespace kadivo
