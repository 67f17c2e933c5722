#pragma once

#include "ByteCursor.h"
#include "FrameRecord.h"
#include "WindowState.h"

#include <cstdint>
#include <list>
#include <string>

namespace kadivo {

class CKadivoDoc;

// The parts of a sequence file in the order WriteSequence writes them: the head's parts (the
// counts and the frames shown, the options, the record counts, the point flags, the model),
// for each camera view its opening, its movement records one by one and
// its closing (calibration record, video links), the control points, the world data and the
// tail (window records, views' small values, extension block). Written apart, they let the
// journal of edits keep only the parts an edit changed.
inline constexpr int kSequenceHeadParts = 5;
void WriteSequenceHeadPart(ByteWriter& out, const CKadivoDoc& doc, int part);
void WriteViewOpening(ByteWriter& out, int v);
void WriteMovementRecord(ByteWriter& out, const CKadivoDoc& doc, const FrameRecord& record);
// The bytes WriteMovementRecord writes for a model of `pointCount` points.
constexpr std::uint64_t MovementRecordBytes(int pointCount) { return 1 + 4 + 20 * static_cast<std::uint64_t>(pointCount) + 4; }
void WriteViewClosing(ByteWriter& out, const CKadivoDoc& doc, int v, const std::string& savedAt);
void WriteCalibrationPoints(ByteWriter& out, const CKadivoDoc& doc);
void WriteWorldData(ByteWriter& out, const CKadivoDoc& doc);
void WriteSequenceTail(ByteWriter& out, const CKadivoDoc& doc, const std::list<WindowState>& windows);

}  // namespace kadivo
