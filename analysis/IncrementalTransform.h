#pragma once

#include "DltParameterTable.h"
#include "Geometry.h"
#include "LensModel.h"
#include "ModelPoint.h"
#include "SequenceOptions.h"
#include "WorldData.h"

#include <optional>
#include <vector>

namespace kadivo {

class CKadivoDoc;
struct SequenceSteps;

// Keeps a document's world data the transformation of its image data while they are
// edited, redoing only what an edit changed: the world frames whose positions changed are
// reconstructed again, gaps filled and the centre of gravity found again, and only the
// coordinates whose raw series changed are smoothed again. A calibration frame that changed
// is calibrated again first; anything else that changed (the calibration, sync images,
// lenses, the options the transformation reads, the model, the views) and world data that
// someone else wrote since make the whole transformation run. Either way the world data are
// what "Transform Image Data" gives, to the bit.
class IncrementalTransform {
public:
    // Brings the world data up to date with the image data. False when nothing changed, and
    // when the sequence has no calibration to transform with.
    bool Update(CKadivoDoc& doc);

private:
    // One view's inputs: where its frames start and the positions of its records.
    struct ViewInputs {
        int syncFrame = 0;
        double syncFraction = 0.0;
        std::optional<LensModel> lens;
        std::vector<int> frames;         // each movement record's frame number
        std::vector<Point2f> positions;  // pointCount a record
        friend bool operator==(const ViewInputs&, const ViewInputs&) = default;
    };
    // What else the transformation reads.
    struct Settings {
        DltParameterTable dlt;
        int pointCount = 0;
        int currentView = 0;
        float framePeriod = 0.0f;
        SequenceOptions options;
        ModelTable model;
        bool operator==(const Settings& other) const;
    };

    static Settings SettingsOf(const CKadivoDoc& doc);
    // Whether the recorded inputs differ from the document's only in the records' positions
    // and in records added at the end; `wanted` then marks the world frames to reconstruct,
    // and the positions recorded become the document's.
    bool FramesToRedo(const CKadivoDoc& doc, int frames, std::vector<bool>& wanted);
    // The document's inputs and world data as those the world data were made from.
    void Remember(const CKadivoDoc& doc, Settings settings);
    void RememberWorldData(const CKadivoDoc& doc, Settings settings);

    std::optional<Settings> settings_;
    std::vector<ViewInputs> views_;
    int frames_ = 0;
    WorldData raw_, filtered_;
};

// Installs the update the document runs after each edit of its image data.
void InstallWorldDataUpdate(SequenceSteps& steps);

}  // namespace kadivo
