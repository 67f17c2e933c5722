#include "ViewFrameStore.h"

#include "FrameArithmetic.h"

#include <algorithm>

namespace kadivo {

ViewFrameStore::ViewFrameStore(int modelPointCount, int step) : pointCount(modelPointCount), frameStep(step) {}

FrameRecord* ViewFrameStore::ActiveRecord(int mode) {
    if (mode == kCalibration) return &calibrationRecord;
    return current_ == kNoRecord ? nullptr : &records_[static_cast<std::size_t>(current_)];
}

const FrameRecord* ViewFrameStore::ActiveRecord(int mode) const {
    return const_cast<ViewFrameStore*>(this)->ActiveRecord(mode);
}

int ViewFrameStore::FindIndex(int frame) const {
    for (std::size_t i = 0; i < records_.size(); ++i)
        if (records_[i].frame == frame) return static_cast<int>(i);
    return kNoRecord;
}

// The last record in list order that holds the frame one step back.
int ViewFrameStore::PreviousIndex(int frame) const {
    const std::optional<int> wanted = OffsetFrame(frame, -static_cast<long long>(frameStep));
    return wanted ? LastIndexOf(*wanted) : kNoRecord;
}

int ViewFrameStore::LastIndexOf(int frame) const {
    for (std::size_t i = records_.size(); i-- > 0;)
        if (records_[i].frame == frame) return static_cast<int>(i);
    return kNoRecord;
}

const FrameRecord* ViewFrameStore::FindRecord(int frame, int mode) const {
    if (mode == kCalibration) return &calibrationRecord;
    return RecordAt(FindIndex(frame));
}

std::unordered_map<int, int> ViewFrameStore::RecordIndexByFrame() const {
    std::unordered_map<int, int> index;
    index.reserve(records_.size());
    for (std::size_t r = 0; r < records_.size(); ++r) index.emplace(records_[r].frame, static_cast<int>(r));
    return index;
}

void ViewFrameStore::SetCurrentFrame(int frame, int mode) {
    if (mode == kMovement) current_ = FindIndex(frame);
}

const FrameRecord* ViewFrameStore::PreviousRecord(int frame, int mode) const {
    if (mode == kCalibration) return &calibrationRecord;
    return RecordAt(PreviousIndex(frame));
}

FrameRecord* ViewFrameStore::Touch(FrameRecord* record) {
    if (record && (journal_ || tracking_)) {
        const int index = record == &calibrationRecord ? RecordJournal::kCalibrationIndex
                                                        : static_cast<int>(record - records_.data());
        if (journal_) journal_->BeforeRecordChange(*this, index);
        NoteChanged(index);
    }
    return record;
}

void ViewFrameStore::NoteChanged(int index) {
    if (!tracking_) return;
    if (index == RecordJournal::kCalibrationIndex) changes_.calibration = true;
    // A record beyond the first rewritten one is written whole anyway.
    else if (index < changes_.rewrittenFrom) changes_.touched.push_back(index);
}

void ViewFrameStore::SwapRecord(int index, FrameRecord& record) {
    NoteChanged(index);
    std::swap(index == RecordJournal::kCalibrationIndex ? calibrationRecord : records_[static_cast<std::size_t>(index)], record);
}

void ViewFrameStore::TruncateRecords(int count, std::vector<FrameRecord>& removed) {
    const auto kept = static_cast<std::size_t>(std::clamp(count, 0, recordCount()));
    removed.assign(records_.begin() + static_cast<std::ptrdiff_t>(kept), records_.end());
    records_.resize(kept);
    if (tracking_) changes_.rewrittenFrom = std::min(changes_.rewrittenFrom, recordCount());
}

void ViewFrameStore::AppendRecords(std::vector<FrameRecord>& records) {
    records_.insert(records_.end(), records.begin(), records.end());
    records.clear();
}

void ViewFrameStore::TrackRecordChanges() {
    tracking_ = true;
    changes_ = {};
    changes_.rewrittenFrom = recordCount();
}

RecordChanges ViewFrameStore::TakeRecordChanges() {
    RecordChanges taken = std::move(changes_);
    std::sort(taken.touched.begin(), taken.touched.end());
    taken.touched.erase(std::unique(taken.touched.begin(), taken.touched.end()), taken.touched.end());
    std::erase_if(taken.touched, [&](int index) { return index >= taken.rewrittenFrom; });
    changes_ = {};
    changes_.rewrittenFrom = recordCount();
    return taken;
}

FrameRecord& ViewFrameStore::NewRecord(int frame) {
    records_.emplace_back(frame);
    return records_.back();
}

FrameRecord& ViewFrameStore::ActiveOrNewRecord(int frame, int mode) {
    if (FrameRecord* record = Touch(ActiveRecord(mode))) return *record;
    NewRecord(frame);
    current_ = recordCount() - 1;
    return records_.back();
}

int ViewFrameStore::AddPoint(Point2f pos, int zoom, ScrollPos scroll, int frame, int mode) {
    FrameRecord& record = ActiveOrNewRecord(frame, mode);
    if (record.digitizedCount >= ModePointCount(mode)) return 0;
    const auto index = static_cast<std::size_t>(record.digitizedCount);
    record.imagePos[index] = pos;
    record.zoomAt[index] = zoom;
    record.scrollPos[index] = scroll;
    ++record.digitizedCount;
    if (mode == kCalibration) calibrationDirty = true;
    return 1;
}

void ViewFrameStore::RemoveLastPoint(int mode) {
    FrameRecord* record = Touch(ActiveRecord(mode));
    if (record && record->digitizedCount > 0) --record->digitizedCount;
    if (mode == kCalibration) calibrationDirty = true;
}

void ViewFrameStore::CopyFromPrevious(int frame, int mode) {
    FrameRecord& record = ActiveOrNewRecord(frame, mode);
    if (mode == kMovement && record.digitizedCount >= pointCount) return;
    // The calibration record has no room beyond its 50 entries.
    if (record.digitizedCount >= kModelTableSize) return;
    const FrameRecord* previous = PreviousRecord(frame, mode);
    if (!previous) return;
    const auto index = static_cast<std::size_t>(record.digitizedCount);
    record.imagePos[index] = previous->imagePos[index];
    record.zoomAt[index] = previous->zoomAt[index];
    ++record.digitizedCount;
}

Point2f ViewFrameStore::GetPoint(int index, int mode) const {
    const FrameRecord* record = ActiveRecord(mode);
    if (!record || index < 0 || index >= ModePointCount(mode)) return kNoPosition;
    return record->imagePos[static_cast<std::size_t>(index)];
}

void ViewFrameStore::SetPoint(Point2f pos, int index, int mode) {
    FrameRecord* record = Touch(ActiveRecord(mode));
    if (record && index >= 0 && index < pointCount) record->imagePos[static_cast<std::size_t>(index)] = pos;
}

int ViewFrameStore::NextIndex(int mode) const {
    const FrameRecord* record = ActiveRecord(mode);
    return record ? record->digitizedCount : 0;
}

bool ViewFrameStore::IsComplete(int mode) const {
    if (mode == kCalibration) return calibrationRecord.digitizedCount == calibrationPointCount;
    const FrameRecord* record = currentRecord();
    return record && record->digitizedCount == pointCount;
}

bool ViewFrameStore::IsCalibrated() const {
    return calibrationRecord.digitizedCount >= calibrationPointCount && calibrationPointCount >= 4;
}

void ViewFrameStore::ClearPoints(int mode) {
    if (FrameRecord* record = Touch(ActiveRecord(mode))) record->digitizedCount = 0;
}

ScrollPos ViewFrameStore::PreviousScroll(int frame) const {
    const FrameRecord* previous = PreviousRecord(frame, kMovement);
    if (!previous) return kNoScroll;
    return previous->scrollPos[static_cast<std::size_t>(NextIndex(kMovement))];
}

int ViewFrameStore::PreviousZoom(int frame) const {
    const FrameRecord* previous = PreviousRecord(frame, kMovement);
    if (!previous) return FrameRecord::kInitialZoom;
    return previous->zoomAt[static_cast<std::size_t>(NextIndex(kMovement))];
}

void ViewFrameStore::SetAllZoomAndScroll(int frame, int zoom, ScrollPos scroll, int mode) {
    auto write = [&](FrameRecord& record) {
        Touch(&record);
        for (int i = 0; i < pointCount; ++i) {
            record.zoomAt[static_cast<std::size_t>(i)] = zoom;
            record.scrollPos[static_cast<std::size_t>(i)] = scroll;
        }
    };
    if (mode == kCalibration) {
        write(calibrationRecord);
        return;
    }
    if (const int previous = PreviousIndex(frame); previous != kNoRecord) write(records_[static_cast<std::size_t>(previous)]);
    if (current_ != kNoRecord) write(records_[static_cast<std::size_t>(current_)]);
}

PositionPrediction ViewFrameStore::PredictPosition(int frame, int mode) const {
    const auto point = static_cast<std::size_t>(NextIndex(mode));
    if (point >= static_cast<std::size_t>(kModelTableSize)) return {};
    // r1 is the previous record; r2 and r3 follow it back through the list.
    const FrameRecord* r1 = nullptr;
    const FrameRecord* r2 = nullptr;
    bool threeRecords = false;
    if (mode == kCalibration) {
        r1 = &calibrationRecord;
    } else {
        const int first = PreviousIndex(frame);
        if (first != kNoRecord) {
            r1 = &records_[static_cast<std::size_t>(first)];
            if (first >= 1) r2 = &records_[static_cast<std::size_t>(first - 1)];
            threeRecords = first >= 2;
        }
    }
    if (!r1) return {};
    const Point2f p1 = UsableOrMissing(r1->imagePos[point]);
    if (!threeRecords) return {static_cast<int>(p1.x), static_cast<int>(p1.y), false};
    const Point2f p2 = UsableOrMissing(r2->imagePos[point]);
    return {static_cast<int>(2.0f * p1.x - p2.x), static_cast<int>(2.0f * p1.y - p2.y), true};
}

}  // namespace kadivo
