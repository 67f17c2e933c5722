#pragma once

namespace kadivo {

class CKadivoDoc;

inline constexpr const char* kLensFileFilter = "Lens File (*.lens)|*.lens|All Files (*.*)|*.*||";

// Camera Views → "Open Lens File...": the current view's lens from a file that kadivo-cli lens
// or "Save Lens File..." wrote; a damaged file or one of another picture size is reported and
// changes nothing.
void OpenLensFileFromBox(CKadivoDoc& doc);

// Camera Views → "Save Lens File...": the current view's lens as a lens file, for kadivo-cli
// calibrate --lens and other sequences of the same camera.
void SaveLensFileFromBox(CKadivoDoc& doc);

}  // namespace kadivo
