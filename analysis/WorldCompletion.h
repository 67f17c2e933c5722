#pragma once

namespace kadivo {

class CKadivoDoc;
struct SequenceSteps;

// After the reconstruction, or when the filter options change: gap interpolation, the
// centre of gravity, smoothing and the world extent, in this order.
void CompleteWorldData(CKadivoDoc& doc);

// Installs every numerical step of the document: calibration, reconstruction and the
// completion of the world data.
void InstallSequenceSteps(SequenceSteps& steps);

}  // namespace kadivo
