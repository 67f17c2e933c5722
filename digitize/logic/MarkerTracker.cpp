#include "MarkerTracker.h"

#include "CKadivoDoc.h"
#include "FrameArithmetic.h"
#include "VideoSource.h"

#include <algorithm>
#include <cmath>

namespace kadivo {
namespace {

// The view's source with its current frame in the buffer, enhanced as the window shows it.
VideoSource* TrackedSource(CKadivoDoc& doc, int view) {
    if (view < 0 || view >= doc.viewCount()) return nullptr;
    CameraView& camera = doc.views[static_cast<std::size_t>(view)];
    auto* source = dynamic_cast<VideoSource*>(camera.videoSource.get());
    if (!source || !source->IsOpen()) return nullptr;
    if (source->FetchFrame(camera.currentFrame, false)) source->PrepareDisplayImage();
    return source->HasFrame() && source->CachedFrame() == camera.currentFrame ? source : nullptr;
}

GreyFrame GreyFrameOf(VideoSource& source) { return {source.Pixels(), source.Format().palette}; }

// The template just taken becomes the one later matches are refined against.
void KeepAsAnchor(MarkerTemplate& marker) {
    marker.anchorLuminance = marker.luminance;
    marker.anchorOffsetX = marker.offsetX;
    marker.anchorOffsetY = marker.offsetY;
}

// A position that is not a usable number counts as none.
bool HasPosition(Point2f p) { return !(UsableOrMissing(p) == kNoPosition); }

}  // namespace

SearchSettings TrackingSettingsOf(const CKadivoDoc& doc, const VideoSource& source) {
    const TrackingSettings marker = source.Tracking();
    SearchSettings settings;
    settings.method = TemplateMethodOf(source.TemplateMethod());
    settings.searchSize = std::clamp(doc.options.searchWidth, SearchSettings::kMinSearchSize, SearchSettings::kMaxSearchSize);
    settings.templateSize = std::clamp(doc.options.templateWidth, SearchSettings::kMinTemplateSize, SearchSettings::kMaxTemplateSize);
    settings.brightMarker = marker.brightMarker;
    settings.useVelocity = marker.useVelocity;
    settings.markerSize = std::clamp(marker.markerSize, 0, SearchSettings::kMaxSearchSize);
    // Positions computed as stored are worth finding to a fraction of a pixel.
    settings.subPixel = doc.options.exactPositions != 0;
    return settings;
}

void CaptureNextTemplate(CKadivoDoc& doc, int view, Point2f at, bool byHand) {
    VideoSource* source = TrackedSource(doc, view);
    if (!source) return;
    const CameraView& camera = doc.views[static_cast<std::size_t>(view)];
    const int point = camera.frameStore.NextIndex(doc.digitizeMode);
    if (point < 0 || point >= kModelTableSize) return;
    MarkerTemplate& marker = source->TemplateOf(point);
    CaptureTemplate(GreyFrameOf(*source), at, TrackingSettingsOf(doc, *source).templateSize, camera.currentFrame, marker);
    if (byHand) KeepAsAnchor(marker);
}

Point2f SnappedClick(CKadivoDoc& doc, int view, Point2f at) {
    if (doc.options.snapToMarkerCentre == 0 || !HasPosition(at)) return at;
    VideoSource* source = TrackedSource(doc, view);
    if (!source) return at;
    const SearchSettings settings = TrackingSettingsOf(doc, *source);
    const int half = std::max(settings.markerSize, 1);
    const Point2f inRows = MarkerCentroid(GreyFrameOf(*source), {at.x, at.y - kClickRowOffset}, half, settings.brightMarker);
    const Point2f centre{inRows.x, inRows.y + kClickRowOffset};
    if (std::hypot(centre.x - at.x, centre.y - at.y) > static_cast<float>(half)) return at;
    return centre;
}

void CaptureTemplatesFromPreviousFrame(CKadivoDoc& doc, int view) {
    if (view < 0 || view >= doc.viewCount()) return;
    CameraView& camera = doc.views[static_cast<std::size_t>(view)];
    const std::optional<int> previousFrame = OffsetFrame(camera.currentFrame, -static_cast<long long>(doc.options.frameStep));
    if (!previousFrame) return;
    const FrameRecord* previous = camera.frameStore.LastRecordOf(*previousFrame);
    auto* source = dynamic_cast<VideoSource*>(camera.videoSource.get());
    if (!previous || !source || !source->IsOpen()) return;
    if (source->FetchFrame(*previousFrame, false)) source->PrepareDisplayImage();
    if (source->CachedFrame() != previousFrame) return;
    const int templateSize = TrackingSettingsOf(doc, *source).templateSize;
    for (int point = 0; point < previous->digitizedCount && point < kModelTableSize; ++point) {
        const Point2f at = previous->imagePos[static_cast<std::size_t>(point)];
        if (!HasPosition(at)) continue;
        // Tracking starts from these points, so they anchor its refinement.
        MarkerTemplate& marker = source->TemplateOf(point);
        CaptureTemplate(GreyFrameOf(*source), at, templateSize, *previousFrame, marker);
        KeepAsAnchor(marker);
    }
    if (source->FetchFrame(camera.currentFrame, false)) source->PrepareDisplayImage();
}

std::optional<LocatedPoint> LocateNextPoint(CKadivoDoc& doc, int view, SearchImages* images) {
    const int method = doc.options.locateMethod;
    if (method != kLocateByPreviousPosition && method != kLocateByComputerVision) return std::nullopt;
    if (view < 0 || view >= doc.viewCount()) return std::nullopt;
    const CameraView& camera = doc.views[static_cast<std::size_t>(view)];
    const ViewFrameStore& store = camera.frameStore;
    const int mode = doc.digitizeMode;
    if (store.IsComplete(mode)) return std::nullopt;
    const int point = store.NextIndex(mode);
    if (point < 0 || point >= kModelTableSize) return std::nullopt;
    VideoSource* source = TrackedSource(doc, view);
    if (!source) return std::nullopt;
    const MarkerTemplate& marker = source->TemplateOf(point);
    const auto index = static_cast<std::size_t>(point);

    // The point was placed in this frame before (and erased): the cursor goes back there.
    if (marker.frame == camera.currentFrame) {
        const FrameRecord* current = store.ActiveRecord(mode);
        if (!current || !HasPosition(current->imagePos[index])) return std::nullopt;
        return LocatedPoint{current->imagePos[index]};
    }
    if (mode != kMovement) return std::nullopt;
    const std::optional<int> previousFrame = OffsetFrame(camera.currentFrame, -static_cast<long long>(doc.options.frameStep));
    if (!previousFrame) return std::nullopt;
    const FrameRecord* previous = store.LastRecordOf(*previousFrame);
    if (marker.frame != *previousFrame || !previous || point >= previous->digitizedCount) return std::nullopt;
    const Point2f p = previous->imagePos[index];
    if (!HasPosition(p)) return std::nullopt;
    if (method == kLocateByPreviousPosition) return LocatedPoint{p};

    const SearchSettings settings = TrackingSettingsOf(doc, *source);
    if (marker.size != settings.templateSize) return std::nullopt;
    const int half = settings.searchSize / 2;
    const PositionPrediction q = store.PredictPosition(camera.currentFrame, mode);
    const SearchOffset predicted{static_cast<int>(static_cast<float>(half) - p.x + static_cast<float>(q.x)),
                                 static_cast<int>(static_cast<float>(half) - p.y + static_cast<float>(q.y))};
    const Point2f m = SearchMarker(GreyFrameOf(*source), marker, p, predicted, settings, images);
    const float threshold = static_cast<float>(doc.options.thresholdMovement);
    if (std::abs(std::trunc(m.x - static_cast<float>(half))) > threshold || std::abs(std::trunc(m.y - static_cast<float>(half))) > threshold)
        return LocatedPoint{p, true};
    if (settings.subPixel) {
        // The match is where the template's centre pixel went; the point lay its offset from
        // there. A bright marker's centroid is found in the frame's rows.
        const SearchOffset origin = SearchWindowOrigin(p, settings.searchSize);
        const float dx = settings.brightMarker ? 0.0f : marker.offsetX, dy = settings.brightMarker ? kClickRowOffset : marker.offsetY;
        return LocatedPoint{{static_cast<float>(origin.x) + m.x + dx, static_cast<float>(origin.y) + m.y + dy}};
    }
    // The cursor lands on a whole window pixel.
    const float zoom = source->Zoom() > 0.0f ? source->Zoom() : 1.0f;
    return LocatedPoint{{std::floor((p.x - static_cast<float>(half) + m.x) * zoom) / zoom,
                         std::floor((p.y - static_cast<float>(half) + m.y) * zoom) / zoom}};
}

}  // namespace kadivo
