#pragma once

#include "WindowState.h"

#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

using ByteBlock = std::vector<std::uint8_t>;

// A sequence file cut into the parts an edit changes (see SequenceFileParts.h): joined, the
// parts are the file's bytes.
struct SequenceImage {
    struct View {
        ByteBlock opening;
        std::vector<ByteBlock> records;
        ByteBlock closing;
        friend bool operator==(const View&, const View&) = default;
    };
    std::vector<ByteBlock> head;  // kSequenceHeadParts
    std::vector<View> views;
    ByteBlock calibrationPoints;
    ByteBlock worldData;
    ByteBlock tail;

    std::uint64_t Size() const;
    ByteBlock Joined() const;
    friend bool operator==(const SequenceImage&, const SequenceImage&) = default;
};

// What a save of `doc` to `savedAt` writes, with `windows` as the window records.
SequenceImage ImageOf(const CKadivoDoc& doc, const std::list<WindowState>& windows, const std::string& savedAt);

// The image of the sequence a file's `bytes` hold, read into a document without videos and
// written again for `savedAt`: the same bytes give the same image wherever they are read.
// Throws FileFormatError for bytes that are not a sequence.
SequenceImage ImageOfFileBytes(const ByteBlock& bytes, const std::string& savedAt);

}  // namespace kadivo
