#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kadivo {

// Writes frames as a Motion-JPEG video stream into a new AVI file, which the video source
// reads like any other.
class AviVideoWriter {
public:
    virtual ~AviVideoWriter() = default;
    // Appends one frame of 24-bit BGR rows, bottom row first, `stride` bytes apart.
    virtual bool WriteFrame(const std::uint8_t* rows, int stride) = 0;
    // Writes the index and closes the file; false when the file could not be completed.
    virtual bool Finish() = 0;
    virtual int FramesWritten() const = 0;
};

// How the writer treats a file that exists: replaced, or written over from its start into
// the space reserved for it beforehand (ReserveFileSpace) and cut to the video's length
// when finished.
enum class AviFileSpace { Replace, Reserved };

// A writer of `width` × `height` frames at `framesPerSecond`; null with `error` set when
// the file cannot be made.
std::unique_ptr<AviVideoWriter> CreateMjpegAviFile(const std::string& path, int width, int height, int framesPerSecond,
                                                   std::string& error, AviFileSpace space = AviFileSpace::Replace);

// The space a capture file is given before each recording unless the user chose another.
inline constexpr std::uint64_t kDefaultCaptureFileBytes = 0xA00000;

// Makes `path` hold at least `bytes` of disk space that writing it cannot run out of: the
// file is made when it does not exist and grown when it is smaller; false with the
// system's reason when the space cannot be had.
bool ReserveFileSpace(const std::string& path, std::uint64_t bytes, std::string& error);

}  // namespace kadivo
