#include "IncrementalTransform.h"

#include "CKadivoDoc.h"
#include "CentreOfGravity.h"
#include "GapInterpolation.h"
#include "Reconstruction.h"
#include "SequenceSteps.h"
#include "WorldSmoothing.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace kadivo {

namespace {

bool SameBits(const Point3& a, const Point3& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameBits(const WorldData& a, const WorldData& b) {
    return a.frames() == b.frames() && a.entriesPerFrame() == b.entriesPerFrame() &&
           (a.values().empty() || std::memcmp(a.values().data(), b.values().data(), a.values().size() * sizeof(Point3)) == 0);
}

// A calibration frame edited since the last calibration is calibrated again, as "Transform
// Image Data" would, without asking anything. True when there is a calibration to use.
bool CalibrationReady(CKadivoDoc& doc) {
    bool dirty = !doc.dltValid;
    for (const CameraView& view : doc.views) dirty = dirty || view.frameStore.calibrationDirty;
    if (dirty) {
        if (doc.importedDlt) {
            doc.dlt = *doc.importedDlt;
            doc.dltValid = true;
        } else if (!doc.calibrationPoints.empty() && doc.steps.calibrateViews) {
            doc.steps.calibrateViews(doc);
        }
        if (doc.dltValid)
            for (CameraView& view : doc.views) view.frameStore.calibrationDirty = false;
    }
    return doc.dltValid && !doc.dlt.empty();
}

// The world data grown to `frames` frames, the frames they had kept (a frame more is kept,
// as the transformation sizes them).
void Grow(CKadivoDoc& doc, int frames) {
    for (WorldData* world : {&doc.worldRaw, &doc.worldFiltered}) {
        WorldData grown(frames + 1, doc.pointCount + 1);
        std::copy(world->values().begin(), world->values().begin() + static_cast<std::ptrdiff_t>(doc.worldFrameCount) * (doc.pointCount + 1),
                  grown.values().begin());
        *world = std::move(grown);
    }
    doc.worldFrameCount = frames;
}

}  // namespace

bool IncrementalTransform::Settings::operator==(const Settings& other) const {
    return dlt.viewCount == other.dlt.viewCount && dlt.parameterCount == other.dlt.parameterCount &&
           dlt.values == other.dlt.values && pointCount == other.pointCount && currentView == other.currentView &&
           framePeriod == other.framePeriod && options == other.options && model == other.model;
}

IncrementalTransform::Settings IncrementalTransform::SettingsOf(const CKadivoDoc& doc) {
    return {doc.dlt, doc.pointCount, doc.currentView, doc.framePeriod, doc.options, doc.modelPoints};
}

bool IncrementalTransform::FramesToRedo(const CKadivoDoc& doc, int frames, std::vector<bool>& wanted) {
    if (static_cast<int>(views_.size()) != doc.viewCount() || frames < frames_) return false;
    wanted.assign(static_cast<std::size_t>(frames), false);
    for (int f = frames_; f < frames; ++f) wanted[static_cast<std::size_t>(f)] = true;
    const auto points = static_cast<std::size_t>(doc.pointCount);
    for (int v = 0; v < doc.viewCount(); ++v) {
        const CameraView& view = doc.views[static_cast<std::size_t>(v)];
        ViewInputs& was = views_[static_cast<std::size_t>(v)];
        if (view.syncFrame != was.syncFrame || view.syncFraction != was.syncFraction || view.lens != was.lens) return false;
        const std::vector<FrameRecord>& records = view.frameStore.records();
        if (records.size() < was.frames.size()) return false;
        // World frame f takes the view's frame base + f, and with a fraction of a frame also
        // the frames either side of it.
        const double base = view.syncFrame + std::floor(view.syncFraction);
        const bool between = view.syncFraction != std::floor(view.syncFraction);
        auto mark = [&](int frame, bool toTheEnd) {
            const double f = frame - base;
            const double first = std::max(0.0, between ? f - 2.0 : f);
            const double last = std::min(static_cast<double>(frames) - 1.0, toTheEnd ? frames - 1.0 : (between ? f + 1.0 : f));
            for (double g = first; g <= last; ++g) wanted[static_cast<std::size_t>(g)] = true;
        };
        const std::size_t known = was.frames.size();
        for (std::size_t r = 0; r < records.size(); ++r) {
            const FrameRecord& record = records[r];
            if (r >= known) {
                // A record that was not there may let the view see frames it stopped at before.
                mark(record.frame, true);
                was.frames.push_back(record.frame);
                for (std::size_t p = 0; p < points; ++p) was.positions.push_back(record.imagePos[p]);
                continue;
            }
            if (record.frame != was.frames[r]) return false;
            // Most records are as they were, to the bit: those are passed over whole.
            Point2f* remembered = was.positions.data() + r * points;
            const std::span<const Point2f> written = record.imagePos.Written();
            if (written.size() >= points && std::memcmp(written.data(), remembered, points * sizeof(Point2f)) == 0) continue;
            bool moved = false;
            for (std::size_t p = 0; p < points; ++p)
                if (!(record.imagePos[p] == remembered[p])) {
                    remembered[p] = record.imagePos[p];
                    moved = true;
                }
            if (moved) mark(record.frame, false);
        }
    }
    return true;
}

void IncrementalTransform::RememberWorldData(const CKadivoDoc& doc, Settings settings) {
    settings_ = std::move(settings);
    frames_ = doc.worldFrameCount;
    raw_ = doc.worldRaw;
    filtered_ = doc.worldFiltered;
}

void IncrementalTransform::Remember(const CKadivoDoc& doc, Settings settings) {
    views_.clear();
    const auto points = static_cast<std::size_t>(doc.pointCount);
    for (const CameraView& view : doc.views) {
        ViewInputs& inputs = views_.emplace_back();
        inputs.syncFrame = view.syncFrame;
        inputs.syncFraction = view.syncFraction;
        inputs.lens = view.lens;
        inputs.positions.reserve(view.frameStore.records().size() * points);
        for (const FrameRecord& record : view.frameStore.records()) {
            inputs.frames.push_back(record.frame);
            for (std::size_t p = 0; p < points; ++p) inputs.positions.push_back(record.imagePos[p]);
        }
    }
    RememberWorldData(doc, std::move(settings));
}

bool IncrementalTransform::Update(CKadivoDoc& doc) {
    if (!CalibrationReady(doc)) return false;
    Settings settings = SettingsOf(doc);
    const int frames = WorldFrameCountOf(doc);
    std::vector<bool> wanted;
    const bool onlyPositions = settings_ && *settings_ == settings && frames_ == doc.worldFrameCount && frames > 0 &&
                               FramesToRedo(doc, frames, wanted);
    if (onlyPositions && std::find(wanted.begin(), wanted.end(), true) == wanted.end()) return false;
    // Redoing part of the world data needs the rest to be what this left.
    if (!onlyPositions || !SameBits(doc.worldRaw, raw_) || !SameBits(doc.worldFiltered, filtered_)) {
        TransformImageData(doc);
        Remember(doc, std::move(settings));
        return true;
    }
    // Until the world data are whole again, nothing here stands for them.
    settings_.reset();
    const int before = frames_;
    if (frames > before) Grow(doc, frames);
    ReconstructFrames(doc, &wanted);
    InterpolateGaps(doc);
    ComputeCentreOfGravity(doc);
    // Frames the world data did not have count as unsolved before. A pass in the order the
    // data lie in memory.
    std::vector<bool> differs(static_cast<std::size_t>(doc.pointCount) + 1, false);
    for (int f = 0; f < frames; ++f)
        for (int e = 0; e <= doc.pointCount; ++e)
            if (!SameBits(doc.worldRaw[f][e], f < before ? raw_[f][e] : kMissingWorldPoint)) differs[static_cast<std::size_t>(e)] = true;
    std::vector<int> changed;
    for (int e = 0; e <= doc.pointCount; ++e)
        if (differs[static_cast<std::size_t>(e)]) changed.push_back(e);
    for (int f = before; f < frames; ++f)
        for (int e = 0; e <= doc.pointCount; ++e) doc.worldFiltered[f][e] = doc.worldRaw[f][e];
    SmoothWorldEntries(doc, changed);
    ComputeWorldExtent(doc);
    RememberWorldData(doc, std::move(settings));
    return true;
}

void InstallWorldDataUpdate(SequenceSteps& steps) {
    auto transform = std::make_shared<IncrementalTransform>();
    steps.updateWorldData = [transform](CKadivoDoc& doc) { return transform->Update(doc); };
}

}  // namespace kadivo
