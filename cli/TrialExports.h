#pragma once

#include <string>
#include <vector>

namespace kadivo::cli {

// What a trial of a batch asks for: which views to track and which exports to write, by the
// names `kadivo-cli export` takes (c3d, trc, mot, bvh, csm, linear, angular, points).
struct TrialRequest {
    std::string sequence;
    std::string track = "none";  // none, current or all
    std::vector<std::string> exports;
    std::string outFolder;  // empty: beside the sequence
};

// The options of `kadivo-cli export` that make an export with its defaults, the file's
// name following the format's option.
const std::vector<std::string>& TrialExportOptions(const std::string& exportName);

// Throws std::invalid_argument for a track choice or an export name that does not exist.
void CheckTrialChoices(const std::string& track, const std::vector<std::string>& exports);

// The file an export of the trial is written to: DIR/NAME.c3d, DIR/NAME.linear.txt, ...
std::string TrialExportPath(const TrialRequest& request, const std::string& exportName);

// The `;`-separated export names of a manifest or of --exports; an empty text names none.
std::vector<std::string> SplitExportList(const std::string& text);

}  // namespace kadivo::cli
