#pragma once

#include "CKadivoDoc.h"

namespace kadivo::bench {

// Makes `doc` one view of `points` model points with `records` digitized frames, every
// point placed.
inline void FillOneView(CKadivoDoc& doc, int points, int records) {
    doc.DeleteContents();
    doc.pointCount = points;
    doc.AddViewSlot(0);
    ViewFrameStore& store = doc.views[0].frameStore;
    store.ReserveRecords(records);
    for (int f = 0; f < records; ++f) {
        FrameRecord& record = store.NewRecord(f);
        record.digitizedCount = points;
        for (int p = 0; p < points; ++p)
            record.imagePos[static_cast<std::size_t>(p)] = {static_cast<float>(f % 700 + p), static_cast<float>(p)};
    }
}

}  // namespace kadivo::bench
