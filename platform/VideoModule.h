#pragma once

#include <thread>

namespace kadivo {

// Video files are read and written by a module loaded on first use: the decoder libraries
// it pulls in take longer to load than the rest of the program. A program that will surely
// need them loads them in the background from the start, while it builds its windows.
class VideoModulePreload {
public:
    VideoModulePreload();
    ~VideoModulePreload();
    VideoModulePreload(const VideoModulePreload&) = delete;
    VideoModulePreload& operator=(const VideoModulePreload&) = delete;

private:
    std::thread loader_;
};

}  // namespace kadivo
