#pragma once

#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;
class Prompts;

// A region of each view's picture, in pixels from its top-left corner.
struct SyncRegion {
    int x = 0, y = 0, width = 0, height = 0;
};

// What one view's video says of its lag behind the first view's.
struct ViewSyncEstimate {
    // The time of the event in this view minus its time in the first view, in frames.
    double offsetFrames = 0.0;
    bool found = false;    // the event was found in this view and the first
    bool trusted = false;  // and it stands out clearly enough to be used
    std::string evidence;  // how it was found: the correlation peak, the flash's frame
    std::string problem;   // why nothing was found, when nothing was
};

// The first two minutes of sound are compared, and a flash is looked for in the first
// 3000 frames.
inline constexpr double kAudioSecondsCompared = 120.0;
inline constexpr int kFlashFramesSearched = 3000;

// Each view's lag from the sound of its video: the cross-correlation of its loudness with
// the first view's. One estimate a view, the first view's 0.
std::vector<ViewSyncEstimate> EstimateOffsetsFromAudio(const CKadivoDoc& doc);

// Each view's lag from a flash (or a lamp switched on) in `region` of every view's picture,
// with a step of progress for each frame looked at. The videos are opened anew, so the
// views keep the frames they show.
std::vector<ViewSyncEstimate> EstimateOffsetsFromFlash(const CKadivoDoc& doc, const SyncRegion& region, Prompts& prompts);

// The views' offsets as the sequence has them: the sync images' whole frames and the fractions.
std::vector<double> SequenceOffsets(const CKadivoDoc& doc);

// The fractions that make the sequence's offsets `offsets` with every view's sync image kept.
std::vector<double> FractionsFor(const CKadivoDoc& doc, const std::vector<double>& offsets);

}  // namespace kadivo
