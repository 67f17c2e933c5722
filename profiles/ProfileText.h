#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kadivo {

// A profile database as read from its file. A missing file is an empty database; a file
// that exists and cannot be read has no bytes and says why.
struct ProfileFileContent {
    std::vector<std::uint8_t> bytes;
    std::string error;  // naming the file and the system's reason; empty when read
};
ProfileFileContent ReadProfileFile(const std::string& path);

// A line of a database the reader left out, and why.
struct SkippedProfileLine {
    int line = 0;  // 1-based, as the reader splits the text
    std::string reason;
};

// The lines of a profile database as a reader with a 254-character buffer sees them: a line
// longer than 253 characters comes in pieces, each piece counting as a line. Line ends
// ("\n", or "\r\n" as text mode reads it) stay on their line; text after a NUL byte is
// dropped from its line.
std::vector<std::string> SplitProfileLines(const std::vector<std::uint8_t>& bytes);

// The leading integer of a text, as the C library reads it (0 when there is none), held
// within the range of int.
int LeadingInt(const std::string& text);
// The 0-based index of the point a 1-based number field names among `count` points;
// nothing for any other number.
std::optional<int> PointIndexOf(const std::string& field, int count);
// The leading decimal number of a text (0.0 when there is none).
double LeadingDouble(const std::string& text);

// Splits at tabs, dropping line-end characters.
std::vector<std::string> SplitFields(const std::string& line);

}  // namespace kadivo
