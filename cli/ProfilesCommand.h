#pragma once

#include <string>
#include <vector>

namespace kadivo::cli {

extern const char* const kProfilesUsage;

// kadivo-cli profiles: both profile databases of the data directory as JSON.
int RunProfilesCommand(const std::vector<std::string>& args);

}  // namespace kadivo::cli
