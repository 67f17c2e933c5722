#pragma once

#include <string>
#include <vector>

namespace kadivo {

// How a sequence names its videos: the link it stores for each, and the places a stored link
// is looked for when the sequence opens.

// The file box of "Open Video", "Add Camera View" and of a video to locate: the containers
// Kadivo reads.
inline constexpr const char* kVideoFileFilter =
    "Video Files (*.avi *.mp4 *.mov *.mkv *.webm)|*.avi;*.mp4;*.mov;*.mkv;*.webm|All Files (*.*)|*.*||";

// What a file box starts at for a file of the sequence at `sequencePath`: `name` (a file or a
// pattern such as "*.avi") in the sequence's folder; `name` alone for a sequence not saved yet.
std::string BesideSequence(const std::string& sequencePath, const std::string& name);

// The last part of a stored name; names stored by other systems separate folders with
// backslashes.
std::string VideoBareName(const std::string& stored);

// The link to store for the video at `videoPath` in the sequence saved at `sequencePath`: the
// bare name for a video beside the sequence (the two can move together), a path relative to
// the sequence's folder for a video below it or in a folder beside it, else the absolute
// path. A relative `videoPath`, or an unsaved sequence, keeps the name as it is.
std::string VideoLinkFor(const std::string& videoPath, const std::string& sequencePath);

// The paths a stored link may mean, likeliest first: relative to the sequence's folder, as
// stored (absolute, or relative to the working folder), the bare name beside the sequence and
// in the working folder.
std::vector<std::string> VideoCandidates(const std::string& stored, const std::string& sequencePath);

// The absolute path of the first candidate that is a file, or empty.
std::string FindVideo(const std::string& stored, const std::string& sequencePath);

// Where an unfound link pointed: its path made absolute against the sequence's folder, so
// that a later save elsewhere still writes a link to the same place.
std::string UnfoundVideoPath(const std::string& stored, const std::string& sequencePath);

}  // namespace kadivo
