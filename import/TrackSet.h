#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kadivo {

// A tracked point of a frame as another program wrote it: picture coordinates with y growing
// downwards, and the tracker's confidence (1 when the file gives none). A point the tracker
// did not find has NaN coordinates.
struct TrackSample {
    float x, y, likelihood;
};

// The 2D tracks of one camera read from another program's file: the names of its points and,
// frame by frame from frame 0, a sample of each.
struct TrackSet {
    std::vector<std::string> names;
    std::vector<std::vector<TrackSample>> frames;
    bool hasLikelihood = false;  // the file gives the tracker's confidence
};

// A track file that cannot be read: the message names the file and the line or dataset.
class TrackFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// DeepLabCut's CSV: the rows "scorer", "bodyparts" (after "individuals" for several
// animals) and "coords", then one row a frame of the frame index and x, y, likelihood of
// every body part; empty or "nan" cells for parts not found.
TrackSet ReadDeepLabCutCsv(const std::string& text, const std::string& fileName);

// DLTdv's xypts CSV: a header of "<point>_cam<c>_X,<point>_cam<c>_Y" pairs, then one row a
// frame with NaN for points not digitized. Only camera `camera` (1-based) is read.
TrackSet ReadDltdvXypts(const std::string& text, const std::string& fileName, int camera);

// OpenPose's JSON files, one a frame in frame order: the first person of "people" gives the
// "pose_keypoints_2d" triples of x, y and confidence (0, 0, 0 for a point not detected),
// named after the BODY_25, COCO or MPI model by their count. A frame without people has
// every point missing. `fileNames` name the texts in messages.
TrackSet ReadOpenPoseJson(const std::vector<std::string>& texts, const std::vector<std::string>& fileNames);

// The files of the OpenPose run that `path` belongs to: the files beside it named
// <run>_<frame number>_keypoints.json, in frame order, with an empty name for a frame
// whose file is not there; `path` alone when its name does not follow that pattern.
std::vector<std::string> OpenPoseRunFiles(const std::string& path);

}  // namespace kadivo
