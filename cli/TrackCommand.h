#pragma once

#include <string>
#include <vector>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

extern const char* const kTrackUsage;

// kadivo-cli track IN.kdv OUT.kdv [--view V] [--all-views]
struct TrackRequest {
    std::string in, out;
    int view = -1;  // 0-based; −1 for the sequence's current view
    bool allViews = false;
};

TrackRequest ParseTrackRequest(const std::vector<std::string>& args);

// Tracks `view` (0-based; −1 for the current one) or every view from their first frame that
// is not complete; one report line per view.
std::vector<std::string> TrackViews(CKadivoDoc& doc, int view, bool allViews);

// Tracks the requested views of the opened sequence (the current one by default) from their
// first frame that is not complete, writes the output file and prints a line per view.
int RunTrack(const TrackRequest& request, CKadivoDoc& doc);

}  // namespace kadivo::cli
