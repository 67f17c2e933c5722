#pragma once

#include "ByteCursor.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

inline constexpr std::int32_t kSequenceFileVersion = 3;

// What reading a sequence leaves for the steps that follow it.
struct SequenceReadResult {
    bool hasWindowRecords = false;  // versions 2 and 3
    bool hasStreamChoices = false;  // version 3: the views' sources hold the stored stream choice
};

// Reads a ".kdv" image into `doc`, replacing its views, model, data and windows.
// Throws FileFormatError with a message naming the field that could not be read.
SequenceReadResult ReadSequence(ByteReader& in, CKadivoDoc& doc);
SequenceReadResult ReadSequence(const std::uint8_t* data, std::size_t size, CKadivoDoc& doc);
// Reads the file at `path` through a small window. Throws FileIoError or FileFormatError.
SequenceReadResult ReadSequenceFile(const std::string& path, CKadivoDoc& doc);
// The ".kdv" image of `doc`, always of the current version, its video links made for a
// file at `savedAt` (see VideoLinkFor; none: the names as they are).
void WriteSequence(const CKadivoDoc& doc, ByteWriter& out, const std::string& savedAt = {});
std::vector<std::uint8_t> WriteSequence(const CKadivoDoc& doc, const std::string& savedAt = {});
// Writes `doc` to `path` through a temporary file that replaces `path` only when complete.
// Throws FileIoError.
void SaveSequenceFile(const CKadivoDoc& doc, const std::string& path);

}  // namespace kadivo
