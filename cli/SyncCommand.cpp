#include "SyncCommand.h"

#include "CKadivoDoc.h"
#include "ReportedError.h"
#include "SequenceFile.h"
#include "ViewSynchronisation.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace kadivo::cli {

const char* const kSyncUsage = "       kadivo-cli sync FILE.kdv [--audio|--flash X,Y,W,H] [--write OUT.kdv]\n";

namespace {

SyncRegion ParseRegion(const std::string& text) {
    int values[4] = {};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 4; ++i) {
        const auto [next, error] = std::from_chars(at, end, values[i]);
        const bool last = i == 3;
        if (error != std::errc() || (last ? next != end : next == end || *next != ','))
            throw std::invalid_argument("--flash takes X,Y,W,H: the region in pixels from the picture's top-left corner");
        at = next + (last ? 0 : 1);
    }
    if (values[2] <= 0 || values[3] <= 0) throw std::invalid_argument("--flash takes a region of some width and height");
    return {values[0], values[1], values[2], values[3]};
}

}  // namespace

int RunSyncCommand(const std::vector<std::string>& args, CKadivoDoc& doc) {
    std::string file, write;
    std::optional<SyncRegion> flash;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::invalid_argument(arg + " takes a value");
            return args[++i];
        };
        if (arg == "--audio") flash.reset();
        else if (arg == "--flash") flash = ParseRegion(value());
        else if (arg == "--write") write = value();
        else if (arg.rfind("--", 0) == 0) throw std::invalid_argument("unknown option " + arg);
        else if (file.empty()) file = arg;
        else throw std::invalid_argument("sync takes one file");
    }
    if (file.empty()) throw std::invalid_argument("sync takes a file");
    if (!doc.OnOpenDocument(file)) throw ReportedError();
    const std::vector<ViewSyncEstimate> estimates =
        flash ? EstimateOffsetsFromFlash(doc, *flash, doc.prompts()) : EstimateOffsetsFromAudio(doc);
    std::vector<double> offsets = SequenceOffsets(doc);
    bool allMeasured = true;
    for (std::size_t v = 0; v < estimates.size(); ++v) {
        if (estimates[v].found && estimates[v].trusted) offsets[v] = estimates[v].offsetFrames;
        else allMeasured = false;
    }
    for (std::size_t v = 0; v < offsets.size(); ++v) std::printf("view %zu: offset %.3f frames\n", v + 1, offsets[v]);
    for (std::size_t v = 0; v < estimates.size(); ++v) {
        const ViewSyncEstimate& e = estimates[v];
        if (e.found && e.trusted) {
            std::printf("view %zu: %s\n", v + 1, e.evidence.c_str());
            continue;
        }
        const char* instead = !flash && !e.found ? " (try --flash X,Y,W,H)" : "";
        std::printf("view %zu: %s; the offset is kept%s\n", v + 1, e.problem.c_str(), instead);
    }
    if (!write.empty()) {
        if (!doc.SetSyncFractions(FractionsFor(doc, offsets))) throw std::runtime_error("the offsets cannot be kept in the sequence");
        SaveSequenceFile(doc, write);
    }
    return std::fflush(stdout) == 0 && allMeasured ? 0 : 1;
}

}  // namespace kadivo::cli
