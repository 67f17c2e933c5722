#include "CKadivoDoc.h"

#include <algorithm>

namespace kadivo {

void CKadivoDoc::ImportPositions(int v, const std::vector<ImportedFrame>& frames) {
    if (v < 0 || v >= viewCount() || frames.empty()) return;
    const EditScope edit(*this, "Import 2D Points");
    ViewFrameStore& store = views[static_cast<std::size_t>(v)].frameStore;
    std::unordered_map<int, int> index = store.RecordIndexByFrame();
    store.ReserveRecords(store.recordCount() + static_cast<int>(frames.size()));
    for (const ImportedFrame& imported : frames) {
        FrameRecord* record = nullptr;
        if (const auto found = index.find(imported.frame); found != index.end()) {
            record = store.TouchRecord(found->second);
        } else {
            record = &store.NewRecord(imported.frame);
            index.emplace(imported.frame, store.recordCount() - 1);
        }
        // Points before the last one imported that hold nothing yet stay missing.
        for (const auto& [point, position] : imported.points) {
            if (point < 0 || point >= pointCount) continue;
            record->imagePos[static_cast<std::size_t>(point)] = position;
            record->digitizedCount = std::max(record->digitizedCount, point + 1);
        }
    }
    modified_ = true;
    CameraView& view = views[static_cast<std::size_t>(v)];
    store.SetCurrentFrame(view.currentFrame, digitizeMode);
    Announce(Change::Points | Change::Redraw, v);
}

}  // namespace kadivo
