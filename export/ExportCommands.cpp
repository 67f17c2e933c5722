#include "ExportDialogs.h"

#include "BvhExporter.h"
#include "C3dExporter.h"
#include "CKadivoDoc.h"
#include "ExportPath.h"
#include "Kinematics.h"

#include <filesystem>

namespace kadivo {

namespace {

std::string RowSide(int side) {
    if (side == kSideRight) return "Right";
    if (side == kSideLeft) return "Left";
    return "None";
}

ExportListRow PointRow(const CKadivoDoc& doc, int p) {
    const ModelPoint& point = doc.modelPoints[static_cast<std::size_t>(p)];
    return {point.name.empty() ? "Point " + std::to_string(p + 1) : point.name, RowSide(point.side)};
}

}  // namespace

std::vector<ExportListRow> PointsExportRows(const CKadivoDoc& doc) {
    std::vector<ExportListRow> rows;
    for (int p = 0; p < doc.pointCount; ++p) rows.push_back(PointRow(doc, p));
    return rows;
}

std::vector<ExportListRow> LinearExportRows(const CKadivoDoc& doc) {
    std::vector<ExportListRow> rows = PointsExportRows(doc);
    rows.push_back(PointRow(doc, doc.pointCount));  // the centre of gravity, "CG"
    return rows;
}

std::vector<ExportListRow> AngularExportRows(const CKadivoDoc& doc) {
    std::vector<ExportListRow> rows;
    const std::vector<ExportJoint> joints = BuildJointList(doc);
    for (std::size_t j = 0; j < joints.size(); ++j)
        rows.push_back({joints[j].name.empty() ? "Segment " + std::to_string(j + 1) : joints[j].name,
                        RowSide(doc.modelPoints[static_cast<std::size_t>(joints[j].vertex)].side)});
    return rows;
}

std::vector<std::string> CsmPointCells(const CKadivoDoc& doc) {
    std::vector<std::string> cells;
    for (int p = 0; p < doc.pointCount; ++p) cells.push_back(CsmPointCell(doc, p));
    return cells;
}

ExportOkOutcome ConfirmExportOk(const std::string& missing, Prompts& prompts) {
    if (missing.empty()) return ExportOkOutcome::Accept;
    const Answer answer = prompts.Ask(missing, Buttons::YesNoCancel, {kNoDataCaption, true, 1});
    return answer == Answer::Yes ? ExportOkOutcome::Reject : ExportOkOutcome::Stay;
}

bool CanExportWorldData(const CKadivoDoc& doc) { return !doc.worldRaw.empty(); }

namespace {

// The two world-data text exports: the dialog, the file box, and the file unless the world
// table chosen holds no frames.
template <typename Options, typename Edit, typename Write>
void ExportWorldText(CKadivoDoc& doc, const std::vector<ExportListRow>& rows, Edit edit, Write text) {
    if (!CheckFramePeriod(doc)) return;
    Options options;
    options.rows.assign(rows.size(), false);
    if (!edit(options, rows)) return;
    const std::optional<std::string> path = ChooseExportPath(doc, "txt", kTextFilter);
    if (!path) return;
    const WorldData& table = options.smoothed ? doc.worldFiltered : doc.worldRaw;
    if (table.empty() || doc.worldFrameCount == 0) return;
    WriteExportFile(doc, *path, text(doc, options, LocalTimeNow()), kDataFileFailure);
}

}  // namespace

void ExportLinearData(CKadivoDoc& doc, ExportDialogs& dialogs) {
    ExportWorldText<LinearExportOptions>(
        doc, LinearExportRows(doc),
        [&](LinearExportOptions& o, const std::vector<ExportListRow>& rows) { return dialogs.EditLinearExport(o, rows); },
        LinearExportText);
}

void ExportAngularData(CKadivoDoc& doc, ExportDialogs& dialogs) {
    ExportWorldText<AngularExportOptions>(
        doc, AngularExportRows(doc),
        [&](AngularExportOptions& o, const std::vector<ExportListRow>& rows) { return dialogs.EditAngularExport(o, rows); },
        AngularExportText);
}

void ExportDigitizedPoints(CKadivoDoc& doc, ExportDialogs& dialogs) {
    const std::optional<std::string> path = ChooseExportPath(doc, "txt", kTextFilter);
    if (!path) return;
    const std::vector<ExportListRow> rows = PointsExportRows(doc);
    PointsExportOptions options;
    options.rows.assign(rows.size(), false);
    if (!dialogs.EditPointsExport(options, rows)) return;
    WriteExportFile(doc, *path, PointsExportText(doc, options, LocalTimeNow()), kDataFileFailure);
}

void ExportBvhFile(CKadivoDoc& doc) { BvhExporter(doc).Export(); }

void ExportCsmFile(CKadivoDoc& doc, ExportDialogs& dialogs) {
    if (!CheckFramePeriod(doc)) return;
    const std::optional<std::string> path = ChooseExportPath(doc, "csm", kCsmFilter);
    if (!path) return;
    CsmExportOptions options;
    options.mapping = DefaultCsmMapping(doc);
    if (!dialogs.EditCsmExport(options, CsmPointCells(doc))) return;
    CsmExporter(doc).Write(options, *path);
}

void ExportC3dFile(CKadivoDoc& doc) {
    if (!CheckFramePeriod(doc)) return;
    const std::optional<std::string> path = ChooseExportPath(doc, "c3d", kC3dFilter);
    if (path) C3dExporter(doc).Write(*path);
}

void ExportTrcFile(CKadivoDoc& doc, ExportDialogs& dialogs) {
    if (!CheckFramePeriod(doc)) return;
    TrcExportOptions options;
    options.rows.assign(static_cast<std::size_t>(doc.pointCount), true);
    if (!dialogs.EditTrcExport(options, PointsExportRows(doc))) return;
    const std::optional<std::string> path = ChooseExportPath(doc, "trc", kTrcFilter);
    if (!path) return;
    WriteExportFile(doc, *path, TrcExportText(doc, options, std::filesystem::path(*path).filename().string()), kDataFileFailure);
}

void ExportMotFile(CKadivoDoc& doc, ExportDialogs& dialogs) {
    if (!CheckFramePeriod(doc)) return;
    AngularExportOptions options;
    options.rows.assign(AngularExportRows(doc).size(), false);
    if (!dialogs.EditAngularExport(options, AngularExportRows(doc))) return;
    const std::optional<std::string> path = ChooseExportPath(doc, "mot", kMotFilter);
    if (!path) return;
    WriteExportFile(doc, *path, MotExportText(doc, options, std::filesystem::path(*path).stem().string()), kDataFileFailure);
}

}  // namespace kadivo
