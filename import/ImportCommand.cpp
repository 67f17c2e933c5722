#include "ImportCommand.h"

#include "CKadivoDoc.h"
#include "TrackImport.h"
#include "VideoLinks.h"

namespace kadivo {

void ImportTrackFileFromBox(CKadivoDoc& doc) {
    Prompts& prompts = doc.prompts();
    const std::optional<std::string> path = prompts.ChooseOpenFile(BesideSequence(doc.pathName(), "*.csv"), "csv", kTrackFileFilter);
    if (!path) return;
    try {
        const TrackFormat format = GuessTrackFileFormat(*path);
        const TrackSet tracks = ReadTrackFile(format, *path, doc.currentView + 1);
        TrackImportPlan plan = PlanByName(tracks, doc);
        std::vector<std::string> model;
        for (int p = 0; p < doc.pointCount; ++p) model.push_back(doc.modelPoints[static_cast<std::size_t>(p)].name);
        if (!prompts.EditTrackImport(plan, tracks.names, model, tracks.hasLikelihood)) return;
        ImportTracks(doc, doc.currentView, tracks, plan, *path);
    } catch (const TrackFileError& error) {
        prompts.ShowMessage(std::string("The 2D points could not be imported.\n") + error.what());
    }
}

}  // namespace kadivo
