#include "DltCommands.h"

#include "CKadivoDoc.h"
#include "DltCoefficientsExport.h"
#include "DltCoefficientsImport.h"
#include "ReportedError.h"
#include "SequenceFile.h"
#include "TextExports.h"

#include <filesystem>
#include <stdexcept>

namespace kadivo::cli {

int RunDltExport(const std::vector<std::string>& args, CKadivoDoc& doc) {
    const bool force = args.size() == 3 && args[2] == "--force";
    if (args.size() != 2 && !force) throw std::invalid_argument("dlt-export takes a sequence, an output file and --force");
    if (!doc.OnOpenDocument(args[0])) throw ReportedError();
    if (!force && std::filesystem::exists(args[1])) throw std::runtime_error(args[1] + " exists; --force replaces it");
    if (!doc.importedDlt && !doc.calibrationPoints.empty()) doc.steps.calibrateViews(doc);
    if (!doc.dltValid) throw std::runtime_error("the camera views are not calibrated: their calibration frames are not complete");
    if (!WriteExportFile(doc, args[1], DltCoefficientsText(doc.dlt), kDataFileFailure)) throw ReportedError();
    return 0;
}

int RunDltImport(const std::vector<std::string>& args, CKadivoDoc& doc) {
    if (args.size() != 3) throw std::invalid_argument("dlt-import takes a sequence, a coefficients file and an output file");
    if (!doc.OnOpenDocument(args[0])) throw ReportedError();
    doc.SetImportedDlt(ReadDltCoefficientsFile(args[1], doc.viewCount()));
    SaveSequenceFile(doc, args[2]);
    return 0;
}

}  // namespace kadivo::cli
