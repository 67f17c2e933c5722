#pragma once

#include "TrialExports.h"

#include <string>
#include <vector>

namespace kadivo::cli {

// The trials a batch manifest lists: a CSV file with the header "sequence,track,exports",
// one trial per line (the sequence's path relative to the manifest, none/current/all, and
// `;`-separated export names). Every trial writes under `outFolder` when it is given.
// Throws std::runtime_error naming the manifest and the line for anything it cannot use,
// before any trial has run.
std::vector<TrialRequest> ReadBatchManifest(const std::string& manifestPath, const std::string& outFolder);

// The same for a manifest's text; `manifestPath` names it in errors and is where relative
// sequences start from.
std::vector<TrialRequest> ParseBatchManifest(const std::string& text, const std::string& manifestPath,
                                             const std::string& outFolder);

}  // namespace kadivo::cli
