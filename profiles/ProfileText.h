#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

// The content of a profile database; a file that cannot be read is empty.
std::vector<std::uint8_t> ReadProfileFile(const std::string& path);

// The lines of a profile database as a reader with a 254-character buffer sees them: a line
// longer than 253 characters comes in pieces, each piece counting as a line. Line ends
// ("\n", or "\r\n" as text mode reads it) stay on their line; text after a NUL byte is
// dropped from its line.
std::vector<std::string> SplitProfileLines(const std::vector<std::uint8_t>& bytes);

// The leading integer of a text, as the C library reads it (0 when there is none).
int LeadingInt(const std::string& text);
// The leading decimal number of a text (0.0 when there is none).
double LeadingDouble(const std::string& text);

// Splits at tabs, dropping line-end characters.
std::vector<std::string> SplitFields(const std::string& line);

}  // namespace kadivo
