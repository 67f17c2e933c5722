#include "TrialExports.h"

#include <filesystem>
#include <stdexcept>

namespace kadivo::cli {

namespace {

// Each export a trial can write: its file's ending and the options of `kadivo-cli export`
// that are its defaults.
struct TrialExport {
    const char* name;
    const char* ending;
    std::vector<std::string> options;
};

const std::vector<TrialExport>& TrialExports() {
    static const std::vector<TrialExport> exports = {
        {"c3d", ".c3d", {"--c3d"}},
        {"trc", ".trc", {"--trc"}},
        {"mot", ".mot", {"--mot"}},
        {"bvh", ".bvh", {"--bvh"}},
        {"csm", ".csm", {"--csm"}},
        {"linear", ".linear.txt", {"--linear", "--select", "all", "--kinds", "pos", "--directions", "x,y,z"}},
        {"angular", ".angular.txt", {"--angular", "--select", "all", "--kinds", "angle", "--directions", "3d"}},
        {"points", ".points.txt", {"--points", "--select", "all"}},
    };
    return exports;
}

const TrialExport& FindExport(const std::string& name) {
    for (const TrialExport& e : TrialExports())
        if (name == e.name) return e;
    throw std::invalid_argument("no export is called \"" + name + "\" (c3d, trc, mot, bvh, csm, linear, angular, points)");
}

}  // namespace

std::vector<std::string> SplitExportList(const std::string& text) {
    std::vector<std::string> names;
    std::string name;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ';') {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else if (text[i] != ' ') {
            name.push_back(text[i]);
        }
    }
    return names;
}

void CheckTrialChoices(const std::string& track, const std::vector<std::string>& exports) {
    if (track != "none" && track != "current" && track != "all")
        throw std::invalid_argument("the views to track are none, current or all, not \"" + track + "\"");
    for (const std::string& name : exports) FindExport(name);
}

std::string TrialExportPath(const TrialRequest& request, const std::string& exportName) {
    const std::filesystem::path sequence(request.sequence);
    const std::filesystem::path folder = request.outFolder.empty() ? sequence.parent_path() : std::filesystem::path(request.outFolder);
    return (folder / (sequence.stem().string() + FindExport(exportName).ending)).string();
}

const std::vector<std::string>& TrialExportOptions(const std::string& exportName) { return FindExport(exportName).options; }

}  // namespace kadivo::cli
