#pragma once

#include "ExportDialogs.h"

#include <functional>

namespace kadivo::test {

// Export dialogs answered by the test: each edits the record it is given, or is cancelled
// while its editor is unset. The rows each was shown are kept.
struct FakeExportDialogs : ExportDialogs {
    std::function<void(LinearExportOptions&)> linear;
    std::function<void(AngularExportOptions&)> angular;
    std::function<void(PointsExportOptions&)> points;
    std::function<void(CsmExportOptions&)> csm;
    std::function<void(TrcExportOptions&)> trc;
    std::vector<ExportListRow> shownRows;
    std::vector<std::string> shownCells;
    std::vector<std::string> shownMapping;
    int shown = 0;

    template <typename Options>
    bool Run(const std::function<void(Options&)>& edit, Options& options) {
        ++shown;
        if (!edit) return false;
        edit(options);
        return true;
    }
    bool EditLinearExport(LinearExportOptions& o, const std::vector<ExportListRow>& rows) override {
        shownRows = rows;
        return Run(linear, o);
    }
    bool EditAngularExport(AngularExportOptions& o, const std::vector<ExportListRow>& rows) override {
        shownRows = rows;
        return Run(angular, o);
    }
    bool EditPointsExport(PointsExportOptions& o, const std::vector<ExportListRow>& rows) override {
        shownRows = rows;
        return Run(points, o);
    }
    bool EditCsmExport(CsmExportOptions& o, const std::vector<std::string>& cells) override {
        shownCells = cells;
        shownMapping = o.mapping;
        return Run(csm, o);
    }
    bool EditTrcExport(TrcExportOptions& o, const std::vector<ExportListRow>& rows) override {
        shownRows = rows;
        return Run(trc, o);
    }
};

}  // namespace kadivo::test
