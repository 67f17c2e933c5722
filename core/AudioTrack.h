#pragma once

#include <vector>

namespace kadivo {

// The sound of a video file, mixed to one channel.
struct AudioTrack {
    int sampleRate = 0;
    std::vector<float> samples;
    // When the first sample sounds, in seconds after the video's first frame is shown.
    double startSeconds = 0.0;
};

}  // namespace kadivo
