#include "SynchronisationSheet.h"

#include "CKadivoDoc.h"

#include <filesystem>

namespace kadivo {

SyncSheet SyncSheetOf(const CKadivoDoc& doc) {
    SyncSheet sheet;
    const std::vector<double> offsets = SequenceOffsets(doc);
    for (std::size_t v = 0; v < doc.views.size(); ++v) {
        const CameraView& view = doc.views[v];
        const std::string& file = view.frameStore.videoFileName;
        sheet.rows.push_back({file.empty() ? std::string("(no video)") : std::filesystem::path(file).filename().string(),
                              view.syncFrame - doc.views.front().syncFrame, offsets[v], ""});
    }
    return sheet;
}

std::string TakeEstimates(SyncSheet& sheet, const std::vector<ViewSyncEstimate>& estimates, bool fromSound) {
    std::string note;
    bool soundless = false;
    for (std::size_t v = 0; v < sheet.rows.size() && v < estimates.size(); ++v) {
        const ViewSyncEstimate& e = estimates[v];
        SyncSheetRow& row = sheet.rows[v];
        if (e.found && e.trusted) {
            row.offset = v == 0 ? 0.0 : e.offsetFrames;
            row.evidence = e.evidence;
            continue;
        }
        row.evidence = e.problem + "; the offset is kept";
        if (!note.empty()) note += "\n";
        note += "View " + std::to_string(v + 1) + ": " + e.problem + ".";
        soundless |= fromSound && !e.found;
    }
    if (soundless)
        note += "\nWhere the sound cannot tell, draw a region where every camera sees a flash (or a lamp switched on) "
                "and choose From Flash.";
    return note;
}

std::vector<double> SheetOffsets(const SyncSheet& sheet) {
    std::vector<double> offsets;
    for (const SyncSheetRow& row : sheet.rows) offsets.push_back(offsets.empty() ? 0.0 : row.offset);
    return offsets;
}

}  // namespace kadivo
