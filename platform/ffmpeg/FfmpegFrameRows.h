#pragma once

#include "AviFile.h"
#include "FfmpegHandles.h"

#include <cstdint>

namespace kadivo::ffmpeg {

// Writes a decoded picture as bitmap rows of `format` (bottom-up, rows padded to four bytes):
// palette indices as they are, anything else converted to BGR with `converter`.
bool WriteBitmapRows(const AVFrame& frame, const BitmapFormat& format, std::uint8_t* rows, PictureConverter& converter);

}  // namespace kadivo::ffmpeg
