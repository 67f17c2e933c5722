#pragma once

#include <string>
#include <vector>

namespace kadivo::cli {

extern const char* const kLensUsage;

// kadivo-cli lens VIDEO --board COLSxROWS --square SIZE [--stream K] [--out FILE]: the lens
// of the camera that filmed a checkerboard, with its errors; --out writes it as a lens file.
int RunLensCommand(const std::vector<std::string>& args);

}  // namespace kadivo::cli
