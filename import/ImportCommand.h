#pragma once

namespace kadivo {

class CKadivoDoc;

// "Import 2D Points...": a track file (DeepLabCut's or DLTdv's CSV, SLEAP's HDF5, OpenPose's JSON)
// chosen in the file box (starting beside the sequence)
// goes into the current camera view, its points paired with the model's in the import
// dialog. A file that cannot be read or does not fit the view is reported by name and line,
// and the sequence stays as it was. DLTdv's files give the camera of the view's number.
void ImportTrackFileFromBox(CKadivoDoc& doc);

// The file box's filter.
inline constexpr const char* kTrackFileFilter =
    "Track Files (*.csv *.h5 *.json)|*.csv;*.h5;*.json|All Files (*.*)|*.*||";

}  // namespace kadivo
