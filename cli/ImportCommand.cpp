#include "ImportCommand.h"

#include "Arguments.h"
#include "CKadivoDoc.h"
#include "ReportedError.h"
#include "SequenceFile.h"
#include "TrackImport.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace kadivo::cli {

int RunImportCommand(const std::vector<std::string>& args, CKadivoDoc& doc) {
    std::vector<std::string> files;
    int view = -1, camera = 1;
    std::string formatName, map;
    float likelihood = kDefaultMinimumLikelihood;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        auto value = [&]() -> const std::string& { return OptionValue(args, i); };
        if (option == "--view") view = ParseIndex(value()) - 1;
        else if (option == "--camera") camera = ParseIndex(value());
        else if (option == "--format") formatName = value();
        else if (option == "--map") map = value();
        else if (option == "--likelihood") {
            const std::string& text = value();
            char* end = nullptr;
            likelihood = std::strtof(text.c_str(), &end);
            if (end == text.c_str() || *end != '\0' || !std::isfinite(likelihood))
                throw std::invalid_argument("--likelihood takes a number: " + text);
        } else if (option.rfind("--", 0) == 0) throw std::invalid_argument("unknown option " + option);
        else files.push_back(option);
    }
    if (files.size() != 3) throw std::invalid_argument("import takes a sequence, a track file and an output file");
    if (view < 0) throw std::invalid_argument("import needs --view V, counting from 1");
    if (camera < 1) throw std::invalid_argument("--camera counts from 1");
    TrackFormat format;
    if (!ParseTrackFormat(formatName, format)) throw std::invalid_argument("--format is deeplabcut-csv, dltdv-xypts, sleap-h5 or openpose-json");
    if (!doc.OnOpenDocument(files[0])) throw ReportedError();
    const TrackSet tracks = ReadTrackFile(format, files[1], camera);
    TrackImportPlan plan = PlanByName(tracks, doc);
    plan.minimumLikelihood = likelihood;
    ApplyNameMap(plan, map, tracks, doc);
    int mapped = 0;
    for (int point : plan.modelPointOf) mapped += point >= 0 ? 1 : 0;
    if (mapped == 0) throw std::runtime_error("no point of " + files[1] + " has a model point's name; pair them with --map");
    ImportTracks(doc, view, tracks, plan, files[1]);
    SaveSequenceFile(doc, files[2]);
    std::string leftOut;
    for (std::size_t p = 0; p < tracks.names.size(); ++p)
        if (plan.modelPointOf[p] < 0) leftOut += (leftOut.empty() ? "; left out: " : ", ") + tracks.names[p];
    std::printf("%zu frames of %d points imported into camera view %d%s\n", tracks.frames.size(), mapped, view + 1, leftOut.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace kadivo::cli
