#pragma once

#include "FrameRecord.h"
#include "ModelPoint.h"
#include "ViewFrameStore.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// Undo and redo of the edits of digitized data and of the model. An edit is recorded as the
// state it changed: copies of the frame records it touched, the records it appended, and
// the few values of each view and of the document it may change. Undoing swaps that state
// with the document's, which turns the step into its redo. A redo leaves every view on the
// frame it shows.
class EditHistory final : public RecordJournal {
public:
    static constexpr std::size_t kCapacity = 1024;

    explicit EditHistory(CKadivoDoc& doc) : doc_(doc) {}

    // Records the changes made until the matching End as one step named `name`. Steps
    // opened while one is open join it.
    void Begin(const std::string& name);
    void End();
    // Also records the whole model or the calibration points of the open step.
    void SaveModel();
    void SaveCalibrationPoints();

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    std::string UndoName() const { return CanUndo() ? undo_.back().name : std::string(); }
    std::string RedoName() const { return CanRedo() ? redo_.back().name : std::string(); }
    void Undo();
    void Redo();
    // Forgets every step: after changes the steps could not put back.
    void Clear();
    std::size_t UndoCount() const { return undo_.size(); }

    void BeforeRecordChange(const ViewFrameStore& store, int index) override;

private:
    struct ViewState {
        int currentFrame = 0;
        int currentRecord = ViewFrameStore::kNoRecord;
        int syncFrame = 0;
        double syncFraction = 0.0;
        int recordCount = 0;  // when the step began
        bool calibrationDirty = false;
        std::vector<int> missingFlags, staticFlags;
        friend bool operator==(const ViewState&, const ViewState&) = default;
    };
    struct SavedRecord {
        int view = 0;
        int index = 0;  // RecordJournal::kCalibrationIndex for the calibration record
        FrameRecord record;
    };
    struct Step {
        std::string name;
        std::vector<ViewState> views;
        std::vector<SavedRecord> records;
        std::vector<std::vector<FrameRecord>> appended;  // per view, the records the edit added
        int currentView = 0;
        bool dltValid = false;
        std::optional<ModelTable> model;
        std::optional<std::vector<Point3>> calibrationPoints;
    };

    Step Capture(const std::string& name) const;
    // The open step changed nothing it recorded: it is not worth an undo.
    bool ChangedNothing(const Step& step) const;
    void SwapState(Step& step);
    int ViewOf(const ViewFrameStore& store) const;

    CKadivoDoc& doc_;
    std::deque<Step> undo_, redo_;
    std::optional<Step> open_;
    int depth_ = 0;
};

}  // namespace kadivo
