#pragma once

#include "ByteCursor.h"
#include "DocumentChange.h"
#include "JournalFile.h"
#include "SequenceImage.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;
class ViewFrameStore;

// Keeps the journal of a document's unsaved edits in `folder`, so that a crash loses at most
// the last second of work. The journal exists while the document is modified: it begins at
// the first change after an open or a save, takes every change the document announces as
// the parts of the file the change altered (JournalFile.h), and goes when the document is
// saved or discarded. Written at once, it survives the program; it reaches the disk at
// least once a second while edits come, and at Sync when they stop. A journal that
// outgrows its sequence is compacted to the parts that differ from the saved file.
//
// Nothing stops the editing: the first failure (a folder that cannot be written, a full
// disk) stops the journal until the next save and waits in TakeProblem.
class DocumentJournal final : private DocumentObserver {
public:
    // The smallest journal worth compacting.
    static constexpr std::uint64_t kCompactionFloor = 64 * 1024;

    DocumentJournal(CKadivoDoc& doc, std::string folder);
    // Stops observing and leaves the journal as it is: only Discard removes it.
    ~DocumentJournal() override;
    DocumentJournal(const DocumentJournal&) = delete;
    DocumentJournal& operator=(const DocumentJournal&) = delete;

    // The document is closed without saving: its journal goes.
    void Discard();
    // Edits have stopped: what was written goes to the disk now.
    void Sync();
    // The first failure since the last call, as the status bar says it; empty when none.
    std::string TakeProblem();

    // The journal being written; empty while there is none.
    const std::string& path() const { return path_; }
    // The unsaved changes are all in the journal.
    bool IsKeeping() const { return fd_ >= 0 && !stopped_; }
    std::uint64_t bytes() const { return bytes_; }
    // Everything written since the document was opened, compactions included.
    std::uint64_t bytesWritten() const { return bytesWritten_; }

private:
    struct WrittenView {
        const ViewFrameStore* store = nullptr;  // null: its records were not taken yet
        // The records the replay holds for the view when its store was not taken yet: the
        // saved file's, or unknown (null) after the views were rebuilt.
        const std::vector<ByteBlock>* replayRecords = nullptr;
        int recordCount = 0;
        ByteBlock opening, closing;
    };

    void OnDocumentChanged(const DocumentChange& change) override;
    void Begin();
    // Appends the entry of a change; false when it changed nothing the file holds.
    bool Append(ChangeSet what, bool everything);
    // Adds view v's changed records; true when its calibration record may have changed.
    bool AppendRecords(int v, bool everything);
    void Compact();
    void ResetToBase();
    void Close(bool remove);
    void Write(const ByteBlock& bytes);
    void SyncIfDue();
    void Fail(const std::string& reason);
    // Adds `part` to the edit when it differs from `written`, which then holds it.
    template <typename AddPart>
    void Compare(ByteBlock& written, AddPart&& add);
    std::uint64_t ImageSize() const;
    void RemoveLeftJournalsOf(const std::string& sequencePath) const;

    CKadivoDoc& doc_;
    std::string folder_;
    std::string path_;
    int fd_ = -1;
    JournalHeader header_;
    std::uint64_t bytes_ = 0;
    std::uint64_t compactedBytes_ = 0;
    std::uint64_t bytesWritten_ = 0;
    std::uint32_t edits_ = 0;  // since the journal began
    double firstEdit_ = 0;
    SequenceImage base_;
    std::vector<ByteBlock> head_;
    ByteBlock calibrationPoints_, worldData_, tail_;
    std::vector<WrittenView> views_;
    int pointCount_ = -1;
    ByteWriter part_;
    JournalEditWriter edit_;
    bool stopped_ = false;
    std::string problem_;
    bool unsynced_ = false;
    std::chrono::steady_clock::time_point lastSync_;
    std::chrono::steady_clock::time_point lastFullComparison_;
};

}  // namespace kadivo
