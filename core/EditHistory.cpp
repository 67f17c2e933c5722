#include "EditHistory.h"

#include "CKadivoDoc.h"

#include <algorithm>

namespace kadivo {

EditHistory::Step EditHistory::Capture(const std::string& name) const {
    Step step;
    step.name = name;
    for (const CameraView& view : doc_.views) {
        step.views.push_back({view.currentFrame, view.frameStore.currentRecordIndex(), view.syncFrame, view.syncFraction,
                              view.frameStore.recordCount(), view.frameStore.calibrationDirty, view.missingFlags,
                              view.staticFlags});
    }
    step.appended.resize(doc_.views.size());
    step.currentView = doc_.currentView;
    step.dltValid = doc_.dltValid;
    return step;
}

void EditHistory::Begin(const std::string& name) {
    if (depth_++ > 0) return;
    open_ = Capture(name);
}

bool EditHistory::ChangedNothing(const Step& step) const {
    const Step now = Capture(step.name);
    if (now.views != step.views || now.currentView != step.currentView || now.dltValid != step.dltValid) return false;
    if (step.model && *step.model != doc_.modelPoints) return false;
    if (step.calibrationPoints && *step.calibrationPoints != doc_.calibrationPoints) return false;
    for (const SavedRecord& saved : step.records) {
        const ViewFrameStore& store = doc_.views[static_cast<std::size_t>(saved.view)].frameStore;
        const FrameRecord& record = saved.index == RecordJournal::kCalibrationIndex
                                        ? store.calibrationRecord
                                        : store.records()[static_cast<std::size_t>(saved.index)];
        if (!(record == saved.record)) return false;
    }
    return true;
}

void EditHistory::End() {
    if (depth_ == 0 || --depth_ > 0) return;
    Step step = std::move(*open_);
    open_.reset();
    if (ChangedNothing(step)) return;
    undo_.push_back(std::move(step));
    if (undo_.size() > kCapacity) undo_.pop_front();
    redo_.clear();
}

void EditHistory::SaveModel() {
    if (open_ && !open_->model) open_->model = doc_.modelPoints;
}

void EditHistory::SaveCalibrationPoints() {
    if (open_ && !open_->calibrationPoints) open_->calibrationPoints = doc_.calibrationPoints;
}

int EditHistory::ViewOf(const ViewFrameStore& store) const {
    for (std::size_t v = 0; v < doc_.views.size(); ++v)
        if (&doc_.views[v].frameStore == &store) return static_cast<int>(v);
    return -1;
}

void EditHistory::BeforeRecordChange(const ViewFrameStore& store, int index) {
    if (!open_) return;
    const int view = ViewOf(store);
    if (view < 0 || static_cast<std::size_t>(view) >= open_->views.size()) return;
    // Records appended by this edit are taken away whole when it is undone.
    if (index != RecordJournal::kCalibrationIndex && index >= open_->views[static_cast<std::size_t>(view)].recordCount) return;
    for (const SavedRecord& saved : open_->records)
        if (saved.view == view && saved.index == index) return;
    const FrameRecord& record =
        index == RecordJournal::kCalibrationIndex ? store.calibrationRecord : store.records()[static_cast<std::size_t>(index)];
    open_->records.push_back({view, index, record});
}

// Exchanges the document's state with the step's; doing it twice changes nothing.
void EditHistory::SwapState(Step& step) {
    for (SavedRecord& saved : step.records)
        doc_.views[static_cast<std::size_t>(saved.view)].frameStore.SwapRecord(saved.index, saved.record);
    for (std::size_t v = 0; v < step.views.size() && v < doc_.views.size(); ++v) {
        CameraView& view = doc_.views[v];
        ViewState& state = step.views[v];
        std::swap(view.currentFrame, state.currentFrame);
        std::swap(view.syncFrame, state.syncFrame);
        std::swap(view.syncFraction, state.syncFraction);
        std::swap(view.missingFlags, state.missingFlags);
        std::swap(view.staticFlags, state.staticFlags);
        std::swap(view.frameStore.calibrationDirty, state.calibrationDirty);
        const int current = view.frameStore.currentRecordIndex();
        view.frameStore.SetCurrentRecordIndex(state.currentRecord);
        state.currentRecord = current;
    }
    std::swap(doc_.currentView, step.currentView);
    std::swap(doc_.dltValid, step.dltValid);
    if (step.model) std::swap(doc_.modelPoints, *step.model);
    if (step.calibrationPoints) std::swap(doc_.calibrationPoints, *step.calibrationPoints);
}

void EditHistory::Undo() {
    if (undo_.empty() || open_) return;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    // The records the edit appended leave the lists before the older state comes back.
    for (std::size_t v = 0; v < step.views.size() && v < doc_.views.size(); ++v)
        doc_.views[v].frameStore.TruncateRecords(step.views[v].recordCount, step.appended[v]);
    SwapState(step);
    redo_.push_back(std::move(step));
}

void EditHistory::Redo() {
    if (redo_.empty() || open_) return;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    // The edit comes back where the user is looking; an undo still returns to its frame.
    std::vector<int> shown;
    for (const CameraView& view : doc_.views) shown.push_back(view.currentFrame);
    SwapState(step);
    for (std::size_t v = 0; v < shown.size(); ++v) doc_.views[v].currentFrame = shown[v];
    for (std::size_t v = 0; v < step.appended.size() && v < doc_.views.size(); ++v)
        doc_.views[v].frameStore.AppendRecords(step.appended[v]);
    undo_.push_back(std::move(step));
}

void EditHistory::Clear() {
    undo_.clear();
    redo_.clear();
}

}  // namespace kadivo
