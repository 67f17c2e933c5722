#include "ArchiveString.h"
#include "CKadivoDoc.h"
#include "FileIo.h"
#include "SequenceExtensions.h"
#include "SequenceFile.h"
#include "SequenceFileParts.h"
#include "VideoLinks.h"
#include "WindowRecordIo.h"

#include <cstring>

#include <stdexcept>

namespace kadivo {

namespace {

template <typename T>
std::uint8_t* Encode(std::uint8_t* at, T value) {
    std::memcpy(at, &value, sizeof(T));
    return at + sizeof(T);
}

// Writes the stored points of a record (position, scroll position, zoom code) in one block.
void WriteStoredPoints(ByteWriter& out, const FrameRecord& record, int count) {
    std::uint8_t block[kModelTableSize * 20];
    std::uint8_t* at = block;
    for (std::size_t p = 0; p < static_cast<std::size_t>(count); ++p) {
        at = Encode(at, record.imagePos[p].x);
        at = Encode(at, record.imagePos[p].y);
        at = Encode(at, record.scrollPos[p].x);
        at = Encode(at, record.scrollPos[p].y);
        at = Encode(at, record.zoomAt[p]);
    }
    out.Bytes(block, static_cast<std::size_t>(at - block));
}

void WritePoint3(ByteWriter& out, const Point3& p) {
    out.F64(p.x);
    out.F64(p.y);
    out.F64(p.z);
}

// The header in the pieces that change apart: the frames shown, the options, the record
// counts, the point flags.
void WriteCountsAndFrames(ByteWriter& out, const CKadivoDoc& doc) {
    out.I32(doc.viewCount());
    out.I32(doc.pointCount);
    for (const CameraView& view : doc.views) out.I32(view.currentFrame);
}

void WriteOptions(ByteWriter& out, const CKadivoDoc& doc) {
    const SequenceOptions& o = doc.options;
    out.I32(0);
    out.I32(o.firstField);
    out.I32(o.templateWidth);
    out.I32(o.templateHeight);
    out.I32(o.searchWidth);
    out.I32(o.searchHeight);
    WriteArchiveString(out, doc.reservedText);
    out.I32(o.smartScroll);
    out.I32(o.templateMethod);
    out.I32(o.autoCenterOnZoom);
    out.F32(doc.framePeriod);
    out.I32(doc.reservedA);
    out.I32(o.interpolation);
    // Builds without the Butterworth filter smooth at its cut-off in the frequency domain.
    out.I32(o.filtering == kButterworthFiltering ? kFrequencyFiltering : o.filtering);
    out.F32(o.cutOffFrequency);
    out.I32(0);
    out.I32(o.splineOrder);
    out.F64(o.smoothError);
    out.I32(kSequenceFileVersion);
    out.I32(doc.views.front().zoomCode);
    out.I32(doc.calibrationType);
}

void WriteRecordCounts(ByteWriter& out, const CKadivoDoc& doc) {
    for (const CameraView& view : doc.views) {
        out.I32(view.frameStore.headerValue);
        out.I32(view.frameStore.recordCount());
    }
}

void WritePointFlags(ByteWriter& out, const CKadivoDoc& doc) {
    const SequenceOptions& o = doc.options;
    out.I32(doc.calibrationPointCount);
    out.I32(o.autoAdvance);
    out.I32(o.frameStep);
    for (const CameraView& view : doc.views) {
        for (int p = 0; p < doc.pointCount; ++p) {
            out.I32(view.missingFlags[static_cast<std::size_t>(p)]);
            out.I32(view.staticFlags[static_cast<std::size_t>(p)]);
        }
    }
    out.I32(doc.reservedB);
    out.I32(o.autoResize);
}

void WriteModelPoints(ByteWriter& out, const CKadivoDoc& doc) {
    for (int p = 0; p < doc.pointCount; ++p) {
        const ModelPoint& point = doc.modelPoints[static_cast<std::size_t>(p)];
        WriteArchiveString(out, point.name);
        out.I32(point.side);
        out.I32(point.segmentCount);
        for (int s = 0; s < point.segmentCount; ++s) {
            const auto slot = static_cast<std::size_t>(s);
            out.I32(point.linkedPoint[slot]);
            WriteArchiveString(out, point.segmentName[slot]);
            out.F32(point.segmentParamA[slot]);
            out.F32(point.segmentParamB[slot]);
        }
    }
}

}  // namespace

void WriteSequenceHeadPart(ByteWriter& out, const CKadivoDoc& doc, int part) {
    switch (part) {
        case 0: WriteCountsAndFrames(out, doc); break;
        case 1: WriteOptions(out, doc); break;
        case 2: WriteRecordCounts(out, doc); break;
        case 3: WritePointFlags(out, doc); break;
        case 4: WriteModelPoints(out, doc); break;
        default: throw std::logic_error("The head has no part " + std::to_string(part));
    }
}

void WriteViewOpening(ByteWriter& out, int v) { out.I32(v); }

void WriteMovementRecord(ByteWriter& out, const CKadivoDoc& doc, const FrameRecord& record) {
    out.U8(record.flag);
    out.I32(record.frame);
    WriteStoredPoints(out, record, doc.pointCount);
    out.I32(record.digitizedCount);
}

void WriteViewClosing(ByteWriter& out, const CKadivoDoc& doc, int v, const std::string& savedAt) {
    const ViewFrameStore& store = doc.views[static_cast<std::size_t>(v)].frameStore;
    const FrameRecord& calibration = store.calibrationRecord;
    out.U8(calibration.flag);
    out.I32(calibration.frame);
    out.I32(store.calibrationPointCount);
    WriteStoredPoints(out, calibration, store.calibrationPointCount + 1);
    out.I32(calibration.digitizedCount);
    WriteArchiveString(out, VideoLinkFor(store.videoFileName, savedAt));
    WriteArchiveString(out, VideoLinkFor(store.calibrationVideoName, savedAt));
}

void WriteCalibrationPoints(ByteWriter& out, const CKadivoDoc& doc) {
    const int c = doc.calibrationPointCount;
    if (c <= 0) return;
    for (std::size_t i = 0; i <= static_cast<std::size_t>(c); ++i)
        WritePoint3(out, i < doc.calibrationPoints.size() ? doc.calibrationPoints[i] : Point3{});
}

void WriteWorldData(ByteWriter& out, const CKadivoDoc& doc) {
    out.I32(doc.worldFrameCount);
    if (doc.worldFrameCount <= 0) return;
    for (const WorldData* data : {&doc.worldRaw, &doc.worldFiltered}) {
        if (data->frames() < doc.worldFrameCount || data->entriesPerFrame() != doc.pointCount + 1)
            throw std::logic_error("The world data does not match the world frame count");
    }
    const std::size_t count = static_cast<std::size_t>(doc.worldFrameCount) * (static_cast<std::size_t>(doc.pointCount) + 1);
    out.Bytes(doc.worldRaw.values().data(), count * sizeof(Point3));
    out.Bytes(doc.worldFiltered.values().data(), count * sizeof(Point3));
}

void WriteSequenceTail(ByteWriter& out, const CKadivoDoc& doc, const std::list<WindowState>& windows) {
    out.I32(static_cast<std::int32_t>(windows.size()));
    for (const CameraView& view : doc.views) {
        out.I32(view.zoomCode);
        out.I32(view.videoSource->StreamIndex());
    }
    for (const WindowState& window : windows) WriteWindowRecord(out, window);
    for (const CameraView& view : doc.views) {
        out.I32(view.syncFrame);
        out.I32(view.videoSource->StreamIndex());
    }
    out.I32(doc.options.showPointTags);
    out.I32(doc.options.lockViews);
    WriteSequenceExtensions(out, doc, windows);
}

void WriteSequence(const CKadivoDoc& doc, ByteWriter& out, const std::string& savedAt) {
    for (int part = 0; part < kSequenceHeadParts; ++part) WriteSequenceHeadPart(out, doc, part);
    for (int v = 0; v < doc.viewCount(); ++v) {
        WriteViewOpening(out, v);
        for (const FrameRecord& record : doc.views[static_cast<std::size_t>(v)].frameStore.records())
            WriteMovementRecord(out, doc, record);
        WriteViewClosing(out, doc, v, savedAt);
    }
    WriteCalibrationPoints(out, doc);
    WriteWorldData(out, doc);
    WriteSequenceTail(out, doc, doc.windows);
    out.Finish();
}

std::vector<std::uint8_t> WriteSequence(const CKadivoDoc& doc, const std::string& savedAt) {
    ByteWriter out;
    WriteSequence(doc, out, savedAt);
    return out.Take();
}

void SaveSequenceFile(const CKadivoDoc& doc, const std::string& path) {
    AtomicFile file(path);
    ByteWriter out([&file](const std::uint8_t* data, std::size_t size) { file.Write(data, size); });
    WriteSequence(doc, out, path);
    file.Commit();
}

}  // namespace kadivo
