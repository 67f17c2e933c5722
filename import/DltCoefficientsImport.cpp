#include "DltCoefficientsImport.h"

#include "CKadivoDoc.h"
#include "CsvCells.h"
#include "ExportPath.h"
#include "FileIo.h"
#include "VideoLinks.h"

#include <cmath>
#include <cstdlib>

namespace kadivo {

namespace {

[[noreturn]] void Fail(const std::string& fileName, std::size_t line, const std::string& what) {
    throw DltCoefficientsError(fileName + (line ? ", line " + std::to_string(line) : std::string()) + ": " + what);
}

// The numbers of a line, between commas, tabs or spaces.
std::vector<double> Numbers(std::string_view line, const std::string& fileName, std::size_t number) {
    std::vector<double> values;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ',' || line[at] == ' ' || line[at] == '\t')) ++at;
        if (at == line.size()) break;
        std::size_t end = at;
        while (end < line.size() && line[end] != ',' && line[end] != ' ' && line[end] != '\t') ++end;
        const std::string cell(line.substr(at, end - at));
        char* stop = nullptr;
        const double value = std::strtod(cell.c_str(), &stop);
        if (*stop != '\0' || !std::isfinite(value))
            Fail(fileName, number, "\"" + cell + "\" is not a number");
        values.push_back(value);
        at = end;
    }
    return values;
}

}  // namespace

DltParameterTable ReadDltCoefficients(const std::string& text, const std::string& fileName, int viewCount) {
    std::vector<std::vector<double>> rows;
    const std::vector<std::string_view> lines = TextLines(text);
    for (std::size_t l = 0; l < lines.size(); ++l) {
        std::vector<double> row = Numbers(lines[l], fileName, l + 1);
        if (row.empty()) continue;
        if (static_cast<int>(row.size()) != viewCount)
            Fail(fileName, l + 1, std::to_string(row.size()) + (row.size() == 1 ? " camera" : " cameras") + " where the sequence has " +
                                      std::to_string(viewCount) + (viewCount == 1 ? " camera view" : " camera views"));
        if (rows.size() == DltParameterTable::kColumns) Fail(fileName, l + 1, "more than 11 coefficients");
        rows.push_back(std::move(row));
    }
    const int wanted = viewCount == 1 ? 8 : 11;
    if (static_cast<int>(rows.size()) != wanted)
        Fail(fileName, 0,
             std::to_string(rows.size()) + (rows.size() == 1 ? " coefficient" : " coefficients") + " a camera where " +
                 (viewCount == 1 ? std::string("one camera view needs the 8 of a planar calibration")
                                 : std::string("several camera views need the 11 of a spatial calibration")));
    DltParameterTable table;
    table.viewCount = viewCount;
    table.parameterCount = wanted;
    table.values.assign(static_cast<std::size_t>(viewCount) * DltParameterTable::kColumns, 0.0);
    for (int j = 0; j < wanted; ++j)
        for (int v = 0; v < viewCount; ++v)
            table.values[static_cast<std::size_t>(v) * DltParameterTable::kColumns + static_cast<std::size_t>(j)] =
                rows[static_cast<std::size_t>(j)][static_cast<std::size_t>(v)];
    table.residuals.assign(static_cast<std::size_t>(viewCount), 0.0);
    table.imported = true;
    return table;
}

DltParameterTable ReadDltCoefficientsFile(const std::string& path, int viewCount) {
    std::string text;
    try {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
        text.assign(bytes.begin(), bytes.end());
    } catch (const std::exception& error) {
        Fail(path, 0, error.what());
    }
    return ReadDltCoefficients(text, path, viewCount);
}

void ImportDltCoefficientsFromBox(CKadivoDoc& doc) {
    Prompts& prompts = doc.prompts();
    const std::optional<std::string> path =
        prompts.ChooseOpenFile(BesideSequence(doc.pathName(), "*.csv"), "csv", kDltCoefficientsFilter);
    if (!path) return;
    try {
        doc.SetImportedDlt(ReadDltCoefficientsFile(*path, doc.viewCount()));
    } catch (const DltCoefficientsError& error) {
        prompts.ShowMessage(std::string("The DLT coefficients could not be imported.\n") + error.what());
    }
}

}  // namespace kadivo
