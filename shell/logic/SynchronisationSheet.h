#pragma once

#include "ViewSynchronisation.h"

#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// A row of the "Synchronisation" dialog: a view, its video, its sync image and its lag.
struct SyncSheetRow {
    std::string video;     // the file's name
    int syncImage = 0;     // the sync image's frame less the first view's
    double offset = 0.0;   // the view's lag behind the first view, in frames
    std::string evidence;  // what the last estimate found, or why it found nothing
};

struct SyncSheet {
    std::vector<SyncSheetRow> rows;
    SyncRegion flashRegion{0, 0, 32, 32};
};

// The sheet of the sequence's views as they stand.
SyncSheet SyncSheetOf(const CKadivoDoc& doc);

// Takes the estimates the videos trusted into the sheet's offsets, the others' reasons into
// their evidence; returns what to tell the user below the table (empty when every view was
// measured). A view without sound is pointed to the flash.
std::string TakeEstimates(SyncSheet& sheet, const std::vector<ViewSyncEstimate>& estimates, bool fromSound);

// The sheet's offsets, view by view, the first view's 0.
std::vector<double> SheetOffsets(const SyncSheet& sheet);

}  // namespace kadivo
