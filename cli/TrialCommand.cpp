#include "TrialCommand.h"

#include "Arguments.h"
#include "CKadivoDoc.h"
#include "ExportCommand.h"
#include "ReportedError.h"
#include "TrackCommand.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace kadivo::cli {

const char* const kTrialUsage =
    "       kadivo-cli trial SEQUENCE.kdv [--track none|current|all] [--exports c3d;trc;...] [--out DIR]\n";

TrialRequest ParseTrialRequest(const std::vector<std::string>& args) {
    TrialRequest request;
    const std::vector<std::string> files = SplitArguments(args, [&](const std::string& option, const std::string& value) {
        if (option == "--track") request.track = value;
        else if (option == "--exports") request.exports = SplitExportList(value);
        else if (option == "--out") request.outFolder = value;
        else throw std::invalid_argument("unknown option " + option);
    });
    if (files.size() != 1) throw std::invalid_argument("trial takes one sequence file");
    request.sequence = files[0];
    CheckTrialChoices(request.track, request.exports);
    return request;
}

const char* TransformObstacle(const CKadivoDoc& doc) {
    if (doc.importedDlt) return nullptr;
    if (doc.calibrationPoints.empty()) return "the sequence has no calibration profile";
    if (!doc.CanTransformImageData()) return "the views' calibration frames are not complete";
    return nullptr;
}

int RunTrial(const TrialRequest& request, CKadivoDoc& doc) {
    if (!doc.OnOpenDocument(request.sequence)) throw ReportedError();
    std::string done;
    if (request.track != "none")
        for (const std::string& line : TrackViews(doc, -1, request.track == "all")) done += line + "; ";

    bool needsWorld = false;
    for (const std::string& name : request.exports) needsWorld |= name != "points";
    if (needsWorld) {
        // A sequence that cannot be transformed may still carry world data from an earlier
        // transformation, which the exports then use.
        const char* obstacle = TransformObstacle(doc);
        if (!obstacle) {
            doc.OnTransformImageData();
            if (!doc.dltValid) throw std::runtime_error("the views could not be calibrated");
            done += "transformed; ";
        } else if (doc.worldRaw.empty()) {
            throw std::runtime_error(obstacle);
        }
        if (doc.worldRaw.empty()) throw std::runtime_error("no point is digitized where world data can be computed");
    }

    if (!request.outFolder.empty()) std::filesystem::create_directories(request.outFolder);
    std::string written;
    for (const std::string& name : request.exports) {
        const std::string path = TrialExportPath(request, name);
        std::vector<std::string> options = TrialExportOptions(name);
        options.insert(options.begin() + 1, path);
        options.push_back("--force");
        try {
            RunExport(doc, options);
        } catch (const std::invalid_argument& error) {
            // A default that this sequence cannot fill (no joints, say) is the trial's failure.
            throw std::runtime_error(name + ": " + error.what());
        }
        written += (written.empty() ? "wrote " : ", ") + std::filesystem::path(path).filename().string();
    }
    if (written.empty()) written = "nothing to write";
    std::printf("%s%s\n", done.c_str(), written.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace kadivo::cli
