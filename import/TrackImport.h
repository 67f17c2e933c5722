#pragma once

#include "ImportedPositions.h"
#include "TrackSet.h"

#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// The track file formats Kadivo imports.
enum class TrackFormat { DeepLabCutCsv, DeepLabCutH5, DltdvXypts, SleapH5, OpenPoseJson };
// The format named on the command line ("deeplabcut-csv", "deeplabcut-h5", "dltdv-xypts",
// "sleap-h5", "openpose-json"); false for others.
bool ParseTrackFormat(const std::string& name, TrackFormat& format);
// The format a file's first bytes show: HDF5's signature is DeepLabCut's when pandas' key
// "df_with_missing" is among them, else SLEAP's; "scorer," is DeepLabCut's CSV, "{"
// OpenPose's, anything else DLTdv's.
TrackFormat GuessTrackFormat(const std::string& leadingBytes);
// The format of the file at `path` by its first bytes (its first megabyte for HDF5); throws TrackFileError when it cannot
// be read.
TrackFormat GuessTrackFileFormat(const std::string& path);
// Reads a track file's text (of the CSV formats, or one frame's OpenPose JSON). DLTdv's files
// hold every camera: `camera` (1-based) chooses.
TrackSet ReadTrackText(TrackFormat format, const std::string& text, const std::string& fileName, int camera);
// The text of the file at `path`, and the tracks it holds (for OpenPose, of every file of
// its run); both throw TrackFileError when it cannot be read.
std::string ReadTrackFileText(const std::string& path);
TrackSet ReadTrackFile(TrackFormat format, const std::string& path, int camera);

inline constexpr float kDefaultMinimumLikelihood = TrackImportPlan{}.minimumLikelihood;

// Their points paired with the model's by name, case aside.
TrackImportPlan PlanByName(const TrackSet& tracks, const CKadivoDoc& doc);
// "THEIRS=OURS,…" pairs laid over a plan; throws std::invalid_argument for a name that
// neither side has.
void ApplyNameMap(TrackImportPlan& plan, const std::string& map, const TrackSet& tracks, const CKadivoDoc& doc);

// A plan that pairs at least one of their points, and no two with the same model point
// (a file with more points than the model leaves the others out); throws TrackFileError.
void CheckTrackImportPlan(const TrackImportPlan& plan, const TrackSet& tracks, const CKadivoDoc& doc, const std::string& fileName);

// Imports the tracks into view v's movement records as one undoable step: y becomes the
// picture's height minus their y, x stays; a sample under the likelihood, or not found, is a
// missing point. Throws TrackFileError, changing nothing, when the view has no video, the
// file holds more frames than the video or the plan does not hold.
void ImportTracks(CKadivoDoc& doc, int view, const TrackSet& tracks, const TrackImportPlan& plan, const std::string& fileName);

}  // namespace kadivo
