#pragma once

#include <string>
#include <vector>

namespace kadivo::cli {

extern const char* const kCaptureUsage;

// kadivo-cli capture-info [--device N]
int RunCaptureInfoCommand(const std::vector<std::string>& args);
// kadivo-cli capture OUT.avi [--device N] [--rate R] [--seconds S] [--size WxH]
int RunCaptureCommand(const std::vector<std::string>& args);

}  // namespace kadivo::cli
