#include "ArchiveString.h"
#include "CKadivoDoc.h"
#include "FileIo.h"
#include "SequenceExtensions.h"
#include "SequenceFile.h"
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

void WriteHeaderAndOptions(ByteWriter& out, const CKadivoDoc& doc) {
    const SequenceOptions& o = doc.options;
    out.I32(doc.viewCount());
    out.I32(doc.pointCount);
    for (const CameraView& view : doc.views) out.I32(view.currentFrame);
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
    out.I32(o.filtering);
    out.F32(o.cutOffFrequency);
    out.I32(0);
    out.I32(o.splineOrder);
    out.F64(o.smoothError);
    out.I32(kSequenceFileVersion);
    out.I32(doc.views.front().zoomCode);
    out.I32(doc.calibrationType);
    for (const CameraView& view : doc.views) {
        out.I32(view.frameStore.headerValue);
        out.I32(view.frameStore.recordCount());
    }
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

void WriteDigitizedData(ByteWriter& out, const CKadivoDoc& doc, int v, const std::string& savedAt) {
    const ViewFrameStore& store = doc.views[static_cast<std::size_t>(v)].frameStore;
    out.I32(v);
    for (const FrameRecord& record : store.records()) {
        out.U8(record.flag);
        out.I32(record.frame);
        WriteStoredPoints(out, record, doc.pointCount);
        out.I32(record.digitizedCount);
    }
    const FrameRecord& calibration = store.calibrationRecord;
    out.U8(calibration.flag);
    out.I32(calibration.frame);
    out.I32(store.calibrationPointCount);
    WriteStoredPoints(out, calibration, store.calibrationPointCount + 1);
    out.I32(calibration.digitizedCount);
    WriteArchiveString(out, VideoLinkFor(store.videoFileName, savedAt));
    WriteArchiveString(out, VideoLinkFor(store.calibrationVideoName, savedAt));
}

void WriteCalibrationAndWorldData(ByteWriter& out, const CKadivoDoc& doc) {
    const int c = doc.calibrationPointCount;
    if (c > 0) {
        for (std::size_t i = 0; i <= static_cast<std::size_t>(c); ++i)
            WritePoint3(out, i < doc.calibrationPoints.size() ? doc.calibrationPoints[i] : Point3{});
    }
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

void WriteWindows(ByteWriter& out, const CKadivoDoc& doc) {
    out.I32(static_cast<std::int32_t>(doc.windows.size()));
    for (const CameraView& view : doc.views) {
        out.I32(view.zoomCode);
        out.I32(view.videoSource->StreamIndex());
    }
    for (const WindowState& window : doc.windows) WriteWindowRecord(out, window);
}

void WriteTail(ByteWriter& out, const CKadivoDoc& doc) {
    for (const CameraView& view : doc.views) {
        out.I32(view.syncFrame);
        out.I32(view.videoSource->StreamIndex());
    }
    out.I32(doc.options.showPointTags);
    out.I32(doc.options.lockViews);
}

}  // namespace

void WriteSequence(const CKadivoDoc& doc, ByteWriter& out, const std::string& savedAt) {
    WriteHeaderAndOptions(out, doc);
    WriteModelPoints(out, doc);
    for (int v = 0; v < doc.viewCount(); ++v) WriteDigitizedData(out, doc, v, savedAt);
    WriteCalibrationAndWorldData(out, doc);
    WriteWindows(out, doc);
    WriteTail(out, doc);
    WriteSequenceExtensions(out, doc);
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
