#pragma once

#include "CheckerboardCalibration.h"
#include "Prompts.h"
#include "VideoSource.h"

#include <limits>
#include <string>

namespace kadivo {

// A video's frames as grey pictures for the checkerboard search.
class VideoBoardFrames {
public:
    // Opens `path` at video stream `stream`; LensCalibrationError when it does not open.
    VideoBoardFrames(Prompts& messages, const std::string& path, int stream = 0);

    int FrameCount() const { return source_.LastFrame() < std::numeric_limits<int>::max() ? source_.LastFrame() + 1 : source_.LastFrame(); }
    FrameSize Size() const;
    bool Fetch(int frame, GreyPicture& picture);

private:
    VideoSource source_;
};

// The lens of the camera that filmed a checkerboard in `video`.
std::optional<LensCalibration> CalibrateLensFromVideo(Prompts& messages, const std::string& video, int stream,
                                                      const CheckerboardSpec& board, const LensCalibrationProgress& progress = {});

}  // namespace kadivo
