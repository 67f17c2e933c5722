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

int RunTrack(const TrackRequest& request, CKadivoDoc& doc) {
    std::vector<int> views;
    if (request.allViews) {
        for (int v = 0; v < doc.viewCount(); ++v) views.push_back(v);
    } else {
        views.push_back(request.view >= 0 ? request.view : doc.currentView);
    }
    for (int view : views) {
        if (view >= doc.viewCount())
            throw std::runtime_error("the sequence has " + std::to_string(doc.viewCount()) + " camera views, not " + std::to_string(view + 1));
        if (!doc.HasVideo(view)) throw std::runtime_error("camera view " + std::to_string(view + 1) + " has no video to track in");
    }
    std::vector<TrackingReport> reports;
    for (int view : views) reports.push_back(TrackView(doc, view));
    SaveSequenceFile(doc, request.out);
    for (const TrackingReport& report : reports) std::printf("%s\n", ReportLine(doc, report).c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace kadivo::cli
