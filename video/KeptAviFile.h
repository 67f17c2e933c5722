#pragma once

#include "AviFile.h"
#include "KeptFrameFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kadivo {

using AviFileOpener = std::function<std::unique_ptr<AviFile>(const std::string& path)>;

// Opens the video at `path` for a view that shows its frames, keeping in `folder` the first
// frame its decoder gives (the one a view shows when it opens the video) with what the file
// said about itself on the way.
//
// When `folder` holds such a frame of this very file, the file answers at once from it: its
// streams, their formats and that frame. The real file opens behind it, on a thread of its
// own, because the decoders' libraries take longer to load than the windows take to draw;
// anything else waits for it. Null when the file cannot be opened.
std::unique_ptr<AviFile> OpenAviFileKeepingFrames(const std::string& path, const std::string& folder,
                                                  const AviFileOpener& opener = OpenAviFile);

// While one exists, kept videos open their real files behind them only when a frame that
// was not kept is asked for. Loading the decoders' libraries holds a lock that starting a
// thread or loading any other library waits for, so a program that shows its windows first
// holds the openings back until its windows have drawn.
class VideoOpeningsHeldBack {
public:
    VideoOpeningsHeldBack();
    ~VideoOpeningsHeldBack() { Release(); }
    VideoOpeningsHeldBack(const VideoOpeningsHeldBack&) = delete;
    VideoOpeningsHeldBack& operator=(const VideoOpeningsHeldBack&) = delete;
    // The videos waiting open now, and later ones at once.
    void Release();

private:
    bool held_ = true;
};

// The file that holds, inside `folder`, the frame kept of the video at the absolute `path`.
std::string KeptFramePath(const std::string& folder, const std::string& path);

// Removes the oldest kept frames in `folder`, but never `spared`, until they take no more
// than `budget` bytes.
void TrimKeptFrames(const std::string& folder, const std::string& spared, std::uintmax_t budget);

// The identity of the file at the absolute `path`; nothing when it cannot be examined.
std::optional<VideoFileIdentity> IdentifyVideoFile(const std::string& path);

}  // namespace kadivo
