#include "AnimationScene.h"

#include "CKadivoDoc.h"
#include "FrameArithmetic.h"

#include <algorithm>

namespace kadivo {

namespace {

constexpr double kLeftExtrusion = 0.3;
constexpr double kMiddleExtrusion = 0.15;

// Whether point p has no position in the current view's record of the frame shown.
bool MissingInView(const CKadivoDoc& doc, int p, int frame) {
    const CameraView& view = doc.current();
    const std::optional<int> stored = OffsetFrame(frame, view.syncFrame);
    const FrameRecord* record = stored ? view.frameStore.FindRecord(*stored, kMovement) : nullptr;
    return record && p < record->digitizedCount && record->imagePos[static_cast<std::size_t>(p)].x == -1.0f;
}

}  // namespace

AnimationScene::Colour ColourOf(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<float>(v & 0xFF) / 255.0f, static_cast<float>((v >> 8) & 0xFF) / 255.0f,
            static_cast<float>((v >> 16) & 0xFF) / 255.0f};
}

AnimationScene BuildAnimationScene(const CKadivoDoc& doc, const AnimationWindowState& options, int frame) {
    AnimationScene scene;
    scene.style = static_cast<AnimationScene::Style>(std::clamp(static_cast<int>(options.segmentStyle), 0, 2));
    scene.jointColour = ColourOf(options.jointColor);
    scene.segmentColour = ColourOf(options.segmentColor);
    scene.floorHeight = doc.worldExtent.minimum.y;
    scene.texturedFloor = options.showFloor != 0;
    const WorldData& world = options.useUnfiltered ? doc.worldRaw : doc.worldFiltered;
    if (world.empty() || frame < 0 || frame >= world.frames() || doc.views.empty()) return scene;
    const int points = std::min(doc.pointCount, world.entriesPerFrame() - 1);
    const Point3* row = world[frame];

    std::vector<bool> skipped(static_cast<std::size_t>(std::max(points, 0)));
    std::vector<Point3> placed(skipped.size());
    for (int p = 0; p < points; ++p) {
        const auto i = static_cast<std::size_t>(p);
        // A point no views could solve has no place to be drawn at, shown missing or not.
        skipped[i] = row[p] == kMissingWorldPoint || (!options.showMissing && MissingInView(doc, p, frame));
        placed[i] = row[p];
        if (options.extrudeLeft) {
            const int side = doc.modelPoints[i].side;
            placed[i].z += side == kSideLeft ? kLeftExtrusion : (side == kSideNone ? kMiddleExtrusion : 0.0);
        }
    }
    for (int p = 0; p < points; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (skipped[i]) continue;
        scene.joints.push_back({placed[i], scene.jointColour});
        const ModelPoint& point = doc.modelPoints[i];
        // The links end at the first empty slot.
        for (int link : point.linkedPoint) {
            if (link < 0) break;
            if (link >= points || skipped[static_cast<std::size_t>(link)]) continue;
            scene.segments.push_back({placed[i], placed[static_cast<std::size_t>(link)]});
        }
    }
    if (options.showCenterOfGravity && world.entriesPerFrame() > doc.pointCount && row[doc.pointCount] != kMissingWorldPoint) {
        Point3 centre = row[doc.pointCount];
        if (options.extrudeLeft) centre.z += kMiddleExtrusion;
        scene.joints.push_back({centre, kCentreOfGravityColour});
    }
    return scene;
}

}  // namespace kadivo
