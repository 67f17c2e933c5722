#include "SequenceImage.h"

#include "CKadivoDoc.h"
#include "HeadlessPrompts.h"
#include "SequenceFile.h"
#include "SequenceFileParts.h"

namespace kadivo {

namespace {

template <typename WriteParts>
ByteBlock PartOf(WriteParts&& write) {
    ByteWriter out;
    write(out);
    return out.Take();
}

}  // namespace

std::uint64_t SequenceImage::Size() const {
    std::uint64_t size = calibrationPoints.size() + worldData.size() + tail.size();
    for (const ByteBlock& part : head) size += part.size();
    for (const View& view : views) {
        size += view.opening.size() + view.closing.size();
        for (const ByteBlock& record : view.records) size += record.size();
    }
    return size;
}

ByteBlock SequenceImage::Joined() const {
    ByteBlock joined;
    joined.reserve(Size());
    const auto append = [&joined](const ByteBlock& part) { joined.insert(joined.end(), part.begin(), part.end()); };
    for (const ByteBlock& part : head) append(part);
    for (const View& view : views) {
        append(view.opening);
        for (const ByteBlock& record : view.records) append(record);
        append(view.closing);
    }
    append(calibrationPoints);
    append(worldData);
    append(tail);
    return joined;
}

SequenceImage ImageOf(const CKadivoDoc& doc, const std::list<WindowState>& windows, const std::string& savedAt) {
    SequenceImage image;
    for (int part = 0; part < kSequenceHeadParts; ++part)
        image.head.push_back(PartOf([&](ByteWriter& out) { WriteSequenceHeadPart(out, doc, part); }));
    for (int v = 0; v < doc.viewCount(); ++v) {
        SequenceImage::View& view = image.views.emplace_back();
        view.opening = PartOf([&](ByteWriter& out) { WriteViewOpening(out, v); });
        const std::vector<FrameRecord>& records = doc.views[static_cast<std::size_t>(v)].frameStore.records();
        view.records.reserve(records.size());
        for (const FrameRecord& record : records)
            view.records.push_back(PartOf([&](ByteWriter& out) { WriteMovementRecord(out, doc, record); }));
        view.closing = PartOf([&](ByteWriter& out) { WriteViewClosing(out, doc, v, savedAt); });
    }
    image.calibrationPoints = PartOf([&](ByteWriter& out) { WriteCalibrationPoints(out, doc); });
    image.worldData = PartOf([&](ByteWriter& out) { WriteWorldData(out, doc); });
    image.tail = PartOf([&](ByteWriter& out) { WriteSequenceTail(out, doc, windows); });
    return image;
}

SequenceImage ImageOfFileBytes(const ByteBlock& bytes, const std::string& savedAt) {
    HeadlessPrompts prompts;
    CKadivoDoc doc(prompts, NoVideoSourceFactory());
    ReadSequence(bytes.data(), bytes.size(), doc);
    return ImageOf(doc, doc.windows, savedAt);
}

}  // namespace kadivo
