#include "SubFramePositions.h"

namespace kadivo {

namespace {

bool Held(const ImagePoint* p) { return p != nullptr && p->x != -1; }

}  // namespace

std::array<double, 4> CubicWeights(double t) {
    return {-t * (t - 1) * (t - 2) / 6, (t + 1) * (t - 1) * (t - 2) / 2, -(t + 1) * t * (t - 2) / 2, (t + 1) * t * (t - 1) / 6};
}

ImagePoint BetweenFrames(const ImagePoint* before, const ImagePoint& at, const ImagePoint& next, const ImagePoint* after,
                         double t) {
    if (!Held(&at) || !Held(&next)) return {-1, -1};
    if (!Held(before) || !Held(after)) return {at.x + t * (next.x - at.x), at.y + t * (next.y - at.y)};
    const std::array<double, 4> w = CubicWeights(t);
    return {w[0] * before->x + w[1] * at.x + w[2] * next.x + w[3] * after->x,
            w[0] * before->y + w[1] * at.y + w[2] * next.y + w[3] * after->y};
}

}  // namespace kadivo
