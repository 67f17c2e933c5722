#pragma once

#include "CsmExporter.h"
#include "OpenSimExports.h"
#include "TextExports.h"

#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;
class Prompts;

// A row of an export dialog's list: the entry's label and its "Side ID" text.
struct ExportListRow {
    std::string name;
    std::string side;
    friend bool operator==(const ExportListRow&, const ExportListRow&) = default;
};

// The rows of "Export Linear Data": the model points, then "CG".
std::vector<ExportListRow> LinearExportRows(const CKadivoDoc& doc);
// The rows of "Image Data Export": the model points.
std::vector<ExportListRow> PointsExportRows(const CKadivoDoc& doc);
// The rows of "Export Angular Data": the joints of BuildJointList, labelled with their names
// ("Segment %d" when empty) and the side of their vertex.
std::vector<ExportListRow> AngularExportRows(const CKadivoDoc& doc);
// The "Point Name" cells of "CSM Export Properties".
std::vector<std::string> CsmPointCells(const CKadivoDoc& doc);

// The export dialogs: each edits its option record, which starts from its defaults with
// one unchecked flag per row; true on OK.
class ExportDialogs {
public:
    virtual ~ExportDialogs() = default;
    virtual bool EditLinearExport(LinearExportOptions& options, const std::vector<ExportListRow>& rows) = 0;
    virtual bool EditAngularExport(AngularExportOptions& options, const std::vector<ExportListRow>& rows) = 0;
    virtual bool EditPointsExport(PointsExportOptions& options, const std::vector<ExportListRow>& rows) = 0;
    // `options.mapping` holds the default labels; the cells name the points.
    virtual bool EditCsmExport(CsmExportOptions& options, const std::vector<std::string>& pointCells) = 0;
    // The rows are the model points.
    virtual bool EditTrcExport(TrcExportOptions& options, const std::vector<ExportListRow>& rows) = 0;
};

// What OK in "Export Linear Data" or "Export Angular Data" leads to, given what its
// validation found missing: close with OK, or, after "No Data To Export!" (Yes, No, Cancel),
// close as cancelled on Yes and stay open otherwise.
enum class ExportOkOutcome { Accept, Reject, Stay };
ExportOkOutcome ConfirmExportOk(const std::string& missing, Prompts& prompts);

// The export commands: dialog, file box and file, as each export's order has them.
void ExportLinearData(CKadivoDoc& doc, ExportDialogs& dialogs);
void ExportAngularData(CKadivoDoc& doc, ExportDialogs& dialogs);
void ExportDigitizedPoints(CKadivoDoc& doc, ExportDialogs& dialogs);
void ExportBvhFile(CKadivoDoc& doc);
void ExportCsmFile(CKadivoDoc& doc, ExportDialogs& dialogs);
void ExportC3dFile(CKadivoDoc& doc);
void ExportTrcFile(CKadivoDoc& doc, ExportDialogs& dialogs);
// The joint angles through "Export Angular Data", as a motion file.
void ExportMotFile(CKadivoDoc& doc, ExportDialogs& dialogs);

// The world-data exports need reconstructed world coordinates.
bool CanExportWorldData(const CKadivoDoc& doc);

}  // namespace kadivo
