#include "SequenceExtensions.h"

#include "ByteCursor.h"
#include "CKadivoDoc.h"

#include <cmath>
#include <cstring>

namespace kadivo {

namespace {

constexpr char kBlockTag[4] = {'K', 'D', 'V', 'X'};
constexpr char kImportedDltTag[4] = {'D', 'L', 'T', 'C'};
constexpr char kExactPositionsTag[4] = {'E', 'X', 'P', 'O'};

void WriteImportedDlt(ByteWriter& out, const DltParameterTable& table) {
    out.Bytes(kImportedDltTag, 4);
    out.U32(static_cast<std::uint32_t>(8 + table.values.size() * sizeof(double)));
    out.I32(table.parameterCount);
    out.I32(table.viewCount);
    for (double value : table.values) out.F64(value);
}

DltParameterTable ReadImportedDlt(ByteReader& in, std::uint32_t size, const CKadivoDoc& doc) {
    DltParameterTable table;
    table.parameterCount = in.I32("the imported DLT coefficients");
    table.viewCount = in.I32("the imported DLT coefficients");
    const bool shaped = (table.parameterCount == 8 || table.parameterCount == 11) && table.viewCount == doc.viewCount() &&
                        size == 8 + static_cast<std::uint64_t>(table.viewCount) * DltParameterTable::kColumns * sizeof(double);
    if (!shaped) throw FileFormatError("The imported DLT coefficients do not fit the camera views");
    table.values.resize(static_cast<std::size_t>(table.viewCount) * DltParameterTable::kColumns);
    for (double& value : table.values) {
        value = in.F64("the imported DLT coefficients");
        if (!std::isfinite(value)) throw FileFormatError("An imported DLT coefficient is not a number");
    }
    table.residuals.assign(static_cast<std::size_t>(table.viewCount), 0.0);
    table.imported = true;
    return table;
}

}  // namespace

void WriteSequenceExtensions(ByteWriter& out, const CKadivoDoc& doc) {
    if (!doc.importedDlt && doc.options.exactPositions == 0) return;
    out.Bytes(kBlockTag, 4);
    if (doc.options.exactPositions != 0) {
        out.Bytes(kExactPositionsTag, 4);
        out.U32(4);
        out.I32(doc.options.exactPositions);
    }
    if (doc.importedDlt) WriteImportedDlt(out, *doc.importedDlt);
}

void ReadSequenceExtensions(ByteReader& in, CKadivoDoc& doc) {
    char tag[4];
    // Bytes after the last field that are no block were ignored by earlier versions too.
    if (in.remaining() < 4) return;
    in.Bytes(tag, 4, "the extension block");
    if (std::memcmp(tag, kBlockTag, 4) != 0) return;
    while (in.remaining() > 0) {
        in.Bytes(tag, 4, "an extension's tag");
        const std::uint32_t size = in.U32("an extension's size");
        in.Require(size, 1, "an extension");
        if (std::memcmp(tag, kImportedDltTag, 4) == 0) {
            doc.importedDlt = ReadImportedDlt(in, size, doc);
            continue;
        }
        if (std::memcmp(tag, kExactPositionsTag, 4) == 0 && size == 4) {
            doc.options.exactPositions = in.I32("the exact positions option") != 0 ? 1 : 0;
            continue;
        }
        for (std::uint32_t left = size; left > 0;) {
            const std::uint32_t piece = std::min<std::uint32_t>(left, ByteReader::kWindow);
            in.Take(piece, "an extension");
            left -= piece;
        }
    }
}

}  // namespace kadivo
