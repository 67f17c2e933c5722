#include "CsvCells.h"
#include "DeepLabCutNames.h"
#include "TrackSet.h"

#include <cmath>

namespace kadivo {

namespace {

[[noreturn]] void Fail(const std::string& fileName, std::size_t line, const std::string& what) {
    throw TrackFileError(fileName + ", line " + std::to_string(line) + ": " + what);
}

}  // namespace

TrackSet ReadDeepLabCutCsv(const std::string& text, const std::string& fileName) {
    const std::vector<std::string_view> lines = TextLines(text);
    std::vector<std::string_view> cells;
    auto header = [&](std::size_t line, std::string_view key) {
        if (line >= lines.size()) Fail(fileName, line + 1, "the header ends early; this is no DeepLabCut CSV file");
        SplitCells(lines[line], cells);
        if (cells[0] != key)
            Fail(fileName, line + 1, "expected a row \"" + std::string(key) + "\"; this is no DeepLabCut CSV file");
        return cells;
    };
    std::vector<std::string_view> scorer = header(0, "scorer");
    const std::size_t columns = scorer.size();
    if (columns < 4 || (columns - 1) % 3 != 0) Fail(fileName, 1, "the columns do not come in x, y, likelihood triples");
    // Several animals add a row of individuals; their names go before the body parts'.
    std::vector<std::string_view> individuals;
    std::size_t row = 1;
    if (row < lines.size() && lines[row].substr(0, 12) == "individuals,") individuals = header(row++, "individuals");
    const std::vector<std::string_view> parts = header(row, "bodyparts");
    const std::vector<std::string_view> coords = header(row + 1, "coords");
    if (parts.size() != columns || coords.size() != columns || (!individuals.empty() && individuals.size() != columns))
        Fail(fileName, row + 1, "the header rows have different numbers of cells");
    TrackSet tracks;
    tracks.hasLikelihood = true;
    for (std::size_t c = 1; c < columns; c += 3) {
        if (coords[c] != "x" || coords[c + 1] != "y" || coords[c + 2] != "likelihood")
            Fail(fileName, row + 2, "expected the coordinates x, y, likelihood for every body part");
        tracks.names.push_back(DeepLabCutPointName(individuals.empty() ? std::string_view() : individuals[c], parts[c]));
    }
    const std::size_t points = tracks.names.size();
    for (std::size_t l = row + 2; l < lines.size(); ++l) {
        if (lines[l].empty()) continue;
        SplitCells(lines[l], cells);
        if (cells.size() != columns)
            Fail(fileName, l + 1, std::to_string(cells.size()) + " cells where the header has " + std::to_string(columns));
        float index = 0.0f;
        if (!CellNumber(cells[0], index) || std::isnan(index) || index != static_cast<float>(tracks.frames.size()))
            Fail(fileName, l + 1, "the frame index is not " + std::to_string(tracks.frames.size()));
        std::vector<TrackSample>& frame = tracks.frames.emplace_back(points);
        for (std::size_t p = 0; p < points; ++p) {
            TrackSample& sample = frame[p];
            if (!CellNumber(cells[1 + 3 * p], sample.x) || !CellNumber(cells[2 + 3 * p], sample.y) ||
                !CellNumber(cells[3 + 3 * p], sample.likelihood))
                Fail(fileName, l + 1, "body part \"" + tracks.names[p] + "\" has a value that is not a number");
            if (std::isnan(sample.likelihood)) sample.x = sample.y = sample.likelihood;
        }
    }
    return tracks;
}

}  // namespace kadivo
