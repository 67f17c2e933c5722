#pragma once

#include "CDltCalibration.h"
#include "SequenceSteps.h"

#include <functional>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// Image positions of the model points in one view, as reconstruction takes them (see
// ViewPositions::Taken); x = −1 is missing.
using ViewImagePoints = std::vector<ImagePoint>;

// World (X, Y, 0) of every point from one view through the planar parameters of view 1.
// A missing point gets the missing marker. Nothing without a parameter table.
void Reconstruct2D(const DltParameterTable& table, const ViewImagePoints& image, Point3* world, int pointCount);

// World (X, Y, Z) of every point by least squares over the views that see it, each view
// with its own parameters (`viewRows` are the 1-based parameter rows of `images`); a point
// seen in fewer than two views gets the missing marker. Nothing without a parameter table.
void Reconstruct3D(const DltParameterTable& table, const std::vector<const ViewImagePoints*>& images,
                   const std::vector<int>& viewRows, Point3* world, int pointCount);

// The number of world frames the views' records make: as many as the shortest view that has
// records (at most 10000).
int WorldFrameCountOf(const CKadivoDoc& doc);

// Sizes the world data for the current views: as many frames as the shortest view that has
// records (at most 10000), reusing the arrays when that does not change.
void PrepareWorldData(CKadivoDoc& doc);

// Reconstructs every sequence frame from the views' records (frame f of a view is its
// sync frame + f), then completes the world data with the document's refresh step.
// `frameDone` is called after each frame.
void TransformImageData(CKadivoDoc& doc, const FrameProgress& frameDone = {});

// The positions every view gives world frames 0 .. frames − 1 as the reconstruction takes
// them (the sync images and fractions applied, the lenses corrected): for each frame in
// order, one set of positions per view that sees it and that view's 1-based number.
using FrameImagesVisitor =
    std::function<void(int frame, const std::vector<const ViewImagePoints*>& images, const std::vector<int>& views)>;
// With `wanted`, only the frames it marks are visited (the walk over the others costs only
// the lookups that decide which views see the frames after them).
void VisitFrameImages(const CKadivoDoc& doc, int frames, const FrameImagesVisitor& visit,
                      const std::vector<bool>* wanted = nullptr);

// The world frames `wanted` marks (every frame without it) reconstructed again from the
// views' records, in world data already sized; nothing else is redone.
void ReconstructFrames(CKadivoDoc& doc, const std::vector<bool>* wanted, const FrameProgress& frameDone = {});

}  // namespace kadivo
