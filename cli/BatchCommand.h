#pragma once

#include <string>
#include <vector>

namespace kadivo::cli {

extern const char* const kBatchUsage;

// kadivo-cli batch MANIFEST.csv [--jobs N] [--out DIR]: each trial of the manifest runs as
// `kadivo-cli trial` in a process of its own, up to N at a time. One report line per trial
// as it ends, a progress line on a terminal, a summary; 1 when any trial failed.
int RunBatchCommand(const std::vector<std::string>& args);

}  // namespace kadivo::cli
