#include "TrackCommand.h"

#include "Arguments.h"
#include "BatchTracking.h"
#include "CKadivoDoc.h"
#include "SequenceFile.h"

#include <cstdio>
#include <stdexcept>

namespace kadivo::cli {

const char* const kTrackUsage = "       kadivo-cli track IN.kdv OUT.kdv [--view V] [--all-views]\n";

TrackRequest ParseTrackRequest(const std::vector<std::string>& args) {
    if (args.size() < 2) throw std::invalid_argument("track takes an input and an output file");
    TrackRequest request{args[0], args[1]};
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--all-views") {
            request.allViews = true;
        } else if (args[i] == "--view") {
            const int number = ParseIndex(OptionValue(args, i));
            if (number < 1) throw std::invalid_argument("--view takes a view number from 1");
            request.view = number - 1;
        } else {
            throw std::invalid_argument("unknown option " + args[i]);
        }
    }
    if (request.allViews && request.view >= 0) throw std::invalid_argument("--view and --all-views exclude each other");
    return request;
}

std::vector<std::string> TrackViews(CKadivoDoc& doc, int view, bool allViews) {
    std::vector<int> views;
    if (allViews) {
        for (int v = 0; v < doc.viewCount(); ++v) views.push_back(v);
    } else {
        views.push_back(view >= 0 ? view : doc.currentView);
    }
    for (int v : views) {
        if (v >= doc.viewCount())
            throw std::runtime_error("the sequence has " + std::to_string(doc.viewCount()) + " camera views, not " + std::to_string(v + 1));
        if (!doc.HasVideo(v)) throw std::runtime_error("camera view " + std::to_string(v + 1) + " has no video to track in");
    }
    std::vector<TrackingReport> reports;
    for (int v : views) reports.push_back(TrackView(doc, v));
    std::vector<std::string> lines;
    for (const TrackingReport& report : reports) lines.push_back(ReportLine(doc, report));
    return lines;
}

int RunTrack(const TrackRequest& request, CKadivoDoc& doc) {
    const std::vector<std::string> lines = TrackViews(doc, request.view, request.allViews);
    SaveSequenceFile(doc, request.out);
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace kadivo::cli
