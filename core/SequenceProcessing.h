#pragma once

namespace kadivo {

class CKadivoDoc;

// The numerical steps the document starts but does not implement itself: calibration,
// reconstruction and the conditioning of the world data. The photogrammetry and signal
// libraries provide them.
class SequenceProcessing {
public:
    virtual ~SequenceProcessing() = default;
    // Calibrates every view and reconstructs the world data ("Transform Image Data").
    virtual void CalibrateAndTransform(CKadivoDoc& doc) = 0;
    // The planar calibration of a single calibrated view, run after a sequence is opened.
    virtual void CalibrateSingleView(CKadivoDoc& doc) = 0;
    // Interpolation, smoothing and the derived data after their options changed.
    virtual void RefreshWorldData(CKadivoDoc& doc) = 0;
};

}  // namespace kadivo
