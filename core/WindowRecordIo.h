#pragma once

#include "ByteCursor.h"
#include "WindowState.h"

namespace kadivo {

// One window record: the int32 kind, then the window's state block.
// Reading an unknown kind throws: its block has no known length.
WindowState ReadWindowRecord(ByteReader& in);
void WriteWindowRecord(ByteWriter& out, const WindowState& state);

// Smallest size of a window record (kind and placement), for checking record counts.
inline constexpr std::uint64_t kMinWindowRecordBytes = 4 + 11 * 4;

}  // namespace kadivo
