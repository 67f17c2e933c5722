#pragma once

#include "ByteCursor.h"
#include "SequenceImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

// The journal of a sequence's unsaved edits. The file starts with kJournalMagic and holds
// frames: a 32-bit payload length, the payload's CRC-32, the payload. The first frame is the
// header, every later one an edit: the parts of the sequence's image (SequenceImage) that it
// changed. A journal cut off inside a frame, as a power cut leaves it, keeps every whole
// frame before the cut.
inline constexpr char kJournalMagic[8] = {'K', 'D', 'V', 'J', 'R', 'N', 'L', '1'};
inline constexpr const char* kJournalExtension = ".kdvj";

struct JournalHeader {
    std::string sequencePath;  // absolute; empty for a sequence never saved
    // The edits change the file as it was when the journal began, known by its size and
    // CRC-32; without a base (a new sequence, or a file that could not be read) the first
    // edit holds the whole image.
    bool hasBase = false;
    std::uint64_t baseSize = 0;
    std::uint32_t baseCrc = 0;
    std::int64_t processId = 0;
    double started = 0;  // seconds since 1970
    // A compacted journal's first edit stands for this many edits, the first made then.
    std::uint32_t compactedEdits = 0;
    double firstCompactedEdit = 0;
    friend bool operator==(const JournalHeader&, const JournalHeader&) = default;
};

// The parts an edit may carry.
enum class JournalPart : std::uint8_t {
    Head = 1,
    ViewCount = 2,
    ViewOpening = 3,
    RecordCount = 4,
    Record = 5,
    ViewClosing = 6,
    CalibrationPoints = 7,
    WorldData = 8,
    Tail = 9,
    // The world data changed in places: the size they keep, then spans of an offset, a
    // length and the bytes there.
    WorldDataSpans = 10,
};

// The start of a journal file: the magic and the header's frame.
ByteBlock JournalStart(const JournalHeader& header);

// Builds one edit's frame. Used over and over, it allocates only when an edit outgrows the
// largest before it.
class JournalEditWriter {
public:
    void Begin(double time);
    // CalibrationPoints, WorldData or Tail.
    void Part(JournalPart part, const std::uint8_t* data, std::size_t size);
    // ViewOpening or ViewClosing of camera view `index`, or the head's part `index`.
    void IndexedPart(JournalPart part, int index, const std::uint8_t* data, std::size_t size);
    void Record(int view, int index, const std::uint8_t* data, std::size_t size);
    // The world data as `after`, where they differ from those `written` before: nothing when
    // they are the same, the spans where they differ when that is much smaller than giving
    // them whole. `written` becomes `after`.
    void WorldData(ByteBlock& written, const std::uint8_t* after, std::size_t size);
    void ViewCount(int count);
    void RecordCount(int view, int count);
    bool Empty() const { return parts_ == 0; }
    // The whole frame, valid until the next Begin.
    const ByteBlock& Frame();

private:
    ByteWriter payload_;
    ByteBlock frame_;
    int parts_ = 0;
};

struct JournalContents {
    JournalHeader header;
    std::vector<ByteBlock> edits;  // payloads, oldest first
    // The journal ended inside a frame, or a frame failed its check: what followed was dropped.
    bool cutOff = false;
};

// Throws FileFormatError when the bytes are no journal or its header is not whole.
JournalContents ReadJournal(const ByteBlock& bytes);

// When the edit was made, in seconds since 1970.
double EditTime(const ByteBlock& edit);
// Applies one edit's parts to `image`; throws FileFormatError for an edit that does not fit
// the image (a view or record that is not there, counts out of range).
void ApplyEdit(const ByteBlock& edit, SequenceImage& image);

}  // namespace kadivo
