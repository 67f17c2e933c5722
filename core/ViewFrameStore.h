#pragma once

#include "FrameRecord.h"
#include "ModelPoint.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace kadivo {

// Result of predicting the next position of a point for automatic tracking.
struct PositionPrediction {
    int x = -1;
    int y = -1;
    bool predicted = false;
};

class ViewFrameStore;

// Told before a store changes a record, so that the change can be undone.
class RecordJournal {
public:
    virtual ~RecordJournal() = default;
    // Record `index` (kCalibrationIndex for the calibration record) is about to change.
    virtual void BeforeRecordChange(const ViewFrameStore& store, int index) = 0;
    static constexpr int kCalibrationIndex = -2;
};

// The movement records a store changed since it was last asked: those in `touched` (sorted,
// each once) and every one from `rewrittenFrom` on, whose places the list lost or gained.
struct RecordChanges {
    std::vector<int> touched;
    int rewrittenFrom = 0;
    bool calibration = false;
};

// The digitized image data of one camera view: the movement records in the order they
// were created and the single calibration record.
//
// Records are never removed one by one, so the list is a vector and links are indices:
// the record before index i in list order is i - 1.
class ViewFrameStore {
public:
    static constexpr int kNoRecord = -1;

    ViewFrameStore(int pointCount, int frameStep);

    ModelTable points = DefaultModelTable();
    FrameRecord calibrationRecord{-1};
    int headerValue = 0;
    int pointCount = 0;
    int calibrationPointCount = 0;
    std::string calibrationVideoName;
    std::string videoFileName;
    bool calibrationDirty = false;
    int frameStep = 1;

    int recordCount() const { return static_cast<int>(records_.size()); }
    const std::vector<FrameRecord>& records() const { return records_; }
    const FrameRecord* currentRecord() const { return RecordAt(current_); }
    int currentRecordIndex() const { return current_; }

    FrameRecord* ActiveRecord(int mode);
    const FrameRecord* ActiveRecord(int mode) const;
    const FrameRecord* FindRecord(int frame, int mode) const;
    // The index of every frame's movement record, as FindRecord finds it (the first record
    // of a frame in list order), for work that visits many frames.
    std::unordered_map<int, int> RecordIndexByFrame() const;
    void SetCurrentFrame(int frame, int mode);
    const FrameRecord* PreviousRecord(int frame, int mode) const;
    // The last movement record of `frame` in list order: the one a frame before shows to
    // the frame after it (prediction, locating, templates).
    const FrameRecord* LastRecordOf(int frame) const { return RecordAt(LastIndexOf(frame)); }
    FrameRecord& NewRecord(int frame);
    // Record `index`, told to the journal as about to change.
    FrameRecord* TouchRecord(int index) { return Touch(&records_[static_cast<std::size_t>(index)]); }
    void ReserveRecords(int count) { records_.reserve(static_cast<std::size_t>(count)); }
    int AddPoint(Point2f pos, int zoom, ScrollPos scroll, int frame, int mode);
    void RemoveLastPoint(int mode);
    void CopyFromPrevious(int frame, int mode);
    Point2f GetPoint(int index, int mode) const;
    void SetPoint(Point2f pos, int index, int mode);
    int NextIndex(int mode) const;
    bool IsComplete(int mode) const;
    bool IsCalibrated() const;
    void ClearPoints(int mode);
    ScrollPos PreviousScroll(int frame) const;
    int PreviousZoom(int frame) const;
    void SetAllZoomAndScroll(int frame, int zoom, ScrollPos scroll, int mode);
    PositionPrediction PredictPosition(int frame, int mode) const;

    // Tells `journal` of every change of a record from now on; null stops it.
    void SetJournal(RecordJournal* journal) { journal_ = journal; }
    // For undoing: exchanges record `index` (kCalibrationIndex: the calibration record) with
    // `record`, takes the records from `count` on away into `removed`, or appends `records`.
    void SwapRecord(int index, FrameRecord& record);
    void TruncateRecords(int count, std::vector<FrameRecord>& removed);
    void AppendRecords(std::vector<FrameRecord>& records);
    void SetCurrentRecordIndex(int index) { current_ = index; }

    // Keeps count of the records that change from now on, for TakeRecordChanges.
    void TrackRecordChanges();
    // What changed since tracking began or since the last call; tracking goes on.
    RecordChanges TakeRecordChanges();

private:
    int ModePointCount(int mode) const { return mode == kCalibration ? calibrationPointCount : pointCount; }
    int FindIndex(int frame) const;
    int PreviousIndex(int frame) const;
    int LastIndexOf(int frame) const;
    FrameRecord& ActiveOrNewRecord(int frame, int mode);
    const FrameRecord* RecordAt(int index) const {
        return index == kNoRecord ? nullptr : &records_[static_cast<std::size_t>(index)];
    }

    // The record `mode` writes to, announced to the journal first.
    FrameRecord* Touch(FrameRecord* record);

    void NoteChanged(int index);

    std::vector<FrameRecord> records_;
    int current_ = kNoRecord;
    RecordJournal* journal_ = nullptr;
    bool tracking_ = false;
    RecordChanges changes_;
};

}  // namespace kadivo
