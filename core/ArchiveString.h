#pragma once

#include "ByteCursor.h"

#include <string>

namespace kadivo {

// Strings as the sequence file stores them: a 1-, 3- or 7-byte length prefix, then the
// characters. The prefix 0xFF 0xFFFE announces 16-bit characters, which are read into
// 8-bit text (characters above 255 become '?').
std::string ReadArchiveString(ByteReader& in, const char* what);
void WriteArchiveString(ByteWriter& out, const std::string& text);

}  // namespace kadivo
