#include "BatchManifest.h"

#include "CsvCells.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace kadivo::cli {

namespace {

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

}  // namespace

std::vector<TrialRequest> ReadBatchManifest(const std::string& manifestPath, const std::string& outFolder) {
    std::ifstream in(manifestPath, std::ios::binary);
    std::stringstream contents;
    if (!in || !(contents << in.rdbuf())) throw std::runtime_error(manifestPath + " cannot be read");
    return ParseBatchManifest(contents.str(), manifestPath, outFolder);
}

std::vector<TrialRequest> ParseBatchManifest(const std::string& text, const std::string& manifestPath,
                                             const std::string& outFolder) {
    const std::vector<std::string_view> lines = TextLines(text);
    auto failure = [&](std::size_t line, const std::string& what) {
        return std::runtime_error(manifestPath + " line " + std::to_string(line + 1) + ": " + what);
    };
    if (lines.empty() || Trimmed(lines[0]) != "sequence,track,exports")
        throw failure(0, "a batch manifest starts with the header sequence,track,exports");

    const std::filesystem::path base = std::filesystem::path(manifestPath).parent_path();
    std::vector<TrialRequest> trials;
    std::map<std::string, std::size_t> writers;  // export file → the line that writes it
    std::vector<std::string_view> cells;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        if (Trimmed(lines[n]).empty()) continue;
        SplitCells(lines[n], cells);
        if (cells.size() != 3) throw failure(n, "a trial has three cells, sequence,track,exports");
        TrialRequest trial;
        const std::filesystem::path sequence(Trimmed(cells[0]));
        if (sequence.empty()) throw failure(n, "the sequence is empty");
        trial.sequence = (sequence.is_absolute() ? sequence : base / sequence).lexically_normal().string();
        trial.track = Trimmed(cells[1]);
        trial.exports = SplitExportList(Trimmed(cells[2]));
        trial.outFolder = outFolder;
        try {
            CheckTrialChoices(trial.track, trial.exports);
        } catch (const std::invalid_argument& error) {
            throw failure(n, error.what());
        }
        for (const std::string& name : trial.exports) {
            const std::string path = TrialExportPath(trial, name);
            const auto [earlier, added] = writers.emplace(path, n);
            if (!added)
                throw failure(n, path + " is written by line " + std::to_string(earlier->second + 1) + " too");
        }
        trials.push_back(std::move(trial));
    }
    if (trials.empty()) throw failure(0, "the manifest lists no trial");
    return trials;
}

}  // namespace kadivo::cli
