#include "Reconstruction.h"

#include "CKadivoDoc.h"
#include "MatrixToolkit.h"
#include "ParallelFor.h"
#include "SubFramePositions.h"
#include "ViewPositions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace kadivo {

namespace {

constexpr int kMaxReconstructedFrames = 10000;

bool Missing(const ImagePoint& p) { return p.x == -1; }

// A view's sync fraction as whole frames and the part of a frame beyond them (0 ≤ between < 1).
struct Lag {
    long long whole = 0;
    double between = 0.0;
};

Lag SplitLag(double fraction) {
    const double whole = std::floor(fraction);
    return {static_cast<long long>(whole), fraction - whole};
}

// The positions of frame k + between from the records of frames k−1 .. k+2 (see
// BetweenFrames); false when frame k + 1 has no record.
bool TakeBetweenFrames(const std::unordered_map<int, int>& byFrame, const std::vector<FrameRecord>& records,
                       const ViewPositions& positions, int k, double between, int pointCount, ViewImagePoints& out) {
    const auto record = [&](long long frame) -> const FrameRecord* {
        if (frame < 0 || frame > std::numeric_limits<int>::max()) return nullptr;
        const auto found = byFrame.find(static_cast<int>(frame));
        return found == byFrame.end() ? nullptr : &records[static_cast<std::size_t>(found->second)];
    };
    const FrameRecord* at = record(k);
    const FrameRecord* next = record(static_cast<long long>(k) + 1);
    if (at == nullptr || next == nullptr) return false;
    const FrameRecord* before = record(static_cast<long long>(k) - 1);
    const FrameRecord* after = record(static_cast<long long>(k) + 2);
    for (int p = 0; p < pointCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        const ImagePoint b = before ? positions.Taken(before->imagePos[i]) : ImagePoint{-1, -1};
        const ImagePoint a = after ? positions.Taken(after->imagePos[i]) : ImagePoint{-1, -1};
        out[i] = BetweenFrames(before ? &b : nullptr, positions.Taken(at->imagePos[i]), positions.Taken(next->imagePos[i]),
                               after ? &a : nullptr, between);
    }
    return true;
}

// Whether the view has a record of the frame after `k`, which the positions between k and
// k + 1 are taken towards.
bool HasFollowingRecord(const std::unordered_map<int, int>& byFrame, int k) {
    return k < std::numeric_limits<int>::max() && byFrame.count(k + 1) != 0;
}

}  // namespace

// The unknowns beyond X and Y (and Z) have zero columns in the published systems; their
// zero singular values are dropped by the threshold, so solving without them gives the same
// minimum-norm solution and keeps the solve small.
void Reconstruct2D(const DltParameterTable& table, const ViewImagePoints& image, Point3* world, int pointCount) {
    if (table.empty()) return;
    auto l = [&](int j) { return table.GetParameter(j, 1); };
    for (int i = 0; i < pointCount && i < static_cast<int>(image.size()); ++i) {
        const ImagePoint& p = image[static_cast<std::size_t>(i)];
        if (Missing(p)) {
            world[i] = kMissingWorldPoint;
            continue;
        }
        const double u = p.x, v = p.y;
        StackMatrix<2, 2> a;
        StackMatrix<2, 1> b;
        StackMatrix<2, 1> x;
        a(1, 1) = l(1) - u * l(7);
        a(1, 2) = l(2) - u * l(8);
        a(2, 1) = l(4) - v * l(7);
        a(2, 2) = l(5) - v * l(8);
        b(1, 1) = u - l(3);
        b(2, 1) = v - l(6);
        SolveLeastSquares(a, 2, 2, b, x);
        world[i] = {x(1, 1), x(2, 1), 0.0};
    }
}

void Reconstruct3D(const DltParameterTable& table, const std::vector<const ViewImagePoints*>& images,
                   const std::vector<int>& viewRows, Point3* world, int pointCount) {
    if (table.empty()) return;
    constexpr int kMaxRows = 2 * kMaxCameraViews;
    for (int i = 0; i < pointCount; ++i) {
        StackMatrix<kMaxRows, 3> a;
        StackMatrix<kMaxRows, 1> b;
        StackMatrix<3, 1> x;
        int rows = 0;
        for (std::size_t j = 0; j < images.size() && rows + 2 <= kMaxRows; ++j) {
            const ViewImagePoints& image = *images[j];
            if (i >= static_cast<int>(image.size()) || Missing(image[static_cast<std::size_t>(i)])) continue;
            const double u = image[static_cast<std::size_t>(i)].x, v = image[static_cast<std::size_t>(i)].y;
            auto l = [&](int k) { return table.GetParameter(k, viewRows[j]); };
            ++rows;
            a(rows, 1) = l(1) - u * l(9);
            a(rows, 2) = l(2) - u * l(10);
            a(rows, 3) = l(3) - u * l(11);
            b(rows, 1) = u - l(4);
            ++rows;
            a(rows, 1) = l(5) - v * l(9);
            a(rows, 2) = l(6) - v * l(10);
            a(rows, 3) = l(7) - v * l(11);
            b(rows, 1) = v - l(8);
        }
        if (rows < 4) {
            world[i] = kMissingWorldPoint;
            continue;
        }
        SolveLeastSquares(a, rows, 3, b, x);
        world[i] = {x(1, 1), x(2, 1), x(3, 1)};
    }
}

int WorldFrameCountOf(const CKadivoDoc& doc) {
    int frames = kMaxReconstructedFrames;
    bool anyRecords = false;
    for (const CameraView& view : doc.views) {
        const int records = view.frameStore.recordCount();
        if (records != 0) {
            anyRecords = true;
            frames = std::min(frames, records);
        }
    }
    // Without any digitized frame there is nothing to reconstruct.
    return anyRecords ? frames : 0;
}

void PrepareWorldData(CKadivoDoc& doc) {
    const int frames = WorldFrameCountOf(doc);
    if (frames == doc.worldFrameCount && !doc.worldRaw.empty()) return;
    doc.worldFrameCount = frames;
    doc.worldRaw = frames > 0 ? WorldData(frames + 1, doc.pointCount + 1) : WorldData{};
    doc.worldFiltered = frames > 0 ? WorldData(frames + 1, doc.pointCount + 1) : WorldData{};
}

void VisitFrameImages(const CKadivoDoc& doc, int frames, const FrameImagesVisitor& visit, const std::vector<bool>* wanted) {
    const int views = doc.viewCount();
    // Each view's records by frame number.
    std::vector<std::unordered_map<int, int>> byFrame(static_cast<std::size_t>(views));
    std::vector<int> nextFrame(static_cast<std::size_t>(views));
    std::vector<bool> contributing(static_cast<std::size_t>(views), true);
    std::vector<Lag> lag(static_cast<std::size_t>(views));
    for (int v = 0; v < views; ++v) {
        byFrame[static_cast<std::size_t>(v)] = doc.views[static_cast<std::size_t>(v)].frameStore.RecordIndexByFrame();
        const CameraView& view = doc.views[static_cast<std::size_t>(v)];
        lag[static_cast<std::size_t>(v)] = SplitLag(view.syncFraction);
        // The whole frames of the fraction move the view's first frame, as a sync image does.
        nextFrame[static_cast<std::size_t>(v)] = static_cast<int>(
            std::clamp<long long>(static_cast<long long>(view.syncFrame) + lag[static_cast<std::size_t>(v)].whole,
                                  std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    std::vector<ViewPositions> positions;
    for (int v = 0; v < views; ++v) positions.push_back(PositionsOfView(doc, v));
    std::vector<ViewImagePoints> images(static_cast<std::size_t>(views), ViewImagePoints(static_cast<std::size_t>(doc.pointCount)));
    std::vector<const ViewImagePoints*> seen;
    std::vector<int> rows;
    for (int f = 0; f < frames; ++f) {
        seen.clear();
        rows.clear();
        for (int v = 0; v < views; ++v) {
            const auto sv = static_cast<std::size_t>(v);
            if (!contributing[sv]) continue;
            const auto found = byFrame[sv].find(nextFrame[sv]);
            if (found == byFrame[sv].end()) {
                contributing[sv] = false;  // a view whose lookup failed once stops contributing
                continue;
            }
            const std::vector<FrameRecord>& records = doc.views[sv].frameStore.records();
            const FrameRecord& record = records[static_cast<std::size_t>(found->second)];
            const bool take = !wanted || (*wanted)[static_cast<std::size_t>(f)];
            if (lag[sv].between == 0.0) {
                if (take)
                    for (int p = 0; p < doc.pointCount; ++p)
                        images[sv][static_cast<std::size_t>(p)] = positions[sv].Taken(record.imagePos[static_cast<std::size_t>(p)]);
            } else if (take ? !TakeBetweenFrames(byFrame[sv], records, positions[sv], nextFrame[sv], lag[sv].between,
                                                 doc.pointCount, images[sv])
                            : !HasFollowingRecord(byFrame[sv], nextFrame[sv])) {
                contributing[sv] = false;  // the view's last frame: nothing follows to take positions towards
                continue;
            }
            seen.push_back(&images[sv]);
            rows.push_back(v + 1);
            // The last frame number there is ends the view's frames.
            if (nextFrame[sv] == std::numeric_limits<int>::max()) contributing[sv] = false;
            else ++nextFrame[sv];
        }
        if (!wanted || (*wanted)[static_cast<std::size_t>(f)]) visit(f, seen, rows);
    }
}

namespace {

// Frames whose positions are gathered before they are solved together, on every core.
constexpr std::size_t kFramesPerBatch = 256;

// The positions one world frame is solved from, kept until its batch is solved.
struct FrameToSolve {
    int frame = 0;
    std::vector<ViewImagePoints> images;
    std::vector<int> rows;
};

void SolveFrame(const CKadivoDoc& doc, bool spatial, const FrameToSolve& task, Point3* world) {
    if (task.images.size() == 1 && !spatial) {
        Reconstruct2D(doc.dlt, task.images[0], world, doc.pointCount);
    } else if (task.images.size() == 1) {
        // One view of a spatial calibration cannot place a point in space.
        std::fill(world, world + doc.pointCount, kMissingWorldPoint);
    } else if (task.images.size() >= 2) {
        std::vector<const ViewImagePoints*> seen;
        for (const ViewImagePoints& image : task.images) seen.push_back(&image);
        Reconstruct3D(doc.dlt, seen, task.rows, world, doc.pointCount);
    }
}

}  // namespace

void ReconstructFrames(CKadivoDoc& doc, const std::vector<bool>* wanted, const FrameProgress& frameDone) {
    const bool spatial = doc.dlt.parameterCount == 11;
    std::vector<FrameToSolve> batch;
    auto solve = [&] {
        ParallelFor(static_cast<int>(batch.size()), [&](int i) {
            const FrameToSolve& task = batch[static_cast<std::size_t>(i)];
            SolveFrame(doc, spatial, task, doc.worldRaw[task.frame]);
        });
        if (frameDone)
            for (std::size_t i = 0; i < batch.size(); ++i) frameDone();
        batch.clear();
    };
    VisitFrameImages(
        doc, doc.worldFrameCount,
        [&](int f, const std::vector<const ViewImagePoints*>& seen, const std::vector<int>& rows) {
            FrameToSolve& task = batch.emplace_back();
            task.frame = f;
            for (const ViewImagePoints* image : seen) task.images.push_back(*image);
            task.rows = rows;
            if (batch.size() == kFramesPerBatch) solve();
        },
        wanted);
    solve();
}

void TransformImageData(CKadivoDoc& doc, const FrameProgress& frameDone) {
    PrepareWorldData(doc);
    ReconstructFrames(doc, nullptr, frameDone);
    if (doc.steps.refreshWorldData) doc.steps.refreshWorldData(doc);
}

}  // namespace kadivo
