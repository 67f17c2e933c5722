#include "CsvCells.h"
#include "TrackSet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kadivo {

namespace {

[[noreturn]] void Fail(const std::string& fileName, std::size_t line, const std::string& what) {
    throw TrackFileError(fileName + ", line " + std::to_string(line) + ": " + what);
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

TrackSet ReadDltdvXypts(const std::string& text, const std::string& fileName, int camera) {
    const std::vector<std::string_view> lines = TextLines(text);
    if (lines.empty()) Fail(fileName, 1, "the file is empty");
    std::vector<std::string_view> cells;
    SplitCells(lines[0], cells);
    const std::size_t columns = cells.size();
    if (columns % 2 != 0) Fail(fileName, 1, "the columns do not come in X, Y pairs; this is no DLTdv xypts file");
    const std::string cameraTag = "_cam" + std::to_string(camera) + "_";
    TrackSet tracks;
    std::vector<std::size_t> xColumns;
    int cameras = 0;
    for (std::size_t c = 0; c < columns; c += 2) {
        const std::string_view x = cells[c], y = cells[c + 1];
        const std::size_t tag = x.rfind("_cam");
        if (tag == std::string_view::npos || !EndsWith(x, "_X") || !EndsWith(y, "_Y") || x.substr(0, x.size() - 1) != y.substr(0, y.size() - 1))
            Fail(fileName, 1, "expected the columns <point>_cam<n>_X, <point>_cam<n>_Y; this is no DLTdv xypts file");
        cameras = std::max(cameras, std::atoi(std::string(x.substr(tag + 4)).c_str()));
        if (x.substr(tag, cameraTag.size()) != cameraTag) continue;
        tracks.names.emplace_back(x.substr(0, tag));
        xColumns.push_back(c);
    }
    if (xColumns.empty())
        Fail(fileName, 1, "there is no camera " + std::to_string(camera) + " (the file has " + std::to_string(cameras) + ")");
    for (std::size_t l = 1; l < lines.size(); ++l) {
        if (lines[l].empty()) continue;
        SplitCells(lines[l], cells);
        if (cells.size() != columns)
            Fail(fileName, l + 1, std::to_string(cells.size()) + " cells where the header has " + std::to_string(columns));
        std::vector<TrackSample>& frame = tracks.frames.emplace_back(xColumns.size());
        for (std::size_t p = 0; p < xColumns.size(); ++p) {
            TrackSample& sample = frame[p];
            if (!CellNumber(cells[xColumns[p]], sample.x) || !CellNumber(cells[xColumns[p] + 1], sample.y))
                Fail(fileName, l + 1, "point \"" + tracks.names[p] + "\" has a value that is not a number");
            sample.likelihood = std::isnan(sample.x) || std::isnan(sample.y) ? std::nanf("") : 1.0f;
        }
    }
    return tracks;
}

}  // namespace kadivo
