#include "ArchiveString.h"
#include "CKadivoDoc.h"
#include "FileIo.h"
#include "SequenceExtensions.h"
#include "SequenceFile.h"
#include "WindowRecordIo.h"

#include <cstring>

namespace kadivo {

namespace {

// Bytes of one stored point of a frame record: position, scroll position, zoom code.
constexpr std::uint64_t kStoredPointBytes = 8 + 8 + 4;
constexpr std::uint64_t kPoint3Bytes = 24;

[[noreturn]] void Invalid(const std::string& what, std::int64_t value) {
    throw FileFormatError("Invalid " + what + " in the sequence file: " + std::to_string(value));
}

std::int32_t ReadInRange(ByteReader& in, const char* what, std::int32_t low, std::int32_t high) {
    const std::int32_t value = in.I32(what);
    if (value < low || value > high) Invalid(what, value);
    return value;
}

template <typename T>
T Decode(const std::uint8_t*& at) {
    T value;
    std::memcpy(&value, at, sizeof(T));
    at += sizeof(T);
    return value;
}

// Decodes `count` stored points (position, scroll position, zoom code) from a checked block.
const std::uint8_t* DecodeStoredPoints(const std::uint8_t* at, FrameRecord& record, int count) {
    record.imagePos.Hold(static_cast<std::size_t>(count));
    record.scrollPos.Hold(static_cast<std::size_t>(count));
    record.zoomAt.Hold(static_cast<std::size_t>(count));
    for (std::size_t p = 0; p < static_cast<std::size_t>(count); ++p) {
        record.imagePos[p].x = Decode<float>(at);
        record.imagePos[p].y = Decode<float>(at);
        record.scrollPos[p].x = Decode<std::int32_t>(at);
        record.scrollPos[p].y = Decode<std::int32_t>(at);
        record.zoomAt[p] = Decode<std::int32_t>(at);
    }
    return at;
}

int ClampCount(std::int32_t count, int high) { return count < 0 ? 0 : (count > high ? high : count); }

class SequenceReader {
public:
    SequenceReader(ByteReader& in, CKadivoDoc& doc) : in_(in), doc_(doc) {}

    SequenceReadResult Read() {
        doc_.DeleteContents();
        ReadHeaderAndOptions();
        ReadModelPoints();
        for (int v = 0; v < doc_.viewCount(); ++v) ReadDigitizedData(v);
        ReadCalibrationAndWorldData();
        SequenceReadResult result;
        result.hasWindowRecords = doc_.fileVersion == 2 || doc_.fileVersion == 3;
        if (result.hasWindowRecords) ReadWindows();
        result.hasStreamChoices = doc_.fileVersion == 3;
        if (result.hasStreamChoices) {
            ReadTail();
            ReadSequenceExtensions(in_, doc_);
        }
        return result;
    }

private:
    void ReadHeaderAndOptions() {
        const int viewCount = ReadInRange(in_, "view count", 1, kMaxCameraViews);
        doc_.pointCount = ReadInRange(in_, "point count", 0, kMaxModelPoints);
        for (int v = 0; v < viewCount; ++v) doc_.AddViewSlot(v);
        for (CameraView& view : doc_.views) view.currentFrame = in_.I32("the current frames");
        doc_.digitizeMode = kMovement;
        SequenceOptions& o = doc_.options;
        in_.I32("a reserved value");
        o.firstField = in_.I32("the first interlaced field");
        o.templateWidth = in_.I32("the template width");
        o.templateHeight = in_.I32("the template height");
        o.searchWidth = in_.I32("the search width");
        o.searchHeight = in_.I32("the search height");
        doc_.reservedText = ReadArchiveString(in_, "the reserved text");
        o.smartScroll = in_.I32("smart scroll");
        o.templateMethod = in_.I32("the template method");
        // The views' sources search with their own copy of the method.
        for (CameraView& view : doc_.views) view.videoSource->SetTemplateMethod(o.templateMethod);
        o.autoCenterOnZoom = in_.I32("auto centre on zoom");
        doc_.framePeriod = in_.F32("the frame period");
        doc_.reservedA = in_.I32("a reserved value");
        o.interpolation = in_.I32("the interpolation");
        o.filtering = in_.I32("the filtering");
        o.cutOffFrequency = in_.F32("the cut-off frequency");
        in_.I32("a reserved value");
        o.splineOrder = in_.I32("the spline order");
        o.smoothError = in_.F64("the smooth error");
        doc_.fileVersion = in_.I32("the file version");
        doc_.SetViewZoom(0, ReadInRange(in_, "zoom code", 1, CKadivoDoc::kZoomCodeCount));
        doc_.calibrationType = ReadInRange(in_, "calibration type", 0, 2);
        recordCounts_.resize(doc_.views.size());
        for (std::size_t v = 0; v < doc_.views.size(); ++v) {
            doc_.views[v].frameStore.headerValue = 0;
            in_.I32("a frame store header");
            recordCounts_[v] = ReadInRange(in_, "record count", 0, 0x7FFFFFFF);
        }
        doc_.calibrationPointCount = ReadInRange(in_, "calibration point count", 0, kMaxCalibrationPoints);
        o.autoAdvance = in_.I32("auto advance");
        o.frameStep = ReadInRange(in_, "frame step", 1, 100);
        in_.Require(static_cast<std::uint64_t>(doc_.viewCount()) * static_cast<std::uint64_t>(doc_.pointCount), 8,
                    "the missing and static flags");
        for (CameraView& view : doc_.views) {
            for (int p = 0; p < doc_.pointCount; ++p) {
                view.missingFlags[static_cast<std::size_t>(p)] = in_.I32("the missing flags");
                view.staticFlags[static_cast<std::size_t>(p)] = in_.I32("the static flags");
            }
        }
        doc_.reservedB = in_.I32("a reserved value");
        o.autoResize = in_.I32("auto resize");
    }

    void ReadModelPoints() {
        SetCentreOfGravityEntry(doc_.modelPoints, doc_.pointCount);
        for (int p = 0; p < doc_.pointCount; ++p) {
            ModelPoint& point = doc_.modelPoints[static_cast<std::size_t>(p)];
            point.name = ReadArchiveString(in_, "a model point name");
            point.side = ReadInRange(in_, "side tag", 0, 2);
            point.segmentCount = ReadInRange(in_, "segment count", 0, kMaxSegments);
            for (int s = 0; s < point.segmentCount; ++s) {
                const auto slot = static_cast<std::size_t>(s);
                point.linkedPoint[slot] = ReadInRange(in_, "linked point", -1, doc_.pointCount - 1);
                point.segmentName[slot] = ReadArchiveString(in_, "a segment name");
                point.segmentParamA[slot] = in_.F32("a segment parameter");
                point.segmentParamB[slot] = in_.F32("a segment parameter");
            }
        }
    }

    void ReadDigitizedData(int v) {
        CameraView& view = doc_.views[static_cast<std::size_t>(v)];
        ViewFrameStore& store = view.frameStore;
        doc_.currentView = ReadInRange(in_, "view index", 0, doc_.viewCount() - 1);
        const std::int32_t records = recordCounts_[static_cast<std::size_t>(v)];
        const std::uint64_t recordBytes = 1 + 4 + static_cast<std::uint64_t>(doc_.pointCount) * kStoredPointBytes + 4;
        in_.Require(static_cast<std::uint64_t>(records), recordBytes, "the movement records");
        store.ReserveRecords(records);
        for (std::int32_t r = 0; r < records; ++r) {
            const std::uint8_t* at = in_.Take(static_cast<std::size_t>(recordBytes), "the movement records");
            FrameRecord& record = store.NewRecord(0);
            record.flag = Decode<std::uint8_t>(at);
            record.frame = Decode<std::int32_t>(at);
            at = DecodeStoredPoints(at, record, doc_.pointCount);
            record.digitizedCount = ClampCount(Decode<std::int32_t>(at), doc_.pointCount);
        }
        FrameRecord& calibration = store.calibrationRecord;
        calibration = FrameRecord(-1);
        calibration.flag = in_.U8("the calibration record");
        calibration.frame = in_.I32("the calibration record");
        store.calibrationPointCount = ReadInRange(in_, "calibration record size", 0, kMaxCalibrationPoints);
        const int entries = store.calibrationPointCount + 1;
        DecodeStoredPoints(in_.Take(static_cast<std::size_t>(entries) * kStoredPointBytes, "the calibration record"),
                           calibration, entries);
        calibration.digitizedCount = ClampCount(in_.I32("the calibration record"), store.calibrationPointCount);
        store.videoFileName = ReadArchiveString(in_, "the video file name");
        store.calibrationVideoName = ReadArchiveString(in_, "the calibration video name");
    }

    void ReadCalibrationAndWorldData() {
        const int c = doc_.calibrationPointCount;
        doc_.calibrationPoints.clear();
        if (c > 0) {
            doc_.calibrationPoints.resize(static_cast<std::size_t>(c) + 1);
            for (Point3& point : doc_.calibrationPoints) point = ReadPoint3("the calibration points");
        }
        const std::int32_t w = ReadInRange(in_, "world frame count", 0, 0x7FFFFFFF - 1);
        const auto entries = static_cast<std::uint64_t>(doc_.pointCount) + 1;
        in_.Require(static_cast<std::uint64_t>(w) * entries * 2, kPoint3Bytes, "the world data");
        doc_.worldFrameCount = w;
        doc_.worldRaw = {};
        doc_.worldFiltered = {};
        if (w == 0) return;
        doc_.worldRaw = WorldData(w + 1, doc_.pointCount + 1);
        doc_.worldFiltered = WorldData(w + 1, doc_.pointCount + 1);
        ReadWorld(doc_.worldRaw, w);
        ReadWorld(doc_.worldFiltered, w);
    }

    void ReadWorld(WorldData& data, int frames) {
        const std::size_t count = static_cast<std::size_t>(frames) * static_cast<std::size_t>(data.entriesPerFrame());
        in_.Bytes(data.values().data(), count * sizeof(Point3), "the world data");
    }

    Point3 ReadPoint3(const char* what) {
        Point3 p;
        p.x = in_.F64(what);
        p.y = in_.F64(what);
        p.z = in_.F64(what);
        return p;
    }

    void ReadWindows() {
        const std::int32_t count = ReadInRange(in_, "window count", 0, 0x7FFFFFFF);
        for (int v = 0; v < doc_.viewCount(); ++v) {
            doc_.SetViewZoom(v, ReadInRange(in_, "zoom code", 1, CKadivoDoc::kZoomCodeCount));
            in_.I32("a stream choice");
        }
        in_.Require(static_cast<std::uint64_t>(count), kMinWindowRecordBytes, "the window records");
        doc_.windows.clear();
        for (std::int32_t i = 0; i < count; ++i) {
            WindowState state = ReadWindowRecord(in_);
            if (const auto* digitizing = std::get_if<DigitizingWindowState>(&state)) {
                const int camera = digitizing->cameraIndex();
                if (camera < 0 || camera >= doc_.viewCount()) Invalid("camera index of a digitizing window", camera);
                doc_.currentView = camera;
            }
            doc_.windows.push_back(std::move(state));
        }
    }

    void ReadTail() {
        for (CameraView& view : doc_.views) {
            view.syncFrame = in_.I32("the sync frames");
            view.videoSource->SetStreamIndex(in_.I32("the stream choices"));
        }
        doc_.options.showPointTags = in_.I32("display point tags");
        doc_.options.lockViews = in_.I32("lock views");
    }

    ByteReader& in_;
    CKadivoDoc& doc_;
    std::vector<std::int32_t> recordCounts_;
};

}  // namespace

SequenceReadResult ReadSequence(ByteReader& in, CKadivoDoc& doc) {
    SequenceReader reader(in, doc);
    return reader.Read();
}

SequenceReadResult ReadSequence(const std::uint8_t* data, std::size_t size, CKadivoDoc& doc) {
    ByteReader in(data, size);
    return ReadSequence(in, doc);
}

SequenceReadResult ReadSequenceFile(const std::string& path, CKadivoDoc& doc) {
    InputFile file(path);
    ByteReader in([&file](std::uint8_t* into, std::size_t max) { return file.Read(into, max); }, file.size());
    return ReadSequence(in, doc);
}

}  // namespace kadivo
