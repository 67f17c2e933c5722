#pragma once

#include <string>
#include <vector>

namespace kadivo::cli {

extern const char* const kVideoUsage;

// kadivo-cli frame VIDEO.avi INDEX[,INDEX...] OUT.bmp [--type ...] [--first-field 0|1] [--stream K]
int RunFrameCommand(const std::vector<std::string>& args);
// kadivo-cli video-info VIDEO.avi [--stream K]
int RunVideoInfoCommand(const std::vector<std::string>& args);

}  // namespace kadivo::cli
