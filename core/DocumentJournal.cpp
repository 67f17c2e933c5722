#include "DocumentJournal.h"

#include "CKadivoDoc.h"
#include "Crc32.h"
#include "FileIo.h"
#include "JournalRecovery.h"
#include "SequenceFileParts.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace kadivo {

namespace {

// Changes after which the world data may differ; digitizing never touches them.
constexpr ChangeSet kWorldChanges = Change::WorldData | Change::Transformed | Change::Options | Change::Model |
                                    Change::FrameRate | Change::CameraViews | Change::SequenceOpened;

// Changes that digitizing makes: they alter records, the frames shown, the record counts and
// the points' flags, and nothing else a save writes.
constexpr ChangeSet kDigitizingChanges = Change::Points | Change::PointsRemoved | Change::Frame | Change::CurrentView |
                                         Change::Mode | Change::Redraw | Change::FitWindow | Change::NoVideo;
// The head's parts that digitizing changes: frames shown, record counts, point flags.
constexpr bool kDigitizingHeadPart[kSequenceHeadParts] = {true, false, true, true, false};
// However a change was announced, everything is compared at least this often.
constexpr auto kFullComparison = std::chrono::milliseconds(500);

double SecondsSince1970() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::string SystemError(const std::string& what, const std::string& path) { return FileErrorText(what, path, errno); }

// A name of its own for the journal of `sequencePath`: its stem, a check of the whole path
// (two sequences of one name in different folders), and the process.
std::string JournalName(const std::string& sequencePath, int attempt) {
    const std::string stem = sequencePath.empty() ? "Untitled" : std::filesystem::path(sequencePath).stem().string();
    char check[16];
    std::snprintf(check, sizeof check, "%08x",
                  Crc32(reinterpret_cast<const std::uint8_t*>(sequencePath.data()), sequencePath.size()));
    std::string name = stem + "-" + check + "-" + std::to_string(::getpid());
    if (attempt > 0) name += "-" + std::to_string(attempt);
    return name + kJournalExtension;
}

// Creates `path` for this process alone, locked for as long as the process holds it.
int CreateLocked(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.c_str());
        errno = error;
        return -1;
    }
    return fd;
}

// The writer's part holds the same bytes as `block`.
bool SameBytes(const ByteBlock& block, const ByteWriter& part) {
    return block.size() == part.size() && std::memcmp(block.data(), part.data(), part.size()) == 0;
}

}  // namespace

DocumentJournal::DocumentJournal(CKadivoDoc& doc, std::string folder) : doc_(doc), folder_(std::move(folder)) {
    doc_.observers().Add(*this);
}

DocumentJournal::~DocumentJournal() {
    doc_.observers().Remove(*this);
    Sync();
    if (fd_ >= 0) ::close(fd_);
}

void DocumentJournal::Discard() { Close(true); }

void DocumentJournal::Sync() {
    if (fd_ < 0 || !unsynced_) return;
    if (::fdatasync(fd_) != 0) Fail(SystemError("Cannot write", path_));
    unsynced_ = false;
    lastSync_ = std::chrono::steady_clock::now();
}

std::string DocumentJournal::TakeProblem() { return std::exchange(problem_, {}); }

void DocumentJournal::Fail(const std::string& reason) {
    if (stopped_) return;
    stopped_ = true;
    problem_ = "Unsaved changes are not kept for recovery: " + reason;
}

void DocumentJournal::Close(bool remove) {
    if (fd_ >= 0) {
        if (remove) ::unlink(path_.c_str());
        ::close(fd_);
    }
    fd_ = -1;
    path_.clear();
    bytes_ = compactedBytes_ = 0;
    edits_ = 0;
    base_ = {};
    views_.clear();
    unsynced_ = false;
}

void DocumentJournal::OnDocumentChanged(const DocumentChange& change) {
    if (change.what.HasAny(Change::SequenceOpened | Change::Saved)) {
        Close(true);
        stopped_ = false;
        // Journals an earlier session left of this file are outdated by the save.
        if (change.what.Has(Change::Saved)) RemoveLeftJournalsOf(doc_.pathName());
    }
    if (stopped_ || !doc_.IsModified() || doc_.views.empty()) return;
    try {
        const bool beginning = fd_ < 0;
        if (beginning) Begin();
        if (Append(change.what, beginning) && edits_++ == 0) firstEdit_ = SecondsSince1970();
        if (bytes_ > std::max<std::uint64_t>(ImageSize(), kCompactionFloor) && bytes_ - compactedBytes_ > ImageSize() / 2)
            Compact();
        SyncIfDue();
    } catch (const std::exception& error) {
        Fail(error.what());
    }
}

void DocumentJournal::Begin() {
    header_ = {};
    header_.sequencePath = doc_.pathName();
    header_.processId = ::getpid();
    header_.started = SecondsSince1970();
    base_ = {};
    if (!header_.sequencePath.empty()) {
        try {
            const ByteBlock saved = ReadWholeFile(header_.sequencePath);
            base_ = ImageOfFileBytes(saved, header_.sequencePath);
            header_.hasBase = true;
            header_.baseSize = saved.size();
            header_.baseCrc = Crc32(saved.data(), saved.size());
        } catch (const std::exception&) {
            // The file is gone or unreadable: the journal holds the whole sequence.
            base_ = {};
        }
    }
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    for (int attempt = 0; fd_ < 0; ++attempt) {
        path_ = (std::filesystem::path(folder_) / JournalName(header_.sequencePath, attempt)).string();
        fd_ = CreateLocked(path_);
        if (fd_ < 0 && (errno != EEXIST || attempt > 100)) {
            const std::string failure = SystemError("Cannot create", path_);
            path_.clear();
            throw FileIoError(failure);
        }
    }
    bytes_ = 0;
    Write(JournalStart(header_));
    ResetToBase();
}

// What the journal has written is the saved file, part for part.
void DocumentJournal::ResetToBase() {
    head_ = base_.head;
    calibrationPoints_ = base_.calibrationPoints;
    worldData_ = base_.worldData;
    tail_ = base_.tail;
    views_.assign(base_.views.size(), {});
    for (std::size_t v = 0; v < base_.views.size(); ++v) {
        views_[v].replayRecords = &base_.views[v].records;
        views_[v].recordCount = static_cast<int>(base_.views[v].records.size());
        views_[v].opening = base_.views[v].opening;
        views_[v].closing = base_.views[v].closing;
    }
    pointCount_ = -1;
}

template <typename AddPart>
void DocumentJournal::Compare(ByteBlock& written, AddPart&& add) {
    if (SameBytes(written, part_)) return;
    add(part_.data(), part_.size());
    written.assign(part_.data(), part_.data() + part_.size());
}

bool DocumentJournal::Append(ChangeSet what, bool everything) {
    edit_.Begin(SecondsSince1970());
    // Digitizing comes many times a second: it compares only what it can change.
    const auto now = std::chrono::steady_clock::now();
    const bool whole = everything || !kDigitizingChanges.Covers(what) || now - lastFullComparison_ >= kFullComparison;
    if (whole) lastFullComparison_ = now;
    const auto part = [this](JournalPart kind) {
        return [this, kind](const std::uint8_t* data, std::size_t size) { edit_.Part(kind, data, size); };
    };
    if (views_.size() != doc_.views.size()) {
        edit_.ViewCount(doc_.viewCount());
        views_.resize(doc_.views.size());
    }
    head_.resize(kSequenceHeadParts);
    for (int h = 0; h < kSequenceHeadParts; ++h) {
        if (!whole && !kDigitizingHeadPart[h]) continue;
        part_.Clear();
        WriteSequenceHeadPart(part_, doc_, h);
        Compare(head_[static_cast<std::size_t>(h)],
                [this, h](const std::uint8_t* data, std::size_t size) { edit_.IndexedPart(JournalPart::Head, h, data, size); });
    }
    // Records of another length, or of views made anew, are all taken again.
    const bool recordsAnew = everything || pointCount_ != doc_.pointCount;
    pointCount_ = doc_.pointCount;
    for (int v = 0; v < doc_.viewCount(); ++v) {
        WrittenView& written = views_[static_cast<std::size_t>(v)];
        const auto indexedPart = [this, v](JournalPart kind) {
            return [this, kind, v](const std::uint8_t* data, std::size_t size) { edit_.IndexedPart(kind, v, data, size); };
        };
        part_.Clear();
        WriteViewOpening(part_, v);
        Compare(written.opening, indexedPart(JournalPart::ViewOpening));
        const bool calibrationTouched = AppendRecords(v, recordsAnew);
        // The closing's video links take a while to make; they change with the calibration
        // record, a change of mode or a video opened.
        if (whole || calibrationTouched || what.Has(Change::Mode)) {
            part_.Clear();
            WriteViewClosing(part_, doc_, v, header_.sequencePath);
            Compare(written.closing, indexedPart(JournalPart::ViewClosing));
        }
    }
    if (whole) {
        part_.Clear();
        WriteCalibrationPoints(part_, doc_);
        Compare(calibrationPoints_, part(JournalPart::CalibrationPoints));
        part_.Clear();
        WriteSequenceTail(part_, doc_, doc_.windowHost().WindowStates());
        Compare(tail_, part(JournalPart::Tail));
    }
    if (everything || what.HasAny(kWorldChanges)) {
        part_.Clear();
        WriteWorldData(part_, doc_);
        // Data recomputed after a click change in a few places: those are what is written.
        edit_.WorldData(worldData_, part_.data(), part_.size());
    }
    if (edit_.Empty()) return false;
    Write(edit_.Frame());
    return true;
}

bool DocumentJournal::AppendRecords(int v, bool everything) {
    WrittenView& written = views_[static_cast<std::size_t>(v)];
    ViewFrameStore& store = doc_.views[static_cast<std::size_t>(v)].frameStore;
    const std::vector<FrameRecord>& records = store.records();
    const int count = store.recordCount();
    if (count != written.recordCount) edit_.RecordCount(v, count);
    const auto serialize = [&](int r) {
        part_.Clear();
        WriteMovementRecord(part_, doc_, records[static_cast<std::size_t>(r)]);
    };
    const auto add = [&](int r) { edit_.Record(v, r, part_.data(), part_.size()); };
    bool calibration = true;
    if (everything || written.store != &store) {
        const std::vector<ByteBlock>* replay = written.store ? nullptr : written.replayRecords;
        for (int r = 0; r < count; ++r) {
            serialize(r);
            if (!replay || static_cast<std::size_t>(r) >= replay->size() || !SameBytes((*replay)[static_cast<std::size_t>(r)], part_))
                add(r);
        }
        store.TrackRecordChanges();
    } else {
        const RecordChanges changes = store.TakeRecordChanges();
        calibration = changes.calibration;
        for (int r : changes.touched)
            if (r < count) {
                serialize(r);
                add(r);
            }
        for (int r = std::min(changes.rewrittenFrom, written.recordCount); r < count; ++r) {
            serialize(r);
            add(r);
        }
    }
    written.store = &store;
    written.replayRecords = nullptr;
    written.recordCount = count;
    return calibration;
}

std::uint64_t DocumentJournal::ImageSize() const {
    std::uint64_t size = calibrationPoints_.size() + worldData_.size() + tail_.size();
    for (const ByteBlock& part : head_) size += part.size();
    const std::uint64_t recordSize = MovementRecordBytes(std::max(pointCount_, 0));
    for (const WrittenView& view : views_)
        size += view.opening.size() + view.closing.size() + recordSize * static_cast<std::uint64_t>(view.recordCount);
    return size;
}

// Writes the journal again as one edit against the saved file, beside the old one, and puts
// it in the old one's place; a crash on the way leaves one of the two whole.
void DocumentJournal::Compact() {
    const std::string compacted = path_ + ".new";
    const int fd = CreateLocked(compacted);
    if (fd < 0) throw FileIoError(SystemError("Cannot create", compacted));
    const int old = std::exchange(fd_, fd);
    const std::uint64_t oldBytes = bytes_;
    try {
        bytes_ = 0;
        JournalHeader header = header_;
        header.compactedEdits = edits_;
        header.firstCompactedEdit = firstEdit_;
        Write(JournalStart(header));
        ResetToBase();
        Append(kWorldChanges, true);
        if (::fdatasync(fd_) != 0 || ::rename(compacted.c_str(), path_.c_str()) != 0)
            throw FileIoError(SystemError("Cannot write", compacted));
    } catch (...) {
        ::close(std::exchange(fd_, old));
        ::unlink(compacted.c_str());
        bytes_ = oldBytes;
        throw;
    }
    ::close(old);
    compactedBytes_ = bytes_;
    unsynced_ = false;
}

void DocumentJournal::Write(const ByteBlock& bytes) {
    if (!WriteAll(fd_, bytes.data(), bytes.size())) throw FileIoError(SystemError("Cannot write", path_));
    bytes_ += bytes.size();
    bytesWritten_ += bytes.size();
    unsynced_ = true;
}

void DocumentJournal::SyncIfDue() {
    if (unsynced_ && std::chrono::steady_clock::now() - lastSync_ >= std::chrono::seconds(1)) Sync();
}

void DocumentJournal::RemoveLeftJournalsOf(const std::string& sequencePath) const {
    if (sequencePath.empty()) return;
    for (const JournalListing& left : LeftJournalsOf(ListJournals(folder_), sequencePath)) ::unlink(left.path.c_str());
}

}  // namespace kadivo
