#include "JournalFile.h"

#include "Crc32.h"
#include "Limits.h"
#include "SequenceFileParts.h"

#include <cstring>
#include <limits>

namespace kadivo {

namespace {

constexpr std::size_t kFrameHead = 8;  // length and CRC
// The smallest movement record a sequence file holds: flag, frame and count.
constexpr std::uint64_t kSmallestRecord = MovementRecordBytes(0);
// A part longer than this is damage, whatever the frame's CRC says.
constexpr std::uint32_t kLargestFrame = 0x7FFFFFFF;

void AppendFrame(ByteBlock& into, const std::uint8_t* payload, std::size_t size) {
    const auto length = static_cast<std::uint32_t>(size);
    const std::uint32_t crc = Crc32(payload, size);
    const std::size_t at = into.size();
    into.resize(at + kFrameHead + size);
    std::memcpy(into.data() + at, &length, 4);
    std::memcpy(into.data() + at + 4, &crc, 4);
    if (size > 0) std::memcpy(into.data() + at + kFrameHead, payload, size);
}

void WriteString(ByteWriter& out, const std::string& text) {
    out.U32(static_cast<std::uint32_t>(text.size()));
    out.Bytes(text.data(), text.size());
}

std::string ReadString(ByteReader& in, const char* what) {
    const std::uint32_t size = in.U32(what);
    in.Require(size, 1, what);
    std::string text(size, '\0');
    in.Bytes(text.data(), size, what);
    return text;
}

ByteBlock ReadBlock(ByteReader& in, const char* what) {
    const std::uint32_t size = in.U32(what);
    in.Require(size, 1, what);
    ByteBlock block(size);
    in.Bytes(block.data(), size, what);
    return block;
}

}  // namespace

ByteBlock JournalStart(const JournalHeader& header) {
    ByteWriter payload;
    WriteString(payload, header.sequencePath);
    payload.U8(header.hasBase ? 1 : 0);
    payload.U32(static_cast<std::uint32_t>(header.baseSize));
    payload.U32(static_cast<std::uint32_t>(header.baseSize >> 32));
    payload.U32(header.baseCrc);
    payload.U32(static_cast<std::uint32_t>(header.processId));
    payload.F64(header.started);
    payload.U32(header.compactedEdits);
    payload.F64(header.firstCompactedEdit);
    ByteBlock start(kJournalMagic, kJournalMagic + sizeof kJournalMagic);
    AppendFrame(start, payload.data(), payload.size());
    return start;
}

void JournalEditWriter::Begin(double time) {
    payload_.Clear();
    payload_.F64(time);
    parts_ = 0;
}

void JournalEditWriter::Part(JournalPart part, const std::uint8_t* data, std::size_t size) {
    payload_.U8(static_cast<std::uint8_t>(part));
    payload_.U32(static_cast<std::uint32_t>(size));
    payload_.Bytes(data, size);
    ++parts_;
}

void JournalEditWriter::WorldData(ByteBlock& written, const std::uint8_t* after, std::size_t size) {
    // Spans closer than this are sent as one: a span's own offset and length cost 8 bytes.
    constexpr std::size_t kJoin = 16;
    struct Span {
        std::size_t from, to;
    };
    std::vector<Span> spans;
    std::size_t spanBytes = 0;
    const bool comparable = written.size() == size && size <= std::numeric_limits<std::uint32_t>::max();
    constexpr std::size_t kBlock = 64;
    for (std::size_t i = 0; comparable && i < size;) {
        if (written[i] == after[i]) {
            // Most of the data is as it was: pass over it a block at a time.
            std::size_t next = i + 1;
            while (next + kBlock <= size && std::memcmp(written.data() + next, after + next, kBlock) == 0) next += kBlock;
            i = next;
            continue;
        }
        std::size_t end = i + 1;
        while (end < size && written[end] != after[end]) ++end;
        if (!spans.empty() && i - spans.back().to <= kJoin) {
            spanBytes += end - spans.back().to;
            spans.back().to = end;
        } else {
            spans.push_back({i, end});
            spanBytes += 8 + end - i;
        }
        i = end;
        if (spanBytes > size / 4) break;  // whole is as good
    }
    if (!comparable || spanBytes > size / 4) {
        Part(JournalPart::WorldData, after, size);
        written.assign(after, after + size);
        return;
    }
    if (spans.empty()) return;
    payload_.U8(static_cast<std::uint8_t>(JournalPart::WorldDataSpans));
    payload_.U32(static_cast<std::uint32_t>(size));
    payload_.U32(static_cast<std::uint32_t>(spans.size()));
    for (const Span& span : spans) {
        payload_.U32(static_cast<std::uint32_t>(span.from));
        payload_.U32(static_cast<std::uint32_t>(span.to - span.from));
        payload_.Bytes(after + span.from, span.to - span.from);
        std::memcpy(written.data() + span.from, after + span.from, span.to - span.from);
    }
    ++parts_;
}

void JournalEditWriter::IndexedPart(JournalPart part, int index, const std::uint8_t* data, std::size_t size) {
    payload_.U8(static_cast<std::uint8_t>(part));
    payload_.I32(index);
    payload_.U32(static_cast<std::uint32_t>(size));
    payload_.Bytes(data, size);
    ++parts_;
}

void JournalEditWriter::Record(int view, int index, const std::uint8_t* data, std::size_t size) {
    payload_.U8(static_cast<std::uint8_t>(JournalPart::Record));
    payload_.I32(view);
    payload_.I32(index);
    payload_.U32(static_cast<std::uint32_t>(size));
    payload_.Bytes(data, size);
    ++parts_;
}

void JournalEditWriter::ViewCount(int count) {
    payload_.U8(static_cast<std::uint8_t>(JournalPart::ViewCount));
    payload_.I32(count);
    ++parts_;
}

void JournalEditWriter::RecordCount(int view, int count) {
    payload_.U8(static_cast<std::uint8_t>(JournalPart::RecordCount));
    payload_.I32(view);
    payload_.I32(count);
    ++parts_;
}

const ByteBlock& JournalEditWriter::Frame() {
    frame_.clear();
    AppendFrame(frame_, payload_.data(), payload_.size());
    return frame_;
}

JournalContents ReadJournal(const ByteBlock& bytes) {
    if (bytes.size() < sizeof kJournalMagic || std::memcmp(bytes.data(), kJournalMagic, sizeof kJournalMagic) != 0)
        throw FileFormatError("The file is not a journal of edits");
    JournalContents contents;
    std::size_t at = sizeof kJournalMagic;
    bool first = true;
    while (at < bytes.size()) {
        std::uint32_t length = 0, crc = 0;
        if (bytes.size() - at < kFrameHead) break;
        std::memcpy(&length, bytes.data() + at, 4);
        std::memcpy(&crc, bytes.data() + at + 4, 4);
        if (length > kLargestFrame || length > bytes.size() - at - kFrameHead) break;
        const std::uint8_t* payload = bytes.data() + at + kFrameHead;
        if (Crc32(payload, length) != crc) break;
        at += kFrameHead + length;
        if (first) {
            ByteReader in(payload, length);
            JournalHeader& header = contents.header;
            header.sequencePath = ReadString(in, "the sequence's path");
            header.hasBase = in.U8("the base flag") != 0;
            const std::uint64_t low = in.U32("the base's size"), high = in.U32("the base's size");
            header.baseSize = low | high << 32;
            header.baseCrc = in.U32("the base's CRC");
            header.processId = in.U32("the process");
            header.started = in.F64("the start time");
            header.compactedEdits = in.U32("the compacted edits");
            header.firstCompactedEdit = in.F64("the first compacted edit");
            first = false;
            continue;
        }
        contents.edits.emplace_back(payload, payload + length);
    }
    if (first) throw FileFormatError("The journal's header is not whole");
    contents.cutOff = at < bytes.size();
    return contents;
}

double EditTime(const ByteBlock& edit) {
    ByteReader in(edit.data(), edit.size());
    return in.F64("the edit's time");
}

namespace {

// The counts of an image, which an edit is checked against before it changes anything.
struct ImageShape {
    struct View {
        std::size_t records = 0;
        // Records a count added, which the same edit must give, so that none is left empty:
        // pending[i] for record pendingFrom + i.
        std::size_t pendingFrom = 0;
        std::vector<bool> pending;
        std::size_t pendingLeft = 0;

        void Resize(std::size_t count) {
            if (count > records) {
                if (pending.empty()) pendingFrom = records;
                pending.resize(count - pendingFrom, true);
                pendingLeft += count - records;
            } else if (count < pendingFrom) {
                pending.clear();
                pendingLeft = 0;
            } else if (!pending.empty()) {
                for (std::size_t r = count; r < records; ++r) pendingLeft -= pending[r - pendingFrom] ? 1 : 0;
                pending.resize(count - pendingFrom);
            }
            records = count;
        }
        void Given(std::size_t index) {
            if (index < pendingFrom || index - pendingFrom >= pending.size() || !pending[index - pendingFrom]) return;
            pending[index - pendingFrom] = false;
            --pendingLeft;
        }
    };
    std::vector<View> views;
    std::size_t worldDataSize = 0;
};

std::size_t ViewIndex(ByteReader& in, const ImageShape& shape) {
    const std::int32_t view = in.I32("a view");
    if (view < 0 || static_cast<std::size_t>(view) >= shape.views.size())
        throw FileFormatError("The journal names camera view " + std::to_string(view) + ", which the sequence does not have");
    return static_cast<std::size_t>(view);
}

// Reads the edit's parts, checking each against `shape`, and applies them to `image` unless
// it is null.
void WalkEdit(const ByteBlock& edit, ImageShape& shape, SequenceImage* image) {
    ByteReader in(edit.data(), edit.size());
    in.F64("the edit's time");
    const auto block = [&](ByteBlock* into, const char* what) {
        if (into) *into = ReadBlock(in, what);
        else in.Take(in.U32(what), what);
    };
    while (in.remaining() > 0) {
        const auto part = static_cast<JournalPart>(in.U8("a part's kind"));
        switch (part) {
            case JournalPart::Head: {
                const std::int32_t index = in.I32("a part of the head");
                if (index < 0 || index >= kSequenceHeadParts)
                    throw FileFormatError("The journal names part " + std::to_string(index) + " of the head, which has none");
                if (image) image->head.resize(kSequenceHeadParts);
                block(image ? &image->head[static_cast<std::size_t>(index)] : nullptr, "the head");
                break;
            }
            case JournalPart::CalibrationPoints: block(image ? &image->calibrationPoints : nullptr, "the control points"); break;
            case JournalPart::WorldData: {
                const std::uint32_t size = in.U32("the world data");
                const std::uint8_t* bytes = in.Take(size, "the world data");
                shape.worldDataSize = size;
                if (image) image->worldData.assign(bytes, bytes + size);
                break;
            }
            case JournalPart::WorldDataSpans: {
                const char* what = "a change of the world data";
                const std::uint32_t size = in.U32(what);
                if (size != shape.worldDataSize) throw FileFormatError("The journal changes world data of another size");
                const std::uint32_t count = in.U32(what);
                in.Require(count, 8, what);
                for (std::uint32_t i = 0; i < count; ++i) {
                    const std::uint32_t at = in.U32(what), length = in.U32(what);
                    if (at > size || length > size - at) throw FileFormatError("The journal changes the world data beyond their end");
                    const std::uint8_t* bytes = in.Take(length, what);
                    if (image) std::copy(bytes, bytes + length, image->worldData.begin() + at);
                }
                break;
            }
            case JournalPart::Tail: block(image ? &image->tail : nullptr, "the tail"); break;
            case JournalPart::ViewCount: {
                const std::int32_t count = in.I32("the view count");
                if (count < 1 || count > kMaxCameraViews)
                    throw FileFormatError("The journal gives " + std::to_string(count) + " camera views");
                shape.views.resize(static_cast<std::size_t>(count));
                if (image) image->views.resize(static_cast<std::size_t>(count));
                break;
            }
            case JournalPart::ViewOpening:
            case JournalPart::ViewClosing: {
                const std::size_t v = ViewIndex(in, shape);
                SequenceImage::View* view = image ? &image->views[v] : nullptr;
                block(view ? (part == JournalPart::ViewOpening ? &view->opening : &view->closing) : nullptr, "a view's part");
                break;
            }
            case JournalPart::RecordCount: {
                const std::size_t v = ViewIndex(in, shape);
                const std::int32_t count = in.I32("a record count");
                if (count < 0) throw FileFormatError("The journal gives a record count below zero");
                const std::size_t before = shape.views[v].records, after = static_cast<std::size_t>(count);
                if (after > before) in.Require(after - before, kSmallestRecord, "the records added");
                shape.views[v].Resize(after);
                if (image) image->views[v].records.resize(after);
                break;
            }
            case JournalPart::Record: {
                const std::size_t v = ViewIndex(in, shape);
                const std::int32_t index = in.I32("a record");
                if (index < 0 || static_cast<std::size_t>(index) >= shape.views[v].records)
                    throw FileFormatError("The journal names record " + std::to_string(index) + ", which the view does not have");
                const std::uint32_t size = in.U32("a record");
                if (size < kSmallestRecord) throw FileFormatError("The journal holds a record too short to be one");
                const std::uint8_t* bytes = in.Take(size, "a record");
                shape.views[v].Given(static_cast<std::size_t>(index));
                if (image) image->views[v].records[static_cast<std::size_t>(index)].assign(bytes, bytes + size);
                break;
            }
            default: throw FileFormatError("The journal holds a part of unknown kind " + std::to_string(static_cast<int>(part)));
        }
    }
    for (const ImageShape::View& view : shape.views)
        if (view.pendingLeft > 0) throw FileFormatError("The journal adds a record it does not give");
}

}  // namespace

void ApplyEdit(const ByteBlock& edit, SequenceImage& image) {
    ImageShape shape;
    for (const SequenceImage::View& view : image.views) {
        shape.views.emplace_back();
        shape.views.back().records = view.records.size();
    }
    shape.worldDataSize = image.worldData.size();
    ImageShape checked = shape;
    WalkEdit(edit, checked, nullptr);
    WalkEdit(edit, shape, &image);
}

}  // namespace kadivo
